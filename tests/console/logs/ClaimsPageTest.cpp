#include "console/logs/ui/ClaimsPage.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "bizlib/security/PasswordHasher.h"
#include "bizlib/security/Security.h"
#include "config/AppContext.h"
#include "data/ClaimBook.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// The Claims page as a user with right 44 sees it: one live claim and one stale one.
class ClaimsPageTest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped())
            return;
        bizlib::security::Security security(db(), bizlib::security::PasswordHasher::Cost::minimal());
        qint32 id = 0;
        ASSERT_TRUE(security
                        .addUser({ QStringLiteral("JS"), QStringLiteral("JS User"), {}, {}, false,
                                     { bizlib::security::Security::kRightMarkOrdersPaid } },
                            &id)
                        .isOk());
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userId = id;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.brevix.globalData = dir.path();
        ctx.brevix.localData = dir.path();
    }

    // A request held by another workstation, last seen `minutesAgo` minutes ago.
    void addClaim(qint32 number, int minutesAgo)
    {
        bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
        bizlib::Record r;
        ASSERT_TRUE(requests.prime(r).isOk());
        r.setText("Status", QStringLiteral("Processing"));
        r.setLong("Number", number);
        ASSERT_TRUE(requests.insert(r).isOk());
        data::ClaimHolder h;
        h.owner = QStringLiteral("owner-%1").arg(number);
        h.requestTable = QStringLiteral("WebQuotes");
        h.requestId = r.toLong("QuoteID");
        h.savedStatus = QStringLiteral("Pending");
        h.session = QStringLiteral("another process");
        h.workstation = QStringLiteral("ws-elsewhere");
        h.userCode = QStringLiteral("AB");
        h.processId = 4242;
        const QDateTime seen = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
        h.startedOn = h.seenOn = bizlib::DateTime::fromDate(seen.date());
        h.startedAt = h.seenAt = bizlib::DateTime::fromTime(seen.time());
        ASSERT_TRUE(data::ClaimBook(db()).insert(h).isOk());
    }

    QStringList references(const QTableWidget *t) const
    {
        QStringList out;
        for (int row = 0; row < t->rowCount(); ++row)
            out << t->item(row, 1)->text();
        out.sort();
        return out;
    }

    QTemporaryDir dir;
    testsupport::ScriptedPrompter prompter;
    config::AppContext ctx;
};

TEST_P(ClaimsPageTest, releaseOfAStaleClaimAsksFirstThenTheRowDisappears)
{
    addClaim(1019, 45);
    addClaim(1020, 0);
    console::ui::ClaimsPage page(ctx);
    page.refresh();
    QTableWidget *table = page.table();
    auto *release = page.findChild<QPushButton *>(QStringLiteral("release"));
    ASSERT_TRUE(release);
    ASSERT_EQ(references(table), (QStringList { QStringLiteral("1019"), QStringLiteral("1020") }));
    EXPECT_TRUE(page.summary().startsWith(QStringLiteral("2 web requests held, 1 of them")))
        << page.summary().toStdString();

    int stale = -1;
    int live = -1;
    for (int row = 0; row < table->rowCount(); ++row)
        (table->item(row, 1)->text() == QStringLiteral("1019") ? stale : live) = row;
    table->selectRow(live);
    EXPECT_FALSE(release->isEnabled()); // a live claim is not offered
    table->selectRow(stale);
    ASSERT_TRUE(release->isEnabled());

    // No: nothing changes.
    prompter.answer(2);
    release->click();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).icon, bizlib::Prompter::Icon::Question);
    EXPECT_TRUE(prompter.shown().at(0).text.contains(QStringLiteral("ws-elsewhere")))
        << prompter.lastText().toStdString();
    EXPECT_EQ(table->rowCount(), 2);

    // Yes: the claim goes, and its row with it.
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text() == QStringLiteral("1019"))
            table->selectRow(row);
    prompter.answer(1);
    release->click();
    EXPECT_EQ(references(table), QStringList { QStringLiteral("1020") }) << prompter.lastText().toStdString();
    EXPECT_FALSE(release->isEnabled());
    EXPECT_EQ(page.summary(), QStringLiteral("1 web request is being processed."));
}

INSTANTIATE_TEST_SUITE_P(Engines, ClaimsPageTest, testsupport::allEngines(), testsupport::engineName);

} // namespace
