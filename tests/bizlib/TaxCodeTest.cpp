#include "bizlib/MainLibrary.h"
#include "bizlib/Table.h"
#include "support/TestDatabase.h"

#include <QVariantMap>

using namespace bizlib;
using testsupport::DataTest;

namespace {

class TaxCode : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFailure())
            return;
        rate("S", "Sales", "UK", "20");
        rate("R", "Sales", "UK", "5");
        rate("Z", "Sales", "", "0");
        rate("CA", "Sales", "California", "8.75");
        rate("P", "Purchase", "", "20");
    }

    void rate(const char *code, const char *type, const char *district, const char *general)
    {
        add(QStringLiteral("TaxRates"),
            { { "TaxCode", code }, { "TaxType", type }, { "TaxDistrict", district }, { "GTaxRate", general },
                { "TaxRate", general } });
    }

    Record add(const QString &table, const QVariantMap &values)
    {
        Table t(db(), table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r.setValue(it.key(), it.value());
        EXPECT_TRUE(t.insert(r).isOk());
        return r;
    }

    qint32 client(const char *code, const char *taxCode, bool forced, const char *county = "")
    {
        return add(QStringLiteral("Clients"),
            { { "Code", code }, { "TaxCode", taxCode }, { "TaxCodeForce", forced ? 1 : 0 }, { "County", county } })
            .toLong("ClientID");
    }

    // Runs ASSIGNTAXCODE and gives "code/forced/district".
    QString assign(const MainLibrary::TaxCodeRequest &request)
    {
        MainLibrary main(db());
        params::TaxCodeParams result;
        const Status st = main.assignTaxCode(request, &result);
        EXPECT_TRUE(st.isOk()) << st.message().toStdString();
        return QStringLiteral("%1/%2/%3")
            .arg(result.text("TaxCode"))
            .arg(result.toLong("TaxCodeForce"))
            .arg(result.text("TaxDistrict"));
    }
};

TEST_P(TaxCode, clientRules_forcedCodeWinsOverEverything)
{
    const qint32 exempt = client("EXP", "Z", true);
    const qint32 material
        = add(QStringLiteral("Materials"), { { "Code", "BOOK" }, { "TaxCode", "R" } }).toLong("MaterialID");
    MainLibrary::TaxCodeRequest r;
    r.currentCode = QStringLiteral("S");
    r.rules = QStringLiteral("MTL");
    r.clientId = exempt;
    r.materialId = material;
    EXPECT_EQ(assign(r), QStringLiteral("Z/1/"));
}

TEST_P(TaxCode, materialRule_comesBeforeTheClientsOwnCode)
{
    const qint32 reduced = client("RED", "R", false);
    const qint32 material
        = add(QStringLiteral("Materials"), { { "Code", "FOOD" }, { "TaxCode", "Z" } }).toLong("MaterialID");
    MainLibrary::TaxCodeRequest r;
    r.clientId = reduced;
    r.materialId = material;
    r.rules = QStringLiteral("MTL");
    EXPECT_EQ(assign(r), QStringLiteral("Z/0/"));
    r.rules = QStringLiteral("CLI"); // client rules only: the material is not asked
    EXPECT_EQ(assign(r), QStringLiteral("R/0/UK"));
}

TEST_P(TaxCode, codesMissingFromTheTable_arePassedOver)
{
    const qint32 odd = client("ODD", "XX", true); // forced, but not a known code
    MainLibrary::TaxCodeRequest r;
    r.clientId = odd;
    r.currentCode = QStringLiteral("S");
    EXPECT_EQ(assign(r), QStringLiteral("S/0/UK"));
    r.currentCode = QStringLiteral("P"); // a purchase rate is no sales rate
    EXPECT_EQ(assign(r), QStringLiteral("/0/"));
    r.accountType = QStringLiteral("SUP");
    EXPECT_EQ(assign(r), QStringLiteral("P/0/"));
    r.keepCurrent = true;
    r.accountType = QStringLiteral("CLI");
    r.currentCode = QStringLiteral("R");
    r.clientId = client("STD", "S", false);
    EXPECT_EQ(assign(r), QStringLiteral("R/0/UK")); // kept, although the client has S
}

TEST_P(TaxCode, deliveryDistrict_choosesTheCodeWhenNothingElseDoes)
{
    const qint32 plain = client("USA", "", false);
    const qint32 office
        = add(QStringLiteral("Offices"), { { "ClientID", plain }, { "County", "california" } }).toLong("OfficeID");
    MainLibrary::TaxCodeRequest r;
    r.clientId = plain;
    r.deliveryOfficeId = office;
    EXPECT_EQ(assign(r), QStringLiteral("CA/0/California"));

    // The contact's office tells the district when no delivery place is named.
    const qint32 contact
        = add(QStringLiteral("Contacts"), { { "ClientID", plain }, { "OfficeID", office } }).toLong("ContactID");
    MainLibrary::TaxCodeRequest viaContact;
    viaContact.clientId = plain;
    viaContact.contactId = contact;
    EXPECT_EQ(assign(viaContact), QStringLiteral("CA/0/California"));

    // A client with a code keeps it; the district is still reported.
    MainLibrary::TaxCodeRequest withCode = r;
    withCode.clientId = client("ZED", "Z", false);
    EXPECT_EQ(assign(withCode), QStringLiteral("Z/0/california"));
}

TEST_P(TaxCode, unknownAccountType_isAnError)
{
    MainLibrary main(db());
    MainLibrary::TaxCodeRequest r;
    r.accountType = QStringLiteral("XYZ");
    params::TaxCodeParams result;
    EXPECT_TRUE(main.assignTaxCode(r, &result).isError());
}

INSTANTIATE_TEST_SUITE_P(Engines, TaxCode, testsupport::allEngines(), testsupport::engineName);

} // namespace
