#include "QuoteFixture.h"
#include "demo/DemoData.h"

#include <QSqlQuery>

// The demo's template requests, processed the way a user or the console does: the quantity the
// website priced leads the template's list, and the website's price is the target price.

using bizlib::Record;
using bizlib::forms::Response;

namespace {

class PricedRequest : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        demo::DemoData demo(db());
        const bizlib::Status st = demo.fillAll();
        ASSERT_TRUE(st.isOk()) << st.message().toStdString();
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.frame = &frame;
        ctx.glo.user.userCode = QStringLiteral("JS");
        ctx.glo.user.userName = QStringLiteral("Jane Sutton");
        ctx.brevix.globalData = files.path();
        ctx.settings.quotePhrases = false;
    }

    Record requestTitled(const QString &title)
    {
        QSqlQuery q;
        EXPECT_TRUE(
            db().exec(QStringLiteral("SELECT \"quoteid\" FROM \"webquotes\" WHERE \"title\" = ?"), { title }, &q)
                .isOk());
        bizlib::Table requests(db(), QStringLiteral("WebQuotes"));
        Record r = requests.newRecord();
        EXPECT_TRUE(q.next()) << title.toStdString();
        EXPECT_TRUE(requests.fetch(QStringLiteral("QUOTEIDKEY"), { q.value(0).toInt() }, r).isOk());
        return r;
    }

    // Sets the markup method of the template the request was priced from.
    void setTemplateMethod(const Record &request, const QString &method)
    {
        bizlib::Table quotes(db(), QStringLiteral("Quotes"));
        Record t = quotes.newRecord();
        ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { request.toLong("TemplateID") }, t).isOk());
        t.setText("MarkupMethod", method);
        ASSERT_TRUE(quotes.update(t).isOk());
    }

    QTemporaryDir files;
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedForms forms;
    quotetest::RecordingDownloader downloader;
    config::AppContext ctx;
    quotetest::FakeFrame frame { ctx };
};

// The business-card template describes 250 cards (prepress 0.25 h at 28.00 +40%, 20 sheets of
// board at 0.145 +35%, press 0.5 h at 45.00 +40%, 20 sheets of film at 0.02 +35%, trimming
// 0.25 h at 22.00 +40%): 53.46 for 250, and in proportion 106.91 for 500, 213.82 for 1,000 and
// 320.73 for 1,500. Its list is 250, 500, 1000 ("250 off" ...).
TEST_P(PricedRequest, theRequestedQuantityLeadsTheTemplatesOthersOnceEachAndItsWebPriceIsTheTarget)
{
    struct Case
    {
        const char *title;
        bool automatic;
        const char *method; // the template's markup method
        QList<qint32> quantities;
        QStringList texts, targets, prices;
    };
    const QList<Case> cases {
        { "Business cards - Sarah Whitfield", false, "Percent", { 500, 250, 1000 },
            { "500 off", "250 off", "1000 off" }, { "48.00", "0.00", "0.00" }, { "106.91", "53.46", "213.82" } },
        { "Business cards - new negotiator", true, "Percent", { 250, 500, 1000 }, { "250 off", "500 off", "1000 off" },
            { "36.00", "0.00", "0.00" }, { "53.46", "106.91", "213.82" } },
        { "Business cards - engineering team (6 names)", true, "Percent", { 1500, 250, 500, 1000 },
            { "1500", "250 off", "500 off", "1000 off" }, { "144.00", "0.00", "0.00", "0.00" },
            { "320.73", "53.46", "106.91", "213.82" } },
        // A target price method prices the requested quantity at the website's price.
        { "Business cards - Liffey studio (4 designers)", false, "TP", { 1000, 250, 500 },
            { "1000 off", "250 off", "500 off" }, { "96.00", "0.00", "0.00" }, { "96.00", "53.46", "106.91" } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        const Record request = requestTitled(QLatin1String(c.title));
        setTemplateMethod(request, QLatin1String(c.method));
        quotes::QuoteProcessing::Services services;
        services.ctx = &ctx;
        services.forms = &forms;
        services.downloader = &downloader;
        if (!c.automatic)
            forms.answerForm({});
        const qsizetype formsBefore = forms.formsShown().size();
        quotes::QuoteProcessing p(services, request, c.automatic, false);
        ASSERT_TRUE(p.open());
        ASSERT_EQ(p.run(), Response::Completed) << p.lastStatus().message().toStdString();

        bizlib::Table quotes(db(), QStringLiteral("Quotes"));
        Record quote = quotes.newRecord();
        ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { p.quote().toLong("QuoteID") }, quote).isOk());
        const int n = int(c.quantities.size());
        for (int i = 1; i <= 5; ++i) {
            SCOPED_TRACE(i);
            const QString k = QString::number(i);
            EXPECT_EQ(quote.toLong(QStringLiteral("Quantity") + k), i <= n ? c.quantities[i - 1] : 0);
            EXPECT_EQ(quote.text(QStringLiteral("QuantityText") + k), i <= n ? c.texts[i - 1] : QString());
            EXPECT_EQ(
                quote.text(QStringLiteral("TargetPrice") + k), i <= n ? c.targets[i - 1] : QStringLiteral("0.00"));
            EXPECT_EQ(
                quote.text(QStringLiteral("SellingPrice") + k), i <= n ? c.prices[i - 1] : QStringLiteral("0.00"));
        }
        // The quantity rows follow the list, and the workings now describe the first quantity.
        bizlib::Table rows(db(), QStringLiteral("QuoteQuantities"));
        bizlib::TableCursor cursor(rows, QStringLiteral("QUOTEIDKEY"));
        cursor.setRange({ quote.toLong("QuoteID") });
        QList<qint32> listed;
        Record row;
        while (cursor.next(row))
            listed << row.toLong("Quantity");
        EXPECT_EQ(listed, c.quantities);
        if (!c.automatic) {
            // The form showed the priced quote, the target beside the price.
            ASSERT_EQ(forms.formsShown().size(), formsBefore + 1);
            const auto &shown = forms.formsShown().last().values;
            EXPECT_EQ(shown.value(QStringLiteral("QTE:Quantity1")), QString::number(c.quantities[0]));
            EXPECT_EQ(shown.value(QStringLiteral("QTE:SellingPrice1")), c.prices[0]);
            EXPECT_EQ(shown.value(QStringLiteral("QTE:TargetPrice1")), c.targets[0]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, PricedRequest, testsupport::allEngines(), testsupport::engineName);

} // namespace
