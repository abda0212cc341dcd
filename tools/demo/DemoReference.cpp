#include "DemoData.h"
#include "DemoFields.h"
#include "bizlib/Database.h"
#include "bizlib/security/PasswordHasher.h"

#include <QByteArray>
#include <algorithm>

// Reference data of the demo company: countries, money codes, places, users and rights,
// phrases, list options, report layouts, tabs and the single-record system tables.

namespace demo {

namespace {

struct Country
{
    const char *name, *code, *iso, *currency, *dialling;
};
const Country kCountries[] = {
    { "United Kingdom", "GBR", "GB", "GBP", "+44" },
    { "Ireland", "IRL", "IE", "EUR", "+353" },
    { "France", "FRA", "FR", "EUR", "+33" },
    { "Germany", "DEU", "DE", "EUR", "+49" },
    { "United States", "USA", "US", "USD", "+1" },
};

struct TaxRate
{
    const char *code, *type, *description, *rate;
};
const TaxRate kTaxRates[] = {
    { "S", "Sales", "Standard rate", "20.0000" },
    { "R", "Sales", "Reduced rate", "5.0000" },
    { "Z", "Sales", "Zero rated", "0.0000" },
    { "E", "Sales", "Exempt", "0.0000" },
    { "S", "Purchase", "Standard rate", "20.0000" },
    { "Z", "Purchase", "Zero rated", "0.0000" },
};

struct Nominal
{
    const char *code, *description, *type, *tax;
};
const Nominal kNominals[] = {
    { "4000", "Sales - litho print", "Income", "S" },
    { "4010", "Sales - digital print", "Income", "S" },
    { "4020", "Sales - large format", "Income", "S" },
    { "4100", "Sales - delivery", "Income", "S" },
    { "4900", "Sales - export", "Income", "Z" },
    { "5000", "Purchases - paper and board", "Expense", "S" },
    { "5100", "Purchases - outwork", "Expense", "S" },
    { "7500", "Postage and carriage", "Expense", "E" },
};

struct Town
{
    const char *town, *county, *country, *area;
};
const Town kTowns[] = {
    { "Leeds", "West Yorkshire", "GBR", "LEEDS" },
    { "Bradford", "West Yorkshire", "GBR", "LEEDS" },
    { "Otley", "West Yorkshire", "GBR", "LEEDS" },
    { "Wakefield", "West Yorkshire", "GBR", "LEEDS" },
    { "York", "North Yorkshire", "GBR", "NORTH" },
    { "Harrogate", "North Yorkshire", "GBR", "NORTH" },
    { "Skipton", "North Yorkshire", "GBR", "NORTH" },
    { "Hull", "East Riding of Yorkshire", "GBR", "EAST" },
    { "Sheffield", "South Yorkshire", "GBR", "SOUTH" },
    { "Manchester", "Greater Manchester", "GBR", "WEST" },
    { "Dublin", "County Dublin", "IRL", "EXPORT" },
    { "Lyon", "Rhone", "FRA", "EXPORT" },
};

struct User
{
    const char *initials, *first, *last, *position, *repCode;
    bool estimator, administrator, mayMarkPaid;
    const char *category; // which group of rights besides logging on
};
const User kUsers[] = {
    { "JS", "Jane", "Sutton", "Managing Director", "", false, true, true, "All" },
    { "AB", "Andrew", "Barker", "Senior Estimator", "", true, false, false, "Estimating" },
    { "MK", "Maya", "Kaur", "Sales Executive", "REP01", false, false, false, "Sales" },
    { "RP", "Raj", "Patel", "Account Manager", "REP02", false, false, true, "Sales" },
    { "LP", "Lucy", "Price", "Accounts Supervisor", "", false, false, true, "Accounts" },
    { "TD", "Tom", "Dawson", "Production Manager", "", false, false, false, "Production" },
};

struct Right
{
    int number;
    const char *description, *category;
};
const Right kRights[] = {
    { 1, "Log on to the business system", "General" },
    { 10, "Create and edit quotes", "Estimating" },
    { 11, "Delete quotes", "Estimating" },
    { 20, "Create and edit orders", "Production" },
    { 21, "Process web orders", "Production" },
    { 30, "Create and edit clients", "Sales" },
    { 31, "Process web sign-ups", "Sales" },
    { 40, "Raise invoices", "Accounts" },
    { 44, "May mark orders as paid", "Accounts" },
    { 60, "Change web console settings", "System" },
    { 70, "Maintain phrases and list options", "System" },
};

struct Phrase
{
    const char *group, *title, *text, *field;
};
const Phrase kPhrases[] = {
    { "Estimating", "Artwork - print ready PDF",
        "Artwork to be supplied as a print-ready PDF with 3mm bleed and all fonts embedded.", "Notes" },
    { "Estimating", "Proof - PDF", "A PDF proof will be sent for approval before printing.", "Notes" },
    { "Estimating", "Prices valid 30 days", "Prices are valid for 30 days and subject to sight of artwork.", "" },
    { "Estimating", "Delivery - one UK address", "Price includes delivery to one UK mainland address.", "Delivery" },
    { "Estimating", "Paper prices", "Paper prices are volatile and may change before the order is placed.", "" },
    { "Production", "Pack in 250s", "Pack in bundles of 250, shrink-wrapped, labelled with job number.", "Notes" },
    { "Production", "Hold for approval", "Do not print until the client has signed the proof.", "Notes" },
    { "Production", "Courier - signature", "Send by courier, signature on delivery.", "Delivery" },
    { "Production", "Trim to size", "Trim to finished size after lamination; check registration.", "Finishing" },
    { "Rejection", "Outside our capabilities",
        "Thank you for your enquiry. Unfortunately this job is outside what we are able to produce.", "Notes" },
    { "Rejection", "Duplicate request", "This request duplicates one we have already received and quoted.", "Notes" },
    { "Rejection", "Artwork not suitable",
        "The artwork supplied is not suitable for print (low resolution). Please send a print-ready PDF.", "Notes" },
    { "Rejection", "Account on stop", "We cannot accept new work on this account at present; please call us.", "" },
};

struct ListOption
{
    const char *field, *parent, *value;
};
const ListOption kListOptions[] = {
    { "CON:Prefix", "", "Mr" },
    { "CON:Prefix", "", "Mrs" },
    { "CON:Prefix", "", "Ms" },
    { "CON:Prefix", "", "Miss" },
    { "CON:Prefix", "", "Dr" },
    { "PHR:Subcategory", "Rejection", "Comments" },
    { "ORD:DMethod", "", "Courier" },
    { "ORD:DMethod", "", "Local delivery" },
    { "ORD:DMethod", "", "Collection" },
    { "ORD:DMethod", "", "Royal Mail" },
    { "ORD:Priority", "", "Normal" },
    { "ORD:Priority", "", "Urgent" },
    { "ORD:Priority", "", "Low" },
    { "CLI:Category", "", "Corporate" },
    { "CLI:Category", "", "Education" },
    { "CLI:Category", "", "Health" },
    { "CLI:Category", "", "Hospitality" },
    { "CLI:Category", "", "Retail" },
};

struct Layout
{
    const char *type, *description;
};
// Layout numbers follow this order (1 = "Quote letter"); the web monitor settings name them.
const Layout kLayouts[] = {
    { "Estimates", "Quote letter" },
    { "Acknowledgements", "Works order acknowledgement" },
    { "Acknowledgements", "Product order acknowledgement" },
    { "Proof notes", "Proof note" },
    { "Delivery notes", "Delivery note" },
    { "Invoices", "Invoice" },
};

const char *const kTabs[] = { "Size", "Brief", "Repro", "Proof", "Printing", "Finishing", "Materials", "Delivery" };

} // namespace

void DemoData::addCountriesAndMoney()
{
    RowWriter &countries = writer(QStringLiteral("Countries"));
    for (const Country &c : kCountries) {
        countries.add([&](bizlib::Record &r) {
            setTexts(r,
                { { "CountryName", str(c.name) }, { "CountryCode", str(c.code) }, { "IsoCountry", str(c.iso) },
                    { "Currency", str(c.currency) }, { "DiallingCode", str(c.dialling) } });
        });
    }
    const std::tuple<const char *, const char *, const char *, const char *> currencies[] = {
        { "GBP", "Pound sterling", "\u00a3", "1.000000" },
        { "EUR", "Euro", "\u20ac", "1.168500" },
        { "USD", "US dollar", "$", "1.271200" },
    };
    for (const auto &[code, description, symbol, rate] : currencies) {
        writer(QStringLiteral("Currencies")).add([&](bizlib::Record &r) {
            setTexts(r, { { "Currency", str(code) }, { "Description", str(description) }, { "Symbol", str(symbol) } });
            r.setDecimal("ExchangeRate", dec(rate));
        });
    }
    for (const TaxRate &t : kTaxRates) {
        writer(QStringLiteral("TaxRates")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "TaxCode", str(t.code) }, { "TaxType", str(t.type) }, { "Description", str(t.description) },
                    { "TaxDistrict", QStringLiteral("UK") } });
            r.setDecimal("GTaxRate", dec(t.rate));
            r.setDecimal("TaxRate", dec(t.rate));
        });
    }
    for (const Nominal &n : kNominals) {
        writer(QStringLiteral("NominalCodes")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "Nominal", str(n.code) }, { "Description", str(n.description) }, { "NominalType", str(n.type) },
                    { "TaxCode", str(n.tax) } });
        });
    }
}

