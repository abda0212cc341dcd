#include "SignupFixture.h"

#include "bizlib/SignupExport.h"
#include "data/RequestClaim.h"
#include "signups/RunWrites.h"
#include "signups/SignupParties.h"

#include <QDir>

#include <QFile>

using bizlib::Record;
using bizlib::forms::Response;
using signups::SignupProcessing;

namespace {

class B2c : public signuptest::SignupTest
{
protected:
    // Processes a B2C sign-up as order processing does; true when the window would have shown.
    bool process(qint32 id)
    {
        SignupProcessing p(services(), fetch("WebSignup", id));
        const bool shown = p.open();
        response = p.response();
        told = p.told();
        if (shown)
            p.close();
        return shown;
    }
    Response response = Response::Cancelled;
    QString told;
};

TEST_P(B2c, matchedByEmail_isAcceptedWithoutWindow_andGetsWebAccess)
{
    const qint32 id = addSignup({ { "Source", "B2C" }, { "Email", "jo@harbour.example" }, { "FullName", "Jo Marsh" },
        { "DFullName", "Jo Marsh" }, { "Postcode", "YO21 1AA" }, { "Address1", "Quay Street" } });
    EXPECT_FALSE(process(id));
    EXPECT_EQ(response, Response::Completed) << told.toStdString();
    const Record s = fetch("WebSignup", id);
    EXPECT_EQ(s.text("Status"), "Accepted");
    EXPECT_EQ(s.toLong("ClientID"), client);
    EXPECT_EQ(s.toLong("ContactID"), contact);
    EXPECT_EQ(s.toLong("OfficeID"), 0) << "the main office is recorded as none";
    const Record c = fetch("Contacts", contact);
    EXPECT_EQ(c.toLong("WebEnable"), 1);
    EXPECT_EQ(c.text("WebPassword"), "pw1");
    EXPECT_EQ(fetch("Clients", client).toLong("WebEnable"), 1);
    EXPECT_EQ(count("Clients"), 1);
    EXPECT_TRUE(tasks("WebSignup").isEmpty()) << "a B2C sign-up is never confirmed by its own task";
    EXPECT_EQ(count("wc_claims"), 0);
}

TEST_P(B2c, withoutMatch_getsAccountContactAndMainOffice_taxByCountry)
{
    struct Case
    {
        const char *name;
        qint32 country;
        int includeTax;
        const char *currency;
    };
    const qint32 ca = add("Countries", { { "CountryName", "Canada" }, { "IsoCountry", "ca" }, { "Currency", "CAD" } })
                          .toLong("CountryID");
    const Case cases[] = { { "GB", gb, 1, "GBP" }, { "US", us, 0, "USD" }, { "CA", ca, 0, "CAD" },
        { "unknown country: the company's own", 9999, 1, "GBP" } };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString email = QStringLiteral("b2c%1@example.com").arg(++n);
        const qint32 id = addSignup({ { "Source", "B2C" }, { "Email", email }, { "CountryID", c.country },
            { "Company", QStringLiteral("Home %1").arg(n) }, { "Prefix", "" } });
        EXPECT_FALSE(process(id));
        ASSERT_EQ(response, Response::Completed) << told.toStdString();
        const Record s = fetch("WebSignup", id);
        const Record account = fetch("Clients", s.toLong("ClientID"));
        ASSERT_TRUE(account.isValid());
        EXPECT_EQ(account.toLong("IncludeTax"), c.includeTax);
        EXPECT_EQ(account.text("Currency"), QLatin1String(c.currency));
        EXPECT_EQ(account.text("Payment"), "Prepay");
        EXPECT_EQ(account.toLong("WebEnable"), 1);
        EXPECT_GT(account.toLong("WebExpiryDate"), 0);
        EXPECT_EQ(account.toLong("WebExpiryTime"), signups::SignupParties::kEndOfDay);
        EXPECT_EQ(account.text("NameCaps"), QStringLiteral("HOME %1").arg(n));
        const Record person = fetch("Contacts", s.toLong("ContactID"));
        EXPECT_EQ(person.text("Prefix"), "Mr");
        EXPECT_EQ(person.toLong("Primary"), 1);
        EXPECT_EQ(person.toLong("Prepay"), 1);
        EXPECT_EQ(account.toLong("ContactID"), person.toLong("ContactID"));
        const Record main = fetch("Offices", account.toLong("OfficeID"));
        EXPECT_EQ(main.text("Office"), account.text("Code").left(6) + QStringLiteral("-001"));
        EXPECT_EQ(main.text("Type"), "Accounts");
        EXPECT_EQ(account.text("InvoiceOffice"), main.text("Office"));
        EXPECT_EQ(rows("DomainLinks").size(), n);
    }
}

