#include "bizlib/Table.h"
#include "bizlib/quote/QuoteLibrary.h"
#include "support/TestDatabase.h"

#include <QThread>
#include <set>

using namespace bizlib;
using testsupport::DataTest;

namespace {

class QuoteNumber : public DataTest
{
protected:
    void setLastQuoteNo(qint32 last)
    {
        Table sys(db(), QStringLiteral("SYCONF"));
        Record r;
        ASSERT_TRUE(sys.prime(r).isOk());
        r.setLong("LastQuoteNo", last);
        ASSERT_TRUE(sys.insert(r).isOk());
    }

    qint32 lastQuoteNo()
    {
        QSqlQuery q;
        EXPECT_TRUE(db().exec(QStringLiteral("SELECT \"lastquoteno\" FROM \"syconf\""), {}, &q).isOk());
        return q.next() ? q.value(0).toInt() : -1;
    }

    Record newQuote()
    {
        Table quotes(db(), QStringLiteral("Quotes"));
        return quotes.newRecord();
    }

    Session m_session;
};

TEST_P(QuoteNumber, twoWorkstationsAtOnce_neverGetTheSameNumber)
{
    setLastQuoteNo(500);
    constexpr int kEach = 40;
    // Each thread is a workstation: its own Database object (so its own connection) on the same data.
    QList<qint32> numbers[2];
    QString failures[2];
    const auto work = [&](int slot) {
        Database station(testDb().config());
        if (const Status st = station.open(); !st) {
            failures[slot] = st.message();
            return;
        }
        Session session;
        QuoteLibrary lib(station, session);
        Table quotes(station, QStringLiteral("Quotes"));
        for (int i = 0; i < kEach; ++i) {
            Record quote = quotes.newRecord();
            const Status st = lib.assignQuoteNumber(quote);
            if (!st) {
                failures[slot] = st.message();
                break;
            }
            numbers[slot].append(quote.toLong("Number"));
        }
    };
    QThread *a = QThread::create(work, 0);
    QThread *b = QThread::create(work, 1);
    a->start();
    b->start();
    ASSERT_TRUE(a->wait(60000));
    ASSERT_TRUE(b->wait(60000));
    delete a;
    delete b;

    EXPECT_TRUE(failures[0].isEmpty()) << failures[0].toStdString();
    EXPECT_TRUE(failures[1].isEmpty()) << failures[1].toStdString();
    std::set<qint32> all;
    for (const QList<qint32> &list : numbers) {
        ASSERT_EQ(list.size(), kEach);
        for (int i = 1; i < list.size(); ++i)
            EXPECT_LT(list[i - 1], list[i]); // each workstation's numbers rise
        all.insert(list.cbegin(), list.cend());
    }
    EXPECT_EQ(all.size(), size_t(2 * kEach)); // no number twice
    EXPECT_EQ(*all.begin(), 501);
    EXPECT_EQ(*all.rbegin(), 500 + 2 * kEach); // and none skipped
    EXPECT_EQ(lastQuoteNo(), 500 + 2 * kEach);
}

TEST_P(QuoteNumber, numbering_keepsANumberAndNeverFallsBehindTheQuotes)
{
    setLastQuoteNo(100);
    QuoteLibrary lib(db(), m_session);
    Record numbered = newQuote();
    numbered.setLong("Number", 42);
    ASSERT_TRUE(lib.assignQuoteNumber(numbered).isOk());
    EXPECT_EQ(numbered.toLong("Number"), 42);
    EXPECT_EQ(lastQuoteNo(), 100);

    // A quote numbered past the counter by someone else: the counter jumps over it.
    Table quotes(db(), QStringLiteral("Quotes"));
    Record other;
    ASSERT_TRUE(quotes.prime(other).isOk());
    other.setLong("Number", 5000);
    ASSERT_TRUE(quotes.insert(other).isOk());
    Record quote = newQuote();
    ASSERT_TRUE(lib.assignQuoteNumber(quote).isOk());
    EXPECT_EQ(quote.toLong("Number"), 5001);

    // Removed again: the counter steps back only for the last number issued.
    ASSERT_TRUE(lib.releaseQuoteNumber(4999).isOk());
    EXPECT_EQ(lastQuoteNo(), 5001);
    ASSERT_TRUE(lib.releaseQuoteNumber(5001).isOk());
    EXPECT_EQ(lastQuoteNo(), 5000);
}

TEST_P(QuoteNumber, withoutSystemConfiguration_failsClearly)
{
    QuoteLibrary lib(db(), m_session);
    Record quote = newQuote();
    const Status st = lib.assignQuoteNumber(quote);
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("SYCONF"))) << st.message().toStdString();
    EXPECT_EQ(quote.toLong("Number"), 0);
}

TEST_P(QuoteNumber, assignSignatory_picksTheUserAndLeavesRfqsAlone)
{
    Table users(db(), QStringLiteral("Users"));
    Record rep;
    ASSERT_TRUE(users.prime(rep).isOk());
    rep.setText("Initials", QStringLiteral("MK"));
    rep.setText("FullName", QStringLiteral("Maria Kent"));
    ASSERT_TRUE(users.insert(rep).isOk());
    Record me;
    ASSERT_TRUE(users.prime(me).isOk());
    me.setText("Initials", QStringLiteral("AB"));
    me.setText("FullName", QStringLiteral("Alan Bright"));
    ASSERT_TRUE(users.insert(me).isOk());
    m_session.userCode = QStringLiteral("AB");

    QuoteLibrary lib(db(), m_session);
    Record quote = newQuote();
    ASSERT_TRUE(lib.assignSignatory(quote, QuoteLibrary::SignLoggedOnUser).isOk());
    EXPECT_EQ(quote.toLong("SignatoryID"), me.toLong("UserID"));
    EXPECT_EQ(quote.text("Signatory"), QStringLiteral("Alan Bright"));

    quote.setText("Rep", QStringLiteral("MK"));
    ASSERT_TRUE(lib.assignSignatory(quote, QuoteLibrary::SignRep).isOk());
    EXPECT_EQ(quote.text("Signatory"), QStringLiteral("Maria Kent"));

    quote.setText("Estimator", QStringLiteral("ZZ")); // unknown: the logged-on user signs
    ASSERT_TRUE(lib.assignSignatory(quote, QuoteLibrary::SignEstimator).isOk());
    EXPECT_EQ(quote.text("Signatory"), QStringLiteral("Alan Bright"));

    Record rfq = newQuote();
    rfq.setLong("SignatoryID", 99999999);
    ASSERT_TRUE(lib.assignSignatory(rfq).isOk());
    EXPECT_EQ(rfq.toLong("SignatoryID"), 99999999);
    EXPECT_TRUE(rfq.text("Signatory").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, QuoteNumber, testsupport::allEngines(), testsupport::engineName);

} // namespace
