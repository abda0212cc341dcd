#include "bizlib/ui/EmailComposeDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using bizlib::mail::MailDraft;
using bizlib::ui::EmailComposeDialog;

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

MailDraft textDraft()
{
    MailDraft d;
    d.from = QStringLiteral("Sales <sales@example.com>");
    d.to = QStringLiteral("jo@example.com");
    d.cc = QStringLiteral("ann@example.com");
    d.subject = QStringLiteral("Your quote");
    d.body = QStringLiteral("Dear Jo,\r\nyour quote is attached.");
    d.attachments = { QStringLiteral("/tmp/q/Q1234.pdf") };
    return d;
}

template<class T> T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

} // namespace

TEST(MailComposeDialog, sendReturnsTheEditedDraft)
{
    EmailComposeDialog dialog;
    MailDraft draft = textDraft();
    QTimer::singleShot(0, &dialog, [&dialog] {
        auto *to = child<QLineEdit>(dialog, "to");
        to->clear();
        QTest::keyClicks(to, QStringLiteral("other@example.com; third@example.com"));
        child<QLineEdit>(dialog, "subject")->setText(QStringLiteral("Revised quote"));
        child<QPlainTextEdit>(dialog, "text")->setPlainText(QStringLiteral("New text"));
        QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton);
    });
    ASSERT_TRUE(dialog.compose(draft));
    EXPECT_EQ(str(draft.to), "other@example.com; third@example.com");
    EXPECT_EQ(str(draft.cc), "ann@example.com");
    EXPECT_EQ(str(draft.subject), "Revised quote");
    EXPECT_EQ(str(draft.body), "New text");
    EXPECT_EQ(str(draft.from), "Sales <sales@example.com>");
    EXPECT_EQ(draft.attachments, textDraft().attachments);
}

TEST(MailComposeDialog, cancelLeavesTheDraftAlone)
{
    EmailComposeDialog dialog;
    MailDraft draft = textDraft();
    QTimer::singleShot(0, &dialog, [&dialog] {
        child<QLineEdit>(dialog, "subject")->setText(QStringLiteral("Changed"));
        QTest::mouseClick(child<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog.compose(draft));
    EXPECT_EQ(str(draft.subject), "Your quote");
}

TEST(MailComposeDialog, sendNeedsARecipient)
{
    EmailComposeDialog dialog;
    dialog.load(textDraft());
    auto *send = child<QPushButton>(dialog, "send");
    EXPECT_TRUE(send->isEnabled());
    child<QLineEdit>(dialog, "to")->clear();
    EXPECT_TRUE(send->isEnabled()); // Cc is still there
    child<QLineEdit>(dialog, "cc")->setText(QStringLiteral("  "));
    EXPECT_FALSE(send->isEnabled());
    child<QLineEdit>(dialog, "bcc")->setText(QStringLiteral("x@example.com"));
    EXPECT_TRUE(send->isEnabled());
}

TEST(MailComposeDialog, htmlBodyComesBackAsLoadedUnlessEdited)
{
    EmailComposeDialog dialog;
    MailDraft d = textDraft();
    d.html = true;
    d.body = QStringLiteral("<p>Hello <b>Jo</b></p>");
    dialog.load(d);
    EXPECT_TRUE(child<QTextEdit>(dialog, "html")->isVisibleTo(&dialog));
    EXPECT_FALSE(child<QPlainTextEdit>(dialog, "text")->isVisibleTo(&dialog));
    EXPECT_EQ(str(dialog.draft().body), "<p>Hello <b>Jo</b></p>");

    auto *html = child<QTextEdit>(dialog, "html");
    html->moveCursor(QTextCursor::End);
    html->insertPlainText(QStringLiteral(" and Ann"));
    const MailDraft edited = dialog.draft();
    EXPECT_TRUE(edited.html);
    EXPECT_TRUE(edited.body.contains(QLatin1String("and Ann"))) << str(edited.body);
    EXPECT_TRUE(edited.body.contains(QLatin1String("<html"))) << str(edited.body);
}
