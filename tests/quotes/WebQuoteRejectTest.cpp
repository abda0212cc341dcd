#include "quotes/ui/WebQuoteReject.h"

#include "bizlib/Table.h"
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

INSTANTIATE_TEST_SUITE_P(Engines, RejectWindow, testsupport::allEngines(), testsupport::engineName);

} // namespace
