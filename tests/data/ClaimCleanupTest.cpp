#include "data/ClaimCleanup.h"

#include "bizlib/Clock.h"
#include "bizlib/Table.h"
#include "data/RequestClaim.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QThread>
#include <atomic>
#include <thread>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

using bizlib::Record;
using data::ClaimCleanup;
using data::ClaimHolder;
using data::ClaimVariant;
using data::RequestClaim;
using data::RunItem;

namespace {

class Cleanup : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(QDir().mkpath(data()));
        ASSERT_TRUE(QDir().mkpath(elsewhere()));
    }
    QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    QString elsewhere() const { return m_dir.filePath(QStringLiteral("elsewhere")); }

    qint32 addRow(const QString &table, const std::function<void(Record &)> &fill)
    {
        bizlib::Table t(db(), table);
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        fill(r);
        EXPECT_TRUE(t.insert(r).isOk());
        return r.toLong(t.def().autoNumberField);
    }
    qint64 count(const QString &table, const QString &where = QStringLiteral("1 = 1"))
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2").arg(table, where), {}, &q).isOk());
        return q.next() ? q.value(0).toLongLong() : -1;
    }
    QString status(qint32 quoteId)
    {
        QSqlQuery q;
        EXPECT_TRUE(
            db().exec(QStringLiteral("SELECT \"status\" FROM \"webquotes\" WHERE \"quoteid\" = ?"), { quoteId }, &q)
                .isOk());
        return q.next() ? q.value(0).toString() : QStringLiteral("<gone>");
    }
    QString file(const QString &folder, const QString &name)
    {
        const QString path = QDir(folder).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("artwork");
        return path;
    }

    // A run of another workstation: the request claimed, a quote with its workings made, two files
    // recorded (one of them outside the data folders), last seen `minutesAgo` minutes ago.
    struct Run
    {
        qint32 request = 0;
        qint32 quote = 0;
        QString inside;
        QString outside;
        QString owner;
    };
    Run addRun(int minutesAgo, const QString &workstation = QStringLiteral("ws-elsewhere"))
    {
        Run run;
        run.request
            = addRow(QStringLiteral("WebQuotes"), [](Record &r) { r.setText("Status", QStringLiteral("Processing")); });
        run.quote = addRow(QStringLiteral("Quotes"), [](Record &) {});
        addRow(QStringLiteral("QuoteWorkings"), [&](Record &r) { r.setLong("QuoteID", run.quote); });
        run.inside = file(data(), QStringLiteral("q%1.pdf").arg(run.quote));
        run.outside = file(elsewhere(), QStringLiteral("q%1.pdf").arg(run.quote));
        run.owner = QStringLiteral("owner-%1").arg(run.request);
        ClaimHolder h;
        h.owner = run.owner;
        h.requestTable = QStringLiteral("WebQuotes");
        h.requestId = run.request;
        h.savedStatus = QStringLiteral("Waiting");
        h.session = QStringLiteral("another process");
        h.workstation = workstation;
        h.userCode = QStringLiteral("AB");
        h.processId = 4242;
        const QDateTime seen = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
        h.startedOn = h.seenOn = bizlib::DateTime::fromDate(seen.date());
        h.startedAt = h.seenAt = bizlib::DateTime::fromTime(seen.time());
        data::ClaimBook book(db());
        EXPECT_TRUE(book.insert(h).isOk());
        EXPECT_TRUE(book.record(run.owner, 1, RunItem::row(QStringLiteral("Quotes"), run.quote)).isOk());
        EXPECT_TRUE(book.record(run.owner, 2, RunItem::file(run.inside)).isOk());
        EXPECT_TRUE(book.record(run.owner, 3, RunItem::file(run.outside)).isOk());
        return run;
    }

    QTemporaryDir m_dir;
};

