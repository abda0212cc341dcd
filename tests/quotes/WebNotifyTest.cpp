#include "quotes/WebNotify.h"

#include "QuoteFixture.h"

using bizlib::Record;
using quotetest::QuoteTest;

namespace {

class Notify : public QuoteTest
{
protected:
    quotes::WebNotify notifier() { return quotes::WebNotify({ &db(), mail.get(), &ctx.settings, ctx.glo.user }); }
};

TEST_P(Notify, recipientsFollowTheSettingsAndFallBackInAutomaticMode)
{
    add("Users", { { "Initials", "MK" }, { "Email", "mk@print.example" } });
    add("Users", { { "Initials", "LP" } }); // no address
    struct Case
    {
        const char *rep;
        const char *manager;
        bool autoRep;
        bool autoManager;
        bool automatic;
        const char *adminEmail;
        const char *expected;
    };
    const Case cases[] = {
        { "AB", "MK", true, true, false, "", "ab@print.example;mk@print.example" },
        { "AB", "ab", true, true, false, "", "ab@print.example" },
        { "", "MK", true, true, false, "", "mk@print.example" },
        { "AB", "MK", false, true, false, "", "mk@print.example" },
        { "ZZ", "MK", true, true, false, "", "mk@print.example" },
        { "ZZ", "", true, false, false, "", "" },
        { "AB", "LP", false, true, true, "admin@print.example", "admin@print.example" },
        { "", "", false, false, true, "", "system@print.example" },
        { "", "", false, false, false, "admin@print.example", "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        Record cli = fetch("Clients", "CLIENTIDKEY", client);
        cli.setText("Rep", QLatin1String(c.rep));
        cli.setText("Manager", QLatin1String(c.manager));
        ctx.settings.autoEmailRep = c.autoRep;
        ctx.settings.autoEmailManager = c.autoManager;
        ctx.settings.adminEmail = QLatin1String(c.adminEmail);
        QString list;
        ASSERT_TRUE(notifier().recipients(cli, c.automatic, &list).isOk());
        EXPECT_EQ(list, QLatin1String(c.expected));
    }
}

TEST_P(Notify, aLinkedContactGetsItsOwnCopyEvenWhenNobodyElseIsTold)
{
    const qint32 linked
        = add("Contacts", { { "ClientID", client }, { "Name", "Sam Quay" }, { "Email", "sam@client.example" } })
              .toLong("ContactID");
    Record con = fetch("Contacts", "CONTACTIDKEY", contact);
    con.setLong("LinkedContactID", linked);
    con.setLong("NotifyLinked", 1);
    ctx.settings.autoEmailRep = false;
    const auto results = notifier().send(
        QStringLiteral("Text\r\n"), QStringLiteral("Subject"), false, fetch("Clients", "CLIENTIDKEY", client), con);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results[0].sent()) << results[0].status.message().toStdString();
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_EQ(sink.messages()[0].recipients, QStringList { QStringLiteral("sam@client.example") });
}

INSTANTIATE_TEST_SUITE_P(Engines, Notify, testsupport::allEngines(), testsupport::engineName);

} // namespace
