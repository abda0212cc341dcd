#include "quotes/QuoteCompletion.h"

#include "QuoteFixture.h"
#include "bizlib/Clock.h"

using bizlib::Record;
using quotetest::QuoteTest;

namespace {

class Completion : public QuoteTest
{
};

TEST_P(Completion, theClientsActivityBecomesTodayUnlessItsDateIsLater)
{
    const qint32 today = bizlib::DateTime::today();
    const qint32 earlyMorning = 4200; // the stored time: 00:00:42
    struct Case
    {
        const char *name;
        qint32 stored;
        bool touched;
    };
    const Case cases[] = {
        { "none yet", 0, true },
        { "last week", today - 7, true },
        { "earlier today", today, true },
        { "later: written by another workstation meanwhile", today + 3, false },
    };
    quotes::QuoteCompletion completion(db(), ctx.glo.user, files.path());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const qint32 id = add("Clients",
            { { "Code", QString::fromLatin1(c.name).left(10) }, { "ActivityDate", c.stored },
                { "ActivityTime", earlyMorning } })
                              .toLong("ClientID");
        ASSERT_TRUE(completion.touchClientActivity(id).isOk());
        const Record now = fetch("Clients", "CLIENTIDKEY", id);
        EXPECT_EQ(now.toLong("ActivityDate"), c.touched ? today : c.stored);
        EXPECT_EQ(now.toLong("ActivityTime") != earlyMorning, c.touched);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, Completion, testsupport::allEngines(), testsupport::engineName);

} // namespace