TEST_P(B2c, twoWebOrders_deliverySidesAndAttachmentsFollowTheNewClient)
{
    const qint32 id = addSignup({ { "Source", "B2C" }, { "DFullName", "Kim Lee" }, { "DFirstName", "Kim" },
        { "DLastName", "Lee" }, { "DAddress1", "9 Dock Road" } });
    const qint32 placed = add("WebOrders", { { "WebSignupID", id }, { "DContact", "Kim Lee" }, { "DAddress1", "9 Dock Road" },
                                               { "DName", "Kim" }, { "DTown", "Hull" }, { "DCountryID", gb }, { "Status", "Pending" } })
                              .toLong("OrderID");
    const qint32 other = add("WebOrders", { { "WebSignupID", id }, { "DContact", "Pat Moss" }, { "DAddress1", "5 High St" },
                                              { "DName", "Pat" }, { "DTown", "York" }, { "DCountryID", us }, { "Status", "Pending" } })
                             .toLong("OrderID");
    update("WebSignup", id, { { "WebOrderID", placed } });
    const qint32 file = add("WebAttachments", { { "OrderID", other }, { "SourceName", "https://x/system/clients/unknown/a.pdf" },
                                                  { "LocalPath", "D:/System/Clients/Unknown/a.pdf" } })
                            .toLong("AttachmentID");
    EXPECT_FALSE(process(id));
    ASSERT_EQ(response, Response::Completed) << told.toStdString();
    const Record s = fetch("WebSignup", id);
    const Record account = fetch("Clients", s.toLong("ClientID"));
    const Record first = fetch("WebOrders", placed);
    EXPECT_EQ(first.toLong("ClientID"), account.toLong("ClientID"));
    EXPECT_EQ(first.toLong("DOfficeID"), s.toLong("DeliveryOfficeID"));
    EXPECT_EQ(first.toLong("DContactID"), s.toLong("DeliveryContactID"));
    EXPECT_NE(s.toLong("DeliveryContactID"), s.toLong("ContactID")) << "Kim Lee is a contact of her own";
    EXPECT_EQ(fetch("Offices", s.toLong("DeliveryOfficeID")).text("Office"), account.text("Code").left(6) + "-002");
    const Record second = fetch("WebOrders", other);
    const Record pat = fetch("Contacts", second.toLong("DContactID"));
    EXPECT_EQ(pat.text("Name"), "Pat Moss");
    EXPECT_EQ(pat.toLong("ClientID"), account.toLong("ClientID"));
    const Record york = fetch("Offices", second.toLong("DOfficeID"));
    EXPECT_EQ(york.text("Town"), "York");
    EXPECT_EQ(york.text("Office"), account.text("Code").left(6) + "-003");
    EXPECT_EQ(pat.toLong("OfficeID"), york.toLong("OfficeID"));
    EXPECT_EQ(rows("ContactOffices", "CONTACTOFFICEKEY", { pat.toLong("ContactID") }).size(), 1);
    EXPECT_EQ(second.text("DCountry"), "United States");
    const Record a = fetch("WebAttachments", file);
    const QString folder = QStringLiteral("/system/clients/") + account.text("Code");
    EXPECT_EQ(a.text("SourceName"), QStringLiteral("https://x") + folder + "/a.pdf");
    EXPECT_EQ(a.text("LocalPath"), QStringLiteral("D:") + folder + "/a.pdf");
}

TEST_P(B2c, platformDecidesWebAccessAndTheXmlExport)
{
    struct Case
    {
        const char *platform;
        int webEnable;
        bool exported;
    };
    const Case cases[] = { { "", 1, false }, { "bo", 1, true }, { "XMLTFR", 0, true } };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.platform);
        const qint32 id = addSignup({ { "Source", "B2C" }, { "Platform", c.platform },
            { "Email", QStringLiteral("p%1@example.com").arg(++n) } });
        EXPECT_FALSE(process(id));
        ASSERT_EQ(response, Response::Completed) << told.toStdString();
        const Record s = fetch("WebSignup", id);
        EXPECT_EQ(fetch("Contacts", s.toLong("ContactID")).toLong("WebEnable"), c.webEnable);
        const QString xml = QDir(files.path()).filePath(QStringLiteral("signups/") + bizlib::SignupExport::defaultName(id));
        EXPECT_EQ(QFile::exists(xml), c.exported);
        if (c.exported) {
            QFile f(xml);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray text = f.readAll();
            EXPECT_TRUE(text.contains("<Status>Accepted</Status>"));
            EXPECT_FALSE(text.contains("pw1")) << "the website credential is never exported";
        }
    }
}

TEST_P(B2c, accountThatCannotBeMade_stopsWithTheMessage_andMakesNoContactOrOffice)
{
    // A claim that is not held refuses every write, as one taken over by another workstation does.
    const qint32 id = addSignup({ { "Source", "B2C" } });
    data::RequestClaim lost(db(), data::ClaimVariant::signupProcessing(), id);
    signups::RunWrites writes(db(), &lost);
    signups::SignupRecords records = signups::SignupRecords::cleared();
    records.signup = fetch("WebSignup", id);
    signups::SignupState state;
    QStringList failures;
    signups::SignupParties parties(writes, records, state, ctx.glo.user, &prompter,
        [&failures](const bizlib::Status &, const QString &what) { failures << what; });
    const qint64 contacts = count("Contacts");
    const qint64 offices = count("Offices");
    EXPECT_FALSE(parties.automaticCompletion());
    ASSERT_FALSE(prompter.shown().isEmpty());
    EXPECT_TRUE(prompter.lastText().startsWith(signups::SignupParties::accountErrorText()));
    EXPECT_EQ(prompter.shown().last().caption, signups::SignupParties::accountErrorCaption());
    EXPECT_EQ(count("Clients"), 1);
    EXPECT_EQ(count("Contacts"), contacts);
    EXPECT_EQ(count("Offices"), offices);
    EXPECT_EQ(state.clientId, 0);
    EXPECT_EQ(failures.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, B2c, testsupport::allEngines(), testsupport::engineName);

} // namespace
