#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses Esc in the message box as soon as it is shown.
int answeredWithEscape(const QString &buttons, int escapeButton)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&poll] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll.stop();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    poll.start(10);
    app::ui::WidgetPrompter prompter;
    return prompter.message(QStringLiteral("text"), QStringLiteral("caption"), bizlib::Prompter::Icon::Exclamation,
        buttons, 1, escapeButton);
}

} // namespace

TEST(WidgetPrompter, escapeTakesTheNamedButtonOrElseTheLast)
{
    EXPECT_EQ(answeredWithEscape(QStringLiteral("&Cancel|&Unlock"), 1), 1);
    EXPECT_EQ(answeredWithEscape(QStringLiteral("&Yes|&No"), 0), 2);
    EXPECT_EQ(answeredWithEscape(QStringLiteral("&Overwrite|&Append|&Cancel"), 0), 3);
}