// A holder not seen for longer than the limit is gone: its quote with the quote's rows and the
// files it made inside the data folders are removed, its request gets back its status; a holder
// seen a minute ago keeps everything.
TEST_P(Cleanup, aStaleClaimIsUndoneCompletelyAndALiveOneIsLeftAlone)
{
    const Run stale = addRun(11);
    const Run live = addRun(1);
    ClaimCleanup cleanup(db(), { data() }, 10);
    ClaimCleanup::Report report;
    ASSERT_TRUE(cleanup.run(&report).isOk());

    EXPECT_EQ(status(stale.request), QStringLiteral("Waiting"));
    EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(stale.quote)), 0);
    EXPECT_EQ(count(QStringLiteral("quoteworkings"), QStringLiteral("\"quoteid\" = %1").arg(stale.quote)), 0);
    EXPECT_FALSE(QFile::exists(stale.inside));
    EXPECT_TRUE(QFile::exists(stale.outside)) << "only files inside the data folders are removed";
    EXPECT_EQ(count(QStringLiteral("wc_claims"), QStringLiteral("\"owner\" = '%1'").arg(stale.owner)), 0);
    EXPECT_EQ(count(QStringLiteral("wc_claimitems"), QStringLiteral("\"owner\" = '%1'").arg(stale.owner)), 0);
    EXPECT_EQ(report.claims, 1);
    EXPECT_EQ(report.summary(), QStringLiteral("1 web request given back; 1 quote, 1 file removed"));
    ASSERT_EQ(report.lines.size(), 1);
    EXPECT_TRUE(report.lines.first().contains(QStringLiteral("AB on ws-elsewhere")))
        << report.lines.first().toStdString();

    EXPECT_EQ(status(live.request), QStringLiteral("Processing"));
    EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(live.quote)), 1);
    EXPECT_TRUE(QFile::exists(live.inside));

    // A second console that cleans up at the same moment finds nothing left to do.
    ClaimHolder gone;
    gone.owner = stale.owner;
    EXPECT_TRUE(cleanup.cleanUp(gone, &report).isNotFound());
}

// On this workstation a holder whose process has ended is gone at once; while it runs, it is not.
// The request it held is cleaned up as soon as someone claims it again.
TEST_P(Cleanup, aClaimOfAnEndedProcessOnThisWorkstationIsCleanedUpWhenTheRequestIsClaimedAgain)
{
    const Run run = addRun(0, data::ClaimSession::thisProcess().workstation);
    ClaimCleanup cleanup(db(), { data() }, 10);
    cleanup.setProcessCheck([](qint64) { return true; });
    ClaimHolder holder;
    ASSERT_TRUE(data::ClaimBook(db()).byOwner(run.owner, &holder).isOk());
    EXPECT_FALSE(cleanup.isStale(holder, bizlib::DateTime::today(), bizlib::DateTime::now()));
    cleanup.setProcessCheck([](qint64) { return false; });
    EXPECT_TRUE(cleanup.isStale(holder, bizlib::DateTime::today(), bizlib::DateTime::now()));

    // Process 4242 is not this test's child; whether it runs is the system's answer, so the row is
    // made to name a process that surely ended.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 pid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"wc_claims\" SET \"processid\" = ? WHERE \"owner\" = ?"),
                        { qint32(pid), run.owner })
                    .isOk());
    RequestClaim claim(
        db(), ClaimVariant::quoteProcessing(), run.request, nullptr, {}, QStringLiteral("JS"), { data() });
    ASSERT_EQ(claim.claim(true), RequestClaim::Outcome::Claimed);
    EXPECT_EQ(claim.savedStatus(), QStringLiteral("Waiting"));
    EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(run.quote)), 0);
    EXPECT_FALSE(QFile::exists(run.inside));
}

