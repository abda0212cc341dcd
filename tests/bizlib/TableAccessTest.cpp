#include "bizlib/Dictionary.h"
#include "bizlib/NetRefresh.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "support/TestDatabase.h"

#include <QThread>
#include <set>

using namespace bizlib;
using testsupport::DataTest;

namespace {

class TableAccess : public DataTest
{
protected:
    Record webQuote(Table &t, int number, const QString &status = QStringLiteral("Pending"))
    {
        Record r;
        EXPECT_TRUE(t.prime(r).isOk());
        r.setLong("WQTE:Number", number);
        r.setText("WQTE:Status", status);
        r.setText("WQTE:Title", QStringLiteral("Job %1").arg(number));
        EXPECT_TRUE(t.insert(r).isOk());
        return r;
    }

    QList<int> numbers(TableCursor &c)
    {
        QList<int> out;
        Record r;
        Status st;
        while ((st = c.next(r)))
            out << r.toLong("WQTE:Number");
        EXPECT_TRUE(st.isNotFound()) << st.message().toStdString();
        return out;
    }
};

TEST_P(TableAccess, fetchByKey_tellsNotFoundApartAndLeavesRecord)
{
    Table t(db(), QStringLiteral("WebQuotes"));
    const Record saved = webQuote(t, 17);

    Record r = t.newRecord();
    r.setLong("WQTE:QuoteID", saved.toLong("WQTE:QuoteID"));
    ASSERT_TRUE(t.fetch(QStringLiteral("WQTE:QUOTEIDKEY"), r).isOk());
    EXPECT_EQ(r.text("Title"), QStringLiteral("Job 17"));

    Record missing = t.newRecord();
    missing.setLong("QuoteID", 999999);
    missing.setText("Title", QStringLiteral("kept"));
    const Status st = t.fetch(QStringLiteral("QUOTEIDKEY"), missing);
    EXPECT_TRUE(st.isNotFound());
    EXPECT_FALSE(st.isError());
    EXPECT_EQ(missing.text("Title"), QStringLiteral("kept"));

    // A text longer than its key field is nobody's key, not the key of its first characters.
    Table signups(db(), QStringLiteral("WebSignup"));
    Record s;
    ASSERT_TRUE(signups.prime(s).isOk());
    s.setText("Status", QString(20, u'P'));
    ASSERT_TRUE(signups.insert(s).isOk());
    Record found = signups.newRecord();
    EXPECT_TRUE(signups.fetch(QStringLiteral("STATUSDATEKEY"), {QString(20, u'P')}, found).isOk());
    EXPECT_TRUE(signups.fetch(QStringLiteral("STATUSDATEKEY"), {QString(25, u'P')}, found).isNotFound());
}

TEST_P(TableAccess, cursor_readsInKeyOrderWithRangeStartAndFilter)
{
    Table t(db(), QStringLiteral("WebQuotes"));
    for (int n : {30, 10, 50, 20, 40})
        webQuote(t, n, n == 20 ? QStringLiteral("Processing") : QStringLiteral("Pending"));

    TableCursor all(t, QStringLiteral("NUMBERKEY"));
    EXPECT_EQ(numbers(all), (QList<int>{10, 20, 30, 40, 50}));

    TableCursor filtered(t, QStringLiteral("NUMBERKEY"));
    ASSERT_TRUE(filtered.setFilter(QStringLiteral("(WQTE:Status <> 'Processing')")).isOk());
    EXPECT_EQ(numbers(filtered), (QList<int>{10, 30, 40, 50}));

    TableCursor ranged(t, QStringLiteral("NUMBERKEY"));
    ranged.setRange({30});
    EXPECT_EQ(numbers(ranged), (QList<int>{30}));

    for (const auto &[first, expected] :
        { std::pair { 25, QList<int> { 30, 40, 50 } }, std::pair { 30, QList<int> { 30, 40, 50 } } }) {
        TableCursor from(t, QStringLiteral("NUMBERKEY"));
        Record start = t.newRecord();
        start.setLong("Number", first); // a stored key is where the read begins
        from.setStart(start);
        EXPECT_EQ(numbers(from), expected) << first;
    }

    TableCursor backwards(t, QStringLiteral("NUMBERKEY"));
    backwards.setReverse(true);
    EXPECT_EQ(numbers(backwards), (QList<int>{50, 40, 30, 20, 10}));

    TableCursor bad(t, QStringLiteral("NUMBERKEY"));
    const Status st = bad.setFilter(QStringLiteral("(WQTE:Status <> 'Processing'"));
    EXPECT_TRUE(st.isError());
    EXPECT_FALSE(st.message().isEmpty());
}

// Readers of the same statement share prepared statements only one after the other: a reader
// inside another reads its own rows, and a statement of a closed connection is never used again.
// (The PostgreSQL driver streams a forward-only result, so readers there never nest.)
TEST_P(TableAccess, cursorsOfOneStatement_readTheirOwnRows_alsoAfterTheConnectionIsOpenedAgain)
{
    Table t(db(), QStringLiteral("WebQuotes"));
    qint32 highest = 0;
    for (int n : {1, 2, 3})
        highest = std::max(highest, webQuote(t, n).toLong("QuoteID"));
    const bool nest = !db().isPostgres();
    for (int round = 0; round < 2; ++round) {
        TableCursor outer(t, QStringLiteral("NUMBERKEY"));
        outer.setRange({2});
        Record r;
        if (nest)
            ASSERT_TRUE(outer.next(r).isOk());
        QList<int> inner;
        for (int i = 0; i < 2; ++i) { // the second reader takes the first one's statement
            TableCursor same(t, QStringLiteral("NUMBERKEY"));
            same.setRange({2});
            inner += numbers(same);
        }
        EXPECT_EQ(inner, (QList<int>{2, 2})) << round;
        EXPECT_EQ(numbers(outer), nest ? QList<int>{} : QList<int>{2}) << round;
        db().close(); // the kept statements go with the connection
        ASSERT_TRUE(db().open().isOk());
    }
    // Another program emptied the counters: the next number still follows the table.
    ASSERT_TRUE(db().exec(QStringLiteral("DELETE FROM \"wc_counters\"")).isOk());
    Record next;
    ASSERT_TRUE(t.prime(next).isOk());
    EXPECT_EQ(next.toLong("QuoteID"), highest + 1);
}

TEST_P(TableAccess, descendingKey_ordersNewestFirstAndRangesOnLeadingFields)
{
    Table t(db(), QStringLiteral("WebTask"));
    const QList<QPair<int, QString>> rows{{100, "Completed"}, {300, "Pending"}, {200, "Completed"}};
    for (const auto &[date, status] : rows) {
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setLong("TaskDate", date);
        r.setText("Status", status);
        ASSERT_TRUE(t.insert(r).isOk());
    }
    TableCursor history(t, QStringLiteral("WTSK:REVDATEKEY"));
    QList<int> dates;
    Record r;
    while (history.next(r))
        dates << r.toLong("TaskDate");
    EXPECT_EQ(dates, (QList<int>{300, 200, 100}));

    TableCursor completed(t, QStringLiteral("STATUSPRIORITYDATEKEY"));
    completed.setRange({QStringLiteral("Completed")});
    int n = 0;
    while (completed.next(r)) {
        EXPECT_EQ(r.text("Status"), QStringLiteral("Completed"));
        ++n;
    }
    EXPECT_EQ(n, 2);
}

TEST_P(TableAccess, prime_numbersPastRowsOthersWroteAndReleaseGivesBackOnlyTheLast)
{
    Table t(db(), QStringLiteral("WebNotes"));
    // A row written by another program with its own number.
    Record foreign = t.newRecord();
    foreign.setLong("NoteID", 41);
    ASSERT_TRUE(t.insert(foreign).isOk());

    Record a;
    ASSERT_TRUE(t.prime(a).isOk());
    EXPECT_EQ(a.toLong("NoteID"), 42);
    t.release(a); // insert failed: the number goes back
    Record b;
    ASSERT_TRUE(t.prime(b).isOk());
    EXPECT_EQ(b.toLong("NoteID"), 42);
    Record c;
    ASSERT_TRUE(t.prime(c).isOk());
    EXPECT_EQ(c.toLong("NoteID"), 43);
    t.release(b); // a later number is out: 42 stays a gap rather than being handed out twice
    Record d;
    ASSERT_TRUE(t.prime(d).isOk());
    EXPECT_EQ(d.toLong("NoteID"), 44);

    // A duplicate insert is told apart from other failures.
    ASSERT_TRUE(t.insert(d).isOk());
    EXPECT_TRUE(t.insert(d).isDuplicate());
}

TEST_P(TableAccess, prime_fromTwoConnectionsAtOnceNeverRepeatsANumber)
{
    auto second = testDb().openSecond();
    std::set<int> seen;
    QList<int> fromOther;
    QThread *worker = QThread::create([&] {
        Database other(testDb().config());
        ASSERT_TRUE(other.open().isOk());
        Table t(other, QStringLiteral("WebAttachments"));
        for (int i = 0; i < 40; ++i) {
            Record r;
            ASSERT_TRUE(t.prime(r).isOk());
            fromOther << r.toLong("AttachmentID");
        }
    });
    worker->start();
    Table t(db(), QStringLiteral("WebAttachments"));
    QList<int> mine;
    for (int i = 0; i < 40; ++i) {
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        mine << r.toLong("AttachmentID");
    }
    worker->wait();
    delete worker;
    for (int n : mine + fromOther)
        EXPECT_TRUE(seen.insert(n).second) << "number handed out twice: " << n;
    EXPECT_EQ(seen.size(), 80u);
}

TEST_P(TableAccess, storedValues_areCutToWidthAndDecimalsStayExact)
{
    Table orders(db(), QStringLiteral("WebOrders"));
    Record o;
    ASSERT_TRUE(orders.prime(o).isOk());
    o.setText("WORD:OrderType", QString(40, u'x'));           // CSTRING(16): 15 characters
    o.setText("WORD:Notes", QStringLiteral("O'Neill; DROP TABLE x; --"));
    o.setDecimal("WORD:Total", *Decimal::parse(QStringLiteral("9999999999999.99"))); // DECIMAL(15,2) at its limit
    o.setText("WORD:Tax", QStringLiteral("0.10"));
    o.setText("WORD:TaxRate", QStringLiteral("17.5"));         // DECIMAL(9,4)
    o.setDecimal("WORD:QuotePrice", Decimal::fromString(QStringLiteral("0.105"))); // rounds half away to 0.11
    ASSERT_TRUE(orders.insert(o).isOk());

    Record back = orders.newRecord();
    ASSERT_TRUE(orders.fetch(QStringLiteral("ORDERIDKEY"), {o.toLong("OrderID")}, back).isOk());
    EXPECT_EQ(back.text("OrderType").size(), 15);
    EXPECT_EQ(back.text("Notes"), QStringLiteral("O'Neill; DROP TABLE x; --"));
    EXPECT_EQ(back.decimal("Total").toString(), QStringLiteral("9999999999999.99"));
    EXPECT_EQ(back.decimal("Tax").toString(), QStringLiteral("0.10"));
    EXPECT_EQ(back.decimal("TaxRate").toString(), QStringLiteral("17.5000"));
    EXPECT_EQ(back.decimal("QuotePrice").toString(), QStringLiteral("0.11"));
    // 0.1 + 0.2 sums exactly (no binary floating point on the way).
    EXPECT_EQ((back.decimal("Tax") + Decimal::fromString(QStringLiteral("0.2"))).toString(), QStringLiteral("0.30"));
}

// What another program writes the ordinary way reads as written, and compares as a number; a
// value beyond its field is refused, never wrapped.
TEST_P(TableAccess, valuesWrittenByAnotherProgram_readAsWrittenAndOutOfRangeIsRefused)
{
    ASSERT_TRUE(
        db().exec(QStringLiteral("INSERT INTO \"webquotes\" (\"quoteid\", \"number\", \"sellingprice1\", \"depth\") "
                                 "VALUES (1, 1, 12.5, '2.1'), (2, 2, '100', 0), (3, 3, 9.75, 0)"))
            .isOk());
    Table t(db(), QStringLiteral("WebQuotes"));
    Record r;
    ASSERT_TRUE(t.fetch(QStringLiteral("QUOTEIDKEY"), { 1 }, r).isOk());
    EXPECT_EQ(r.decimal("SellingPrice1").toString(), QStringLiteral("12.50"));
    EXPECT_EQ(r.decimal("Depth").toString(), QStringLiteral("2.1000"));
    TableCursor dearer(t, QStringLiteral("NUMBERKEY"));
    ASSERT_TRUE(dearer.setFilter(QStringLiteral("WQTE:SellingPrice1 > 10")).isOk());
    EXPECT_EQ(numbers(dearer), (QList<int> { 1, 2 }));

    Record big = t.newRecord();
    big.setLong("QuoteID", 4);
    big.setLong("Number", 99999999999LL);
    Status st = t.insert(big);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("99999999999"))) << st.message().toStdString();
    big.setLong("Number", 4);
    big.setDecimal("SellingPrice1", *Decimal::parse(QStringLiteral("10000000000000"))); // DECIMAL(15,2)
    EXPECT_TRUE(t.insert(big).isError());

    // PostgreSQL's column refuses the value itself; a SQLite file takes it, and reading refuses it.
    st = db().exec(QStringLiteral("INSERT INTO \"webquotes\" (\"quoteid\", \"number\") VALUES (5, 99999999999)"));
    if (st) {
        st = t.fetch(QStringLiteral("QUOTEIDKEY"), { 5 }, r);
        EXPECT_TRUE(st.message().contains(QStringLiteral("99999999999"))) << st.message().toStdString();
    }
    EXPECT_TRUE(st.isError());
}

