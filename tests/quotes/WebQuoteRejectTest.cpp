#include "quotes/ui/WebQuoteReject.h"

#include "bizlib/Table.h"
#include "bizlib/spell/SpellPrompter.h"
#include "config/AppContext.h"
#include "notes/ui/PhraseTextEdit.h"
#include "quotes/RequestRejection.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QPushButton>
#include <QTest>

using bizlib::Record;
using quotes::RejectionVariant;
using quotes::RequestRejection;
using quotes::ui::WebQuoteReject;

namespace {

class RejectWindow : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.glo.user.userCode = QStringLiteral("JS");
        bizlib::Table t(db(), QStringLiteral("WebQuotes"));
        ASSERT_TRUE(t.prime(request).isOk());
        request.setText("Status", QStringLiteral("Pending"));
        ASSERT_TRUE(t.insert(request).isOk());
    }
    QString status()
    {
        bizlib::Table t(db(), QStringLiteral("WebQuotes"));
        Record r = t.newRecord();
        EXPECT_TRUE(t.fetch(QStringLiteral("QUOTEIDKEY"), { request.toLong("QuoteID") }, r).isOk());
        return r.text("Status");
    }
    // Shows the window and waits for its claim.
    void openWindow(WebQuoteReject &window, RequestRejection &rejection)
    {
        window.show();
        QTRY_VERIFY(rejection.claim() && rejection.claim()->isHeld());
    }

    config::AppContext ctx;
    testsupport::ScriptedPrompter prompter;
    Record request;
};

TEST_P(RejectWindow, theCloseBoxGivesTheRequestBackAndOkSendsTheReasonAsShown)
{
    RequestRejection::Services services;
    services.ctx = &ctx;
    {
        RequestRejection rejection(services, RejectionVariant::quote(), request);
        WebQuoteReject window(rejection, &prompter, {});
        openWindow(window, rejection);
        EXPECT_EQ(status(), QStringLiteral("Processing"));
        ASSERT_TRUE(window.commentsEdit()->dropPhrase(QStringLiteral("Out of stock")));
        EXPECT_EQ(rejection.comments(), QStringLiteral("Out of stock"));
        window.close();
        EXPECT_EQ(status(), QStringLiteral("Pending"));
    }
    RequestRejection rejection(services, RejectionVariant::quote(), request);
    WebQuoteReject window(rejection, &prompter, {});
    openWindow(window, rejection);
    window.commentsEdit()->setPlainText(QString(600, u'x'));
    EXPECT_EQ(window.commentsEdit()->toPlainText().size(), RequestRejection::kMaxComments);
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(rejection.response(), bizlib::forms::Response::Completed);
    EXPECT_EQ(rejection.task().text("Description").size(), RequestRejection::kMaxComments);
    EXPECT_EQ(status(), QStringLiteral("Processing"));
}

// Answers every misspelt word with Ignore.
class IgnoringSpeller : public bizlib::spell::SpellPrompter
{
public:
    QStringList asked;
    Answer ask(const Query &query) override
    {
        asked << query.word;
        return {};
    }
};

TEST_P(RejectWindow, theSpellingButton_checksTheReason_andSaysTheCheckIsComplete_asF7Does)
{
    IgnoringSpeller speller;
    RequestRejection::Services services;
    services.ctx = &ctx;
    services.speller = &speller;
    RequestRejection rejection(services, RejectionVariant::quote(), request);
    WebQuoteReject window(rejection, &prompter, {});
    openWindow(window, rejection);
    window.commentsEdit()->setPlainText(QStringLiteral("Out of stok"));
    auto *spelling = window.findChild<QPushButton *>(QStringLiteral("spellCheck"));
    ASSERT_TRUE(spelling);
    QTest::mouseClick(spelling, Qt::LeftButton);
    EXPECT_EQ(speller.asked, QStringList { QStringLiteral("stok") });
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, QStringLiteral("The spelling check is complete."));
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Spelling"));

    window.close();
}

INSTANTIATE_TEST_SUITE_P(Engines, RejectWindow, testsupport::allEngines(), testsupport::engineName);

} // namespace
