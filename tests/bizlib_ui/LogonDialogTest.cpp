#include "bizlib/ui/LogonDialog.h"

#include "bizlib/security/Security.h"
#include "bizlib/ui/WidgetLogonPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using bizlib::security::Security;
using bizlib::ui::LogonDialog;
using bizlib::ui::WidgetLogonPrompter;

namespace {

// Acts on each logon dialog as it opens modally, one action per dialog, in order, for as long as
// it lives.
class DialogScript
{
public:
    explicit DialogScript(QList<std::function<void(LogonDialog *)>> actions)
        : m_actions(std::move(actions))
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            auto *dialog = qobject_cast<LogonDialog *>(QApplication::activeModalWidget());
            // A dialog at the address of one already answered is new when that one is gone.
            if (!dialog || m_actions.isEmpty() || (dialog == m_last && m_last))
                return;
            m_last = dialog;
            m_actions.takeFirst()(dialog);
        });
        m_timer.start(10);
    }

private:
    QList<std::function<void(LogonDialog *)>> m_actions;
    QPointer<LogonDialog> m_last;
    QTimer m_timer;
};

class LogonDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_test.isAvailable());
        Security security(m_test.db(), bizlib::security::PasswordHasher::Cost::minimal());
        Security::NewUser u;
        u.initials = QStringLiteral("JS");
        u.fullName = QStringLiteral("Jane Sutton");
        u.password = QStringLiteral("correct horse");
        ASSERT_TRUE(security.addUser(u, &m_userId).isOk());
    }

    testsupport::TestDatabase m_test { testsupport::Engine::SQLite };
    qint32 m_userId = 0;
};

TEST_F(LogonDialogTest, acceptsTheRightPasswordTypedIntoTheDialog)
{
    DialogScript script({ [](LogonDialog *d) {
        EXPECT_FALSE(d->okButton()->isEnabled());
        QTest::keyClicks(d->initialsEdit(), QStringLiteral("jsxy")); // the fourth letter does not fit
        EXPECT_EQ(d->initialsEdit()->text(), QStringLiteral("jsx"));
        d->initialsEdit()->setText(QStringLiteral("js"));
        QTest::keyClicks(d->passwordEdit(), QStringLiteral("correct horse"));
        EXPECT_EQ(d->passwordEdit()->echoMode(), QLineEdit::Password);
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
    } });
    Security security(m_test.db(), bizlib::security::PasswordHasher::Cost::minimal());
    WidgetLogonPrompter prompter;
    bizlib::Session session;
    const Security::LogonResult r = security.logon(prompter, &session);
    ASSERT_TRUE(r.isLoggedOn()) << r.message.toStdString();
    EXPECT_EQ(session.userId, m_userId);
    EXPECT_EQ(session.userName, QStringLiteral("Jane Sutton"));
}

TEST_F(LogonDialogTest, aWrongPasswordIsToldOnTheNextTryAndCancelRefuses)
{
    QString shownMessage;
    QString offeredInitials;
    DialogScript script({ [](LogonDialog *d) {
                             d->initialsEdit()->setText(QStringLiteral("JS"));
                             d->passwordEdit()->setText(QStringLiteral("wrong"));
                             QTest::mouseClick(d->okButton(), Qt::LeftButton);
                         },
        [&](LogonDialog *d) {
            shownMessage = d->messageLabel()->isVisible() ? d->messageLabel()->text() : QString();
            offeredInitials = d->initialsEdit()->text();
            d->reject();
        } });
    Security security(m_test.db(), bizlib::security::PasswordHasher::Cost::minimal());
    WidgetLogonPrompter prompter;
    bizlib::Session session;
    const Security::LogonResult r = security.logon(prompter, &session);
    EXPECT_EQ(r.outcome, Security::LogonOutcome::Cancelled);
    EXPECT_TRUE(shownMessage.contains(Security::refusedText())) << shownMessage.toStdString();
    EXPECT_TRUE(shownMessage.contains(QStringLiteral("2 of 3"))) << shownMessage.toStdString();
    EXPECT_EQ(offeredInitials, QStringLiteral("JS"));
    EXPECT_EQ(session.userId, 0);
}

} // namespace