void DemoData::addPlacesAndDomains()
{
    for (const Town &t : kTowns) {
        writer(QStringLiteral("Towns")).add([&](bizlib::Record &r) {
            setTexts(r, { { "Town", str(t.town) }, { "County", str(t.county) }, { "Area", str(t.area) } });
            r.setLong("CountryID", m_catalog.countryId(str(t.country)));
            for (const Country &c : kCountries) {
                if (qstrcmp(c.code, t.country) == 0)
                    r.setText("Country", str(c.name));
            }
        });
    }
    const std::pair<const char *, const char *> domains[] = {
        { "Northgate Print Online", "https://print.example.com/" },
        { "Northgate Trade Portal", "https://trade.print.example.com/" },
    };
    for (const auto &[description, url] : domains) {
        writer(QStringLiteral("Domains")).add([&](bizlib::Record &r) {
            setTexts(r, { { "Description", str(description) }, { "URL", str(url) } });
            r.setLong("Active", 1);
        });
    }
}

void DemoData::addUsers()
{
    for (const Right &right : kRights) {
        writer(QStringLiteral("SecurityRights")).add([&](bizlib::Record &r) {
            r.setLong("RightNo", right.number);
            setTexts(r, { { "Description", str(right.description) }, { "Category", str(right.category) } });
        });
    }
    for (const User &u : kUsers) {
        QByteArray salt(bizlib::security::PasswordHasher::kSaltBytes, '\0');
        for (char &b : salt)
            b = static_cast<char>(roll(256));
        const QString first = str(u.first);
        const QString last = str(u.last);
        const qint32 userId = writer(QStringLiteral("Users")).add([&](bizlib::Record &r) {
            setTexts(r,
                { { "Initials", str(u.initials) }, { "FullName", first + u' ' + last }, { "FirstName", first },
                    { "LastName", last }, { "Position", str(u.position) },
                    { "Email", QStringLiteral("%1.%2@northgate-print.example").arg(first, last).toLower() },
                    { "Tel", QStringLiteral("0113 496 07%1").arg(10 + roll(89)) }, { "RepCode", str(u.repCode) },
                    { "PasswordHash", passwordHash(salt, QString::fromLatin1(kDemoPassword)) } });
            setLongs(r,
                { { "IsRep", qstrlen(u.repCode) > 0 ? 1 : 0 }, { "IsEstimator", u.estimator ? 1 : 0 },
                    { "Administrator", u.administrator ? 1 : 0 }, { "Active", 1 } });
        });
        for (const Right &right : kRights) {
            const bool holds = right.number == 1 || u.administrator || (right.number == 44 && u.mayMarkPaid)
                || (right.number != 44 && qstrcmp(right.category, u.category) == 0);
            if (!holds)
                continue;
            writer(QStringLiteral("UserRights")).add([&](bizlib::Record &r) {
                r.setLong("UserID", userId);
                r.setLong("RightNo", right.number);
            });
        }
    }
}

