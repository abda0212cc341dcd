#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/Status.h"
#include "bizlib/params/TaxAmounts.h"
#include "bizlib/params/TaxCodeParams.h"

#include <QString>

namespace bizlib {

class Database;

// Operations of the business system's MAIN library that assign and calculate tax
// (ASSIGNTAXCODE, CALCTAX), and the small DATA library helpers that the conversions use beside
// them (FORMATADDRESS, SEARCHREPLACE, ADDLISTOPTION, CREATEDIRECTORY).
// An object belongs to the thread that made it, as the database connections do.
class MainLibrary
{
public:
    explicit MainLibrary(Database &db);

    // One rate of the tax-rate table. A row whose local and general rates are both zero has its
    // combined rate (TAX:TaxRate) as the general rate, so that rate() = local + general always.
    struct TaxRate
    {
        QString code;
        QString type;
        QString district;
        QString description;
        Decimal localRate;
        Decimal generalRate;
        Decimal rate() const { return localRate + generalRate; }
    };

    // Reads the rate of `code` and `taxType` ("Sales" or "Purchase"); codes are compared after
    // trimming. NotFound when the table has no such rate; an empty code is NotFound too.
    Status taxRate(const QString &code, const QString &taxType, TaxRate *rate);

    // What ASSIGNTAXCODE is asked. The callers' argument lists map onto it in order:
    //   quote conversion:  "CLI", quote's code, "CLI", client, contact, client, contact, 0
    //                      -> deliveryClientId = client, deliveryContactId = contact
    //   order conversion:  "CLI", order's code, "MTL", client, contact, delivery client, delivery office, 0
    //                      -> deliveryClientId, deliveryOfficeId
    //   quote of an order: "CLI", quote's code, "MTL", client, contact, client, contact, 0
    // plus, for the "MTL" rules, the material read beside the record (0: none).
    struct TaxCodeRequest
    {
        QString accountType = QStringLiteral("CLI"); // "CLI": sales rates; "SUP": purchase rates
        QString currentCode; // the record's own tax code
        QString rules = QStringLiteral("CLI"); // "CLI": client rules; "MTL": material rule as well
        qint32 clientId = 0;
        qint32 contactId = 0;
        qint32 deliveryClientId = 0;
        qint32 deliveryContactId = 0;
        qint32 deliveryOfficeId = 0;
        bool keepCurrent = false; // true: a current code that is in the table stays as it is
        qint32 materialId = 0;
    };

    // ASSIGNTAXCODE: chooses the tax code of a quote or order and fills `result` (TAXCG:).
    // The first of these that names a code of the tax-rate table (of the account type's tax type)
    // is taken; a code missing from the table is passed over:
    //   1. keepCurrent and the current code;
    //   2. the client's code when the client forces it (CLI:TaxCodeForce 1): TAXCG:TaxCodeForce 1;
    //   3. with rules "MTL", the material's code (MTL:TaxCode);
    //   4. the client's code (CLI:TaxCode);
    //   5. the current code;
    //   6. the first code (in code order) whose district is the delivery district.
    // The delivery district is the county, else the country name, of the first of: the delivery
    // office, the delivery contact's office, the delivery client, the contact's office, the client.
    // TAXCG:TaxDistrict is the chosen rate's district, or the delivery district when the rate has
    // none. No code found: an empty code, Ok. Missing client, contact, office or material records
    // are passed over. Changes nothing in the database. Error: an account type other than "CLI"
    // or "SUP", or a failed read.
    Status assignTaxCode(const TaxCodeRequest &request, params::TaxCodeParams *result);

    // CALCTAX: the tax of `amount` at `taxCode` into `result` (LOC:): the local, general and
    // combined rates and the matching amounts, as the pricing model says (PricingModel.h). With
    // amountIncludesTax the amount is gross and the tax it contains is given. An empty code gives
    // zero rates and amounts (Ok); an unknown code gives zeros and NotFound, so that the caller
    // never takes a missing rate for a zero rate unknowingly.
    Status calcTax(const QString &taxCode, const Decimal &amount, bool amountIncludesTax, params::TaxAmounts *result,
        const QString &taxType = QStringLiteral("Sales"));

    // FORMATADDRESS: the address as one text, one line each in reading order (line 1, line 2,
    // line 3, town, county, postcode, the country's name from the country table), blank lines left
    // out, lines separated by "\n". The arguments come in the callers' order. An unknown country
    // gives no country line.
    QString formatAddress(qint32 countryId, const QString &postcode, const QString &county, const QString &town,
        const QString &line3, const QString &line2, const QString &line1);

    // SEARCHREPLACE: `text` with every occurrence of `find` replaced, cut to `maxLength`
    // characters (0: no limit). An empty `find` changes nothing.
    static QString searchReplace(const QString &text, const QString &find, const QString &replacement,
        int maxLength = 0, Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // ADDLISTOPTION: adds `value` to the drop-list options of `field` ("CON:Prefix") under
    // `parent`, unless that option is there already (field name compared without regard to case,
    // value and parent after trimming). The option goes last in its list. *added (if given) tells
    // whether a row was written. An empty value adds nothing (Ok). Two workstations adding the same
    // option at once add it once.
    Status addListOption(const QString &field, const QString &value, const QString &parent = {}, bool enabled = true,
        bool webEnable = true, bool userAdded = true, bool *added = nullptr);

    // CREATEDIRECTORY: makes the folder and any missing parents ("\" separators are accepted).
    // Ok when it exists already; an error naming the folder when it cannot be made.
    static Status createDirectory(const QString &path);

    // A path written with "\" separators, as the business system's settings hold them, in the
    // form of this platform.
    static QString localPath(const QString &path);

private:
    struct Location
    {
        QString county;
        QString country;
        bool found = false;
    };
    Location officeLocation(qint32 officeId);
    Location contactLocation(qint32 contactId);
    Location clientLocation(qint32 clientId);
    QString deliveryDistrict(const TaxCodeRequest &request);

    Database &m_db;
};

} // namespace bizlib
