#include "console/logs/ClaimList.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QTemporaryDir>

using console::ClaimList;
using Release = ClaimList::Release;

namespace {

class ClaimListTest : public testsupport::DataTest
{
protected:
    // A request held by another workstation's run, last seen `minutesAgo` minutes ago, that made a quote.
    data::ClaimHolder addClaim(int minutesAgo)
    {
        bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
        bizlib::Record r;
        EXPECT_TRUE(requests.prime(r).isOk());
        r.setText("Status", QStringLiteral("Processing"));
        r.setLong("Number", 1019);
        EXPECT_TRUE(requests.insert(r).isOk());
        bizlib::Table quotes(db(), QStringLiteral("Quotes"));
        bizlib::Record q;
        EXPECT_TRUE(quotes.prime(q).isOk());
        EXPECT_TRUE(quotes.insert(q).isOk());
        data::ClaimHolder h;
        h.owner = QStringLiteral("owner-%1").arg(r.toLong("QuoteID"));
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
        data::ClaimBook book(db());
        EXPECT_TRUE(book.insert(h).isOk());
        EXPECT_TRUE(book.record(h.owner, 1, data::RunItem::row(QStringLiteral("Quotes"), q.toLong("QuoteID"))).isOk());
        return h;
    }
    qint64 value(const QString &sql)
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(sql, {}, &q).isOk()) << sql.toStdString();
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    QTemporaryDir m_dir;
    testsupport::ScriptedPrompter m_prompter;
};

TEST_P(ClaimListTest, listShowsEachClaimWithItsKindReferenceHolderAndWhetherItIsStale)
{
    addClaim(30);
    addClaim(0);
    ClaimList list(db(), { m_dir.path() }, 10);
    QList<ClaimList::Row> rows;
    ASSERT_TRUE(list.read(&rows).isOk());
    ASSERT_EQ(rows.size(), 2);
    int stale = 0;
    for (const ClaimList::Row &r : rows) {
        EXPECT_EQ(r.kind, QStringLiteral("Quote request"));
        EXPECT_EQ(r.reference, QStringLiteral("1019"));
        EXPECT_EQ(r.holder.userCode, QStringLiteral("AB"));
        stale += r.stale ? 1 : 0;
    }
    EXPECT_EQ(stale, 1);
}

// Release is refused without the right, asked first, left alone on a live claim, and cleans up
// only a claim still as it was seen: a holder seen again meanwhile keeps its claim.
TEST_P(ClaimListTest, releaseCleansUpOnlyAStaleClaimStillAsSeen)
{
    ClaimList list(db(), { m_dir.path() }, 10);
    QString message;
    const data::ClaimHolder live = addClaim(0);
    EXPECT_EQ(list.release(live, true, m_prompter, &message), Release::NotStale);

    const data::ClaimHolder stale = addClaim(30);
    EXPECT_EQ(list.release(stale, false, m_prompter, &message), Release::Refused);
    m_prompter.answer(2); // No
    EXPECT_EQ(list.release(stale, true, m_prompter, &message), Release::Cancelled);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 2);

    // Its holder comes back between the list and the release: the claim stays its.
    ASSERT_TRUE(data::ClaimBook(db()).heartbeat({ stale.owner }).isOk());
    m_prompter.answer(1);
    EXPECT_EQ(list.release(stale, true, m_prompter, &message), Release::Gone) << message.toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\" WHERE \"owner\" = '%1'").arg(stale.owner)), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\"")), 2);

    const data::ClaimHolder gone = addClaim(45);
    m_prompter.answer(1);
    EXPECT_EQ(list.release(gone, true, m_prompter, &message), Release::Released) << message.toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"wc_claims\"")), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"quotes\"")), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM \"webquotes\" WHERE \"quoteid\" = %1 AND \"status\" = "
                                   "'Pending'")
                        .arg(gone.requestId)),
        1);
}

INSTANTIATE_TEST_SUITE_P(Engines, ClaimListTest, testsupport::allEngines(), testsupport::engineName);

} // namespace