void DemoData::addPhrasesAndOptions()
{
    for (const Phrase &p : kPhrases) {
        writer(QStringLiteral("PHRASE")).add([&](bizlib::Record &r) {
            const QString group = str(p.group);
            setTexts(
                r, { { "PhraseTitle", str(p.title) }, { "PhraseText", str(p.text) }, { "PhraseField", str(p.field) } });
            if (group == QStringLiteral("Rejection")) {
                // The rejection windows list category "Rejection" with the "other" flag set.
                setTexts(r, { { "Category", group }, { "Subcategory", QStringLiteral("Comments") } });
                r.setLong("Other", 1);
            } else {
                r.setText("Category", group);
                r.setLong(group, 1);
            }
            r.setLong("WebEnable", 1);
        });
    }
    int sequence = 0;
    QString lastField;
    for (const ListOption &o : kListOptions) {
        sequence = lastField == str(o.field) ? sequence + 1 : 1;
        lastField = str(o.field);
        writer(QStringLiteral("ListOptions")).add([&](bizlib::Record &r) {
            setTexts(r, { { "FieldName", str(o.field) }, { "Parent", str(o.parent) }, { "Value", str(o.value) } });
            setLongs(r, { { "Sequence", sequence }, { "Enabled", 1 }, { "WebEnable", 1 } });
        });
    }
}