// Two workstations change different fields of one row: both changes stay. A single-field stamp
// gives way when someone else changed that field first.
TEST_P(TableAccess, update_writesOnlyWhatChangedAndStampsGiveWay)
{
    Table mine(db(), QStringLiteral("WebQuotes"));
    const int id = webQuote(mine, 7).toLong("QuoteID");
    auto other = testDb().openSecond();
    Table theirs(*other, QStringLiteral("WebQuotes"));
    Record a;
    Record b;
    ASSERT_TRUE(mine.fetch(QStringLiteral("QUOTEIDKEY"), { id }, a).isOk());
    ASSERT_TRUE(theirs.fetch(QStringLiteral("QUOTEIDKEY"), { id }, b).isOk());
    b.setText("Status", QStringLiteral("Processing"));
    b.setLong("NoteID", 9);
    ASSERT_TRUE(theirs.update(b).isOk());
    a.setText("Title", QStringLiteral("Renamed"));
    ASSERT_TRUE(mine.update(a).isOk());
    a.setLong("NoteID", 5);
    EXPECT_TRUE(mine.updateIfUnchanged(a, { QStringLiteral("NoteID") }).isNotFound());

    Record back;
    ASSERT_TRUE(mine.fetch(QStringLiteral("QUOTEIDKEY"), { id }, back).isOk());
    EXPECT_EQ(back.text("Status"), QStringLiteral("Processing"));
    EXPECT_EQ(back.text("Title"), QStringLiteral("Renamed"));
    EXPECT_EQ(back.toLong("NoteID"), 9);
    back.setLong("NoteID", 0);
    EXPECT_TRUE(mine.updateIfUnchanged(back, { QStringLiteral("NoteID") }).isOk());
}

