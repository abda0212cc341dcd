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
        { "AB", "AB", true, true, false, "", "ab@print.example" }, // a lookup of "ab" finds nobody: this one tells
        { "", "MK", true, true, false, "", "mk@print.example" },
        { "AB", "MK", false, true, false, "", "mk@print.example" },
        { "ZZ", "MK", true, true, false, "", "mk@print.example" },
        { "ZZ", "", true, false, false, "", "" },
        { "AB", "LP", false, true, true, "admin@print.example", "admin@print.example" },
        { "", "", false, false, true, "", "system@print.example" },
        { "", "", false, false, false, "admin@print.example", "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rep << '/' << c.manager << ": " << c.expected);
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

TEST_P(Notify, aLinkedContactGetsItsOwnCopyOnlyWithTheNotifyFlagEvenWhenNobodyElseIsTold)
{
    const qint32 linked
        = add("Contacts", { { "ClientID", client }, { "Name", "Sam Quay" }, { "Email", "sam@client.example" } })
              .toLong("ContactID");
    ctx.settings.autoEmailRep = false;
    for (const int notify : { 1, 0 }) {
        SCOPED_TRACE(notify);
        Record con = fetch("Contacts", "CONTACTIDKEY", contact);
        con.setLong("LinkedContactID", linked);
        con.setLong("NotifyLinked", notify);
        const qsizetype before = sink.messages().size();
        const auto results = notifier().send(
            QStringLiteral("Text\r\n"), QStringLiteral("Subject"), false, fetch("Clients", "CLIENTIDKEY", client), con);
        ASSERT_EQ(results.size(), notify);
        ASSERT_EQ(sink.messages().size(), before + notify);
        if (notify) {
            EXPECT_TRUE(results[0].sent()) << results[0].status.message().toStdString();
            EXPECT_EQ(sink.messages().last().recipients, QStringList { QStringLiteral("sam@client.example") });
        }
    }
}

TEST_P(Notify, aListLongerThan200CharactersIsCut)
{
    // Two addresses of the widest a user can have: 100 + ";" + 100 characters.
    const QString rep = QString(86, u'r') + QStringLiteral("@print.example");
    const QString manager = QString(86, u'm') + QStringLiteral("@print.example");
    add("Users", { { "Initials", "LR" }, { "Email", rep } });
    add("Users", { { "Initials", "LM" }, { "Email", manager } });
    Record cli = fetch("Clients", "CLIENTIDKEY", client);
    cli.setText("Rep", QStringLiteral("LR"));
    cli.setText("Manager", QStringLiteral("LM"));
    ctx.settings.autoEmailManager = true;
    QString list;
    ASSERT_TRUE(notifier().recipients(cli, false, &list).isOk());
    EXPECT_EQ(list, (rep + u';' + manager).left(quotes::WebNotify::kAddressListWidth));
    EXPECT_EQ(list.size(), 200);
}

INSTANTIATE_TEST_SUITE_P(Engines, Notify, testsupport::allEngines(), testsupport::engineName);

} // namespace