void DemoData::addReportsAndTabs()
{
    QHash<QString, qint32> types;
    for (const Layout &l : kLayouts) {
        const QString type = str(l.type);
        if (!types.contains(type)) {
            types.insert(type, writer(QStringLiteral("ReportTypes")).add([&](bizlib::Record &r) {
                setTexts(r, { { "Name", type }, { "Description", type + QStringLiteral(" sent to clients") } });
            }));
        }
        writer(QStringLiteral("ReportLayouts")).add([&](bizlib::Record &r) {
            r.setLong("ReportTypeID", types.value(type));
            r.setText("Description", str(l.description));
            r.setLong("IsDefault", 1);
        });
    }
    int sequence = 0;
    for (const char *name : kTabs) {
        ++sequence;
        writer(QStringLiteral("Tabs")).add([&](bizlib::Record &r) {
            r.setText("Name", str(name));
            setLongs(r, { { "Sequence", sequence * 10 }, { "SpecSection", 1 } });
        });
    }
}

void DemoData::addSystemRecords()
{
    const QString company = QString::fromLatin1(kCompanyName);
    const QString email = QStringLiteral("office@northgate-print.example");
    writer(QStringLiteral("SYCONF")).add([&](bizlib::Record &r) {
        setTexts(r,
            { { "CompanyName", company }, { "Email", email }, { "CountryCode", QStringLiteral("GBR") },
                { "Version", QStringLiteral("6.30") } });
        setLongs(r,
            { { "UpgradeCompleted", 1 }, { "MultiCompany", 0 }, { "StampDate", daysAgo(0) },
                { "StampTime", bizlib::DateTime::fromTime(QTime(8, 0)) },
                { "LastQuoteNo", maxOf(QStringLiteral("Quotes"), QStringLiteral("Number")) },
                { "LastJobNo", maxOf(QStringLiteral("Orders"), QStringLiteral("JobNo")) },
                { "LastInvoiceNo", std::max<qint32>(30417, maxOf(QStringLiteral("InvoiceHeaders"), QStringLiteral("Number"))) } });
    });
    writer(QStringLiteral("DEFAULTS")).add([&](bizlib::Record &r) {
        setTexts(r,
            { { "EmailTransport", QStringLiteral("SMTP") }, { "EmailFormat", QStringLiteral("Html") },
                { "EmailServer", QStringLiteral("127.0.0.1") }, { "EmailPort", QStringLiteral("25") },
                { "EmailHelo", QStringLiteral("northgate-print.example") }, { "EmailFrom", email },
                { "EmailEncryption", QStringLiteral("None") }, { "WebMarkup", QStringLiteral("WEB") },
                { "GatewayType", QStringLiteral("None") }, { "GatewayMode", QStringLiteral("Sandbox") },
                { "Payment", QStringLiteral("Credit") }, { "Area", QStringLiteral("LEEDS") },
                { "QuoteStatus", QStringLiteral("Pending") }, { "XMLSpec", QStringLiteral("PO") } });
        setLongs(r,
            { { "EmailServerTimeout", 30 }, { "WebExpiry", 365 }, { "WebEnable", 1 }, { "WebNotify", 1 },
                { "WebHistory", daysAgo(365) }, { "ShippingDays", 2 }, { "LeadDays", 5 }, { "XMLCopyWorkings", 1 },
                { "XMLCopyNotes", 1 } });
    });
    writer(QStringLiteral("Company")).add([&](bizlib::Record &r) {
        const QStringList lines { QStringLiteral("Unit 4, Riverside Park"), QStringLiteral("Mill Lane"), QString(),
            QStringLiteral("Leeds"), QStringLiteral("West Yorkshire"), QStringLiteral("LS11 5QT") };
        setTexts(r,
            { { "Name", company }, { "Address1", lines[0] }, { "Address2", lines[1] }, { "Town", lines[3] },
                { "County", lines[4] }, { "Postcode", lines[5] }, { "Address", formatAddress(lines) },
                { "Country", QStringLiteral("United Kingdom") }, { "CountryCode", QStringLiteral("GBR") },
                { "Currency", QStringLiteral("GBP") }, { "Tel", QStringLiteral("0113 496 0700") }, { "Email", email },
                { "Web", QStringLiteral("https://print.example.com/") }, { "TaxReg", QStringLiteral("GB 284 6610 93") },
                { "RegNo", QStringLiteral("04567123") } });
        r.setLong("CountryID", m_catalog.countryId(QStringLiteral("GBR")));
    });
}

} // namespace demo