TEST_P(TableAccess, removeWithRelated_deletesTheOwnedRowsOnlyAndUpdateSeesDeletion)
{
    Table quotes(db(), QStringLiteral("WebQuotes"));
    Table notes(db(), QStringLiteral("WebNotes"));
    Table atts(db(), QStringLiteral("WebAttachments"));
    const Record q1 = webQuote(quotes, 1);
    const Record q2 = webQuote(quotes, 2);
    for (const Record &q : {q1, q2}) {
        Record n;
        ASSERT_TRUE(notes.prime(n).isOk());
        n.setLong("QuoteID", q.toLong("QuoteID"));
        ASSERT_TRUE(notes.insert(n).isOk());
        Record a;
        ASSERT_TRUE(atts.prime(a).isOk());
        a.setLong("QuoteID", q.toLong("QuoteID"));
        ASSERT_TRUE(atts.insert(a).isOk());
    }
    // An order's attachment has QuoteID 0 and must survive.
    Record orderAtt;
    ASSERT_TRUE(atts.prime(orderAtt).isOk());
    orderAtt.setLong("OrderID", 77);
    ASSERT_TRUE(atts.insert(orderAtt).isOk());

    ASSERT_TRUE(quotes.removeWithRelated(q1).isOk());
    qint64 n = -1;
    ASSERT_TRUE(notes.count(&n).isOk());
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(atts.count(&n).isOk());
    EXPECT_EQ(n, 2);
    ASSERT_TRUE(quotes.count(&n).isOk());
    EXPECT_EQ(n, 1);

    Record gone = q1;
    gone.setText("Status", QStringLiteral("Processing"));
    EXPECT_TRUE(quotes.update(gone).isNotFound());
    EXPECT_TRUE(quotes.remove(q1).isNotFound());
}