// A cancel removes exactly what its run recorded, nothing else; a stored run whose process ended
// before its files were moved has them moved by the cleanup.
TEST_P(Cleanup, aCancelRemovesWhatTheRunMadeAndAStoredRunHasItsMovesFinished)
{
    const qint32 request
        = addRow(QStringLiteral("WebQuotes"), [](Record &r) { r.setText("Status", QStringLiteral("Pending")); });
    const qint32 notMine = addRow(QStringLiteral("Quotes"), [](Record &) {});
    {
        RequestClaim claim(
            db(), ClaimVariant::quoteProcessing(), request, nullptr, {}, QStringLiteral("JS"), { data() });
        ASSERT_EQ(claim.claim(true), RequestClaim::Outcome::Claimed);
        const qint32 mine = addRow(QStringLiteral("Quotes"), [](Record &) {});
        const QString copy = file(data(), QStringLiteral("mine.pdf"));
        ASSERT_TRUE(claim.recordNow(RunItem::file(copy)).isOk());
        ASSERT_TRUE(claim.recordNow(RunItem::row(QStringLiteral("Quotes"), mine)).isOk());
        ASSERT_TRUE(claim.release().isOk());
        EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(mine)), 0);
        EXPECT_FALSE(QFile::exists(copy));
    }
    EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(notMine)), 1);
    EXPECT_EQ(status(request), QStringLiteral("Pending"));

    const QString from = file(data(), QStringLiteral("1.pdf"));
    const QString to = QDir(data()).filePath(QStringLiteral("24107A_1.pdf"));
    {
        RequestClaim claim(
            db(), ClaimVariant::quoteProcessing(), request, nullptr, {}, QStringLiteral("JS"), { data() });
        ASSERT_EQ(claim.claim(true), RequestClaim::Outcome::Claimed);
        ASSERT_TRUE(claim.removeRequest({ RunItem::move(from, to) }).isOk());
        claim.settle(); // the process "ends" before its moves: nobody holds the claim any more
    }
    EXPECT_EQ(status(request), QStringLiteral("<gone>"));
    ClaimCleanup::Report report;
    ASSERT_TRUE(ClaimCleanup(db(), { data() }, 10).run(&report).isOk());
    EXPECT_TRUE(QFile::exists(to));
    EXPECT_FALSE(QFile::exists(from));
    EXPECT_EQ(report.moves, 1);
    EXPECT_EQ(count(QStringLiteral("wc_claims")), 0);
}

TEST_P(Cleanup, releasedRun_putsBackTheFieldsItChanged_unlessChangedSinceByOthers)
{
    // The run changed three fields of a row it did not make; another workstation then changed one of them.
    const qint32 contact = addRow(QStringLiteral("Contacts"), [](Record &r) {
        r.setLong("WebEnable", 0);
        r.setText("WebPassword", QStringLiteral("old"));
        r.setLong("Prepay", 0);
    });
    const qint32 request = addRow(QStringLiteral("WebSignup"), [](Record &r) { r.setText("Status", QStringLiteral("Pending")); });
    RequestClaim claim(db(), ClaimVariant::signupProcessing(), request);
    ASSERT_EQ(claim.claim(false), RequestClaim::Outcome::Claimed);
    for (const auto &[field, was, now] : { std::tuple { "WebEnable", "0", "1" }, std::tuple { "WebPassword", "old", "new" },
             std::tuple { "Prepay", "0", "1" } }) {
        ASSERT_TRUE(claim.recordNow(RunItem::set(QStringLiteral("Contacts"), contact, QLatin1String(field),
                                        QLatin1String(was), QLatin1String(now)))
                        .isOk());
        ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"contacts\" SET \"%1\" = ? WHERE \"contactid\" = ?")
                                  .arg(QString::fromLatin1(field).toLower()),
                            { QString::fromLatin1(now), contact })
                        .isOk());
    }
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"contacts\" SET \"prepay\" = 0 WHERE \"contactid\" = ?"), { contact }).isOk());
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"contacts\" SET \"webpassword\" = 'theirs' WHERE \"contactid\" = ?"),
                        { contact })
                    .isOk());
    ASSERT_TRUE(claim.release().isOk());
    QSqlQuery q;
    ASSERT_TRUE(db().exec(QStringLiteral("SELECT \"webenable\", \"webpassword\", \"prepay\" FROM \"contacts\" WHERE "
                                         "\"contactid\" = ?"),
                      { contact }, &q)
                    .isOk());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0) << "put back";
    EXPECT_EQ(q.value(1).toString(), "theirs") << "changed by someone else since: left alone";
    EXPECT_EQ(q.value(2).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("websignup"), QStringLiteral("\"status\" = 'Pending'")), 1);
}