TEST_P(TableAccess, changeStamp_isSeenByAnotherConnection)
{
    auto other = testDb().openSecond();
    NetRefresh mine(db(), QStringLiteral("NetRefreshwebconsole00"));
    NetRefresh theirs(*other, QStringLiteral("NetRefreshwebconsole00"));
    NetRefresh otherCompany(*other, QStringLiteral("NetRefreshwebconsole07"));
    theirs.reset();
    otherCompany.reset();
    EXPECT_FALSE(theirs.changed());

    ASSERT_TRUE(mine.notify().isOk());
    EXPECT_TRUE(theirs.changed());
    EXPECT_FALSE(otherCompany.changed());
    theirs.reset();
    EXPECT_FALSE(theirs.changed());
    ASSERT_TRUE(mine.notify().isOk());
    EXPECT_TRUE(theirs.changed());
}

INSTANTIATE_TEST_SUITE_P(Engines, TableAccess, testsupport::allEngines(), testsupport::engineName);

} // namespace

#include "bizlib/TableListModel.h"

#include <QAbstractItemModelTester>

namespace {

class ListModel : public testsupport::DataTest
{};

// Pages arrive in key order without a row twice, also when the model is asked for more rows
// from inside its own signals (as views and the model tester do).
TEST_P(ListModel, pagesLazilyWithoutRepeatingRowsAndCountsInTheDatabase)
{
    Table t(db(), QStringLiteral("WebQuotes"));
    Transaction tx(db());
    for (int n = 1; n <= 25; ++n) {
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setLong("Number", n);
        r.setText("Status", n % 5 == 0 ? QStringLiteral("Processing") : QStringLiteral("Pending"));
        ASSERT_TRUE(t.insert(r).isOk());
    }
    ASSERT_TRUE(tx.commit().isOk());
    TableListModel model(t, QStringLiteral("NUMBERKEY"), {{QStringLiteral("Number"), QStringLiteral("WQTE:Number")}});
    model.setPageSize(7);
    ASSERT_TRUE(model.setFilter(QStringLiteral("(WQTE:Status <> 'Processing')")).isOk());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] {
        if (model.canFetchMore({}))
            model.fetchMore({});
    });
    ASSERT_TRUE(model.reset().isOk());
    EXPECT_EQ(model.rowCount(), 7);
    while (model.canFetchMore({}))
        model.fetchMore({});
    ASSERT_EQ(model.rowCount(), 20);
    for (int row = 1; row < model.rowCount(); ++row)
        EXPECT_LT(model.record(row - 1).toLong("Number"), model.record(row).toLong("Number"));
    qint64 total = 0;
    ASSERT_TRUE(model.totalCount(&total).isOk());
    EXPECT_EQ(total, 20);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(Engines, ListModel, testsupport::allEngines(), testsupport::engineName);

} // namespace