// The holder's last transaction (a row and its item) is still in flight when its claim is cleaned
// up or taken over (Unlock): it commits first, and its row is removed with the rest of the run.
TEST_P(Cleanup, aRowTheHolderIsStillCommittingIsRemovedWithTheRun)
{
    for (const bool unlock : { false, true }) {
        SCOPED_TRACE(unlock ? "unlock" : "cleanup");
        const Run run = addRun(unlock ? 1 : 11);
        std::atomic<qint32> late { 0 };
        std::atomic<bool> ready { false };
        std::thread holder([&] {
            bizlib::Database other(testDb().config());
            if (other.open() && other.begin() && data::ClaimBook(other).confirm(run.owner)) {
                bizlib::Table quotes(other, QStringLiteral("Quotes"));
                Record r;
                if (quotes.prime(r) && quotes.insert(r)
                    && data::ClaimBook(other).record(run.owner, 4, RunItem::row(QStringLiteral("Quotes"), r.toLong("QuoteID"))))
                    late = r.toLong("QuoteID");
            }
            ready = true;
            QThread::msleep(700); // the other side reads meanwhile and then waits for this commit
            other.commit();
            other.close();
        });
        while (!ready)
            QThread::msleep(10);
        if (unlock) {
            testsupport::ScriptedPrompter prompter;
            prompter.answer(2);
            ClaimVariant quotes;
            for (const ClaimVariant &v : ClaimVariant::all())
                if (v.table == QLatin1String("WebQuotes"))
                    quotes = v;
            RequestClaim claim(db(), quotes, run.request, &prompter);
            EXPECT_EQ(claim.claim(false), RequestClaim::Outcome::Unlocked);
            claim.settle();
        } else {
            ClaimCleanup::Report report;
            EXPECT_TRUE(ClaimCleanup(db(), { data() }, 10).run(&report).isOk());
        }
        holder.join();
        ASSERT_NE(late.load(), 0);
        EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(late.load())), 0);
        EXPECT_EQ(count(QStringLiteral("quotes"), QStringLiteral("\"quoteid\" = %1").arg(run.quote)), 0);
    }
}

// A client the run made that a contact of other work refers to (another window picked it and
// added its contact): the cleanup removes the run's own contact and leaves the client with the
// other contact, and says so.
TEST_P(Cleanup, aClientTheRunMadeStaysWhileOtherWorkRefersToIt)
{
    const Run run = addRun(11);
    const qint32 client = addRow(QStringLiteral("Clients"), [](Record &r) { r.setText("Code", QStringLiteral("ACME")); });
    const qint32 own = addRow(QStringLiteral("Contacts"), [&](Record &r) { r.setLong("ClientID", client); });
    const qint32 theirs = addRow(QStringLiteral("Contacts"), [&](Record &r) { r.setLong("ClientID", client); });
    data::ClaimBook book(db());
    ASSERT_TRUE(book.record(run.owner, 4, RunItem::row(QStringLiteral("Clients"), client)).isOk());
    ASSERT_TRUE(book.record(run.owner, 5, RunItem::row(QStringLiteral("Contacts"), own)).isOk());
    ClaimCleanup::Report report;
    ASSERT_TRUE(ClaimCleanup(db(), { data() }, 10).run(&report).isOk());
    EXPECT_EQ(count(QStringLiteral("clients"), QStringLiteral("\"clientid\" = %1").arg(client)), 1);
    EXPECT_EQ(count(QStringLiteral("contacts"), QStringLiteral("\"contactid\" = %1").arg(theirs)), 1);
    EXPECT_EQ(count(QStringLiteral("contacts"), QStringLiteral("\"contactid\" = %1").arg(own)), 0);
    EXPECT_TRUE(report.summary().contains(QStringLiteral("1 client kept"))) << report.summary().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, Cleanup, testsupport::allEngines(), testsupport::engineName);

} // namespace
