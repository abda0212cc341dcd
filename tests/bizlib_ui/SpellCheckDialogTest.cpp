#include "bizlib/ui/SpellCheckDialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using bizlib::spell::SpellPrompter;
using bizlib::ui::SpellCheckDialog;

namespace {

std::string str(const QString &s)
{
    return s.toStdString();
}

SpellPrompter::Query query()
{
    SpellPrompter::Query q;
    q.word = QStringLiteral("recieve");
    q.suggestions = { QStringLiteral("receive"), QStringLiteral("relieve"), QStringLiteral("reprieve") };
    q.text = QStringLiteral("We will recieve <the> files");
    q.position = 8;
    return q;
}

template<class T> T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

// Asks with the dialog while `act` plays the user.
SpellPrompter::Answer askWith(SpellCheckDialog &dialog, const SpellPrompter::Query &q, const std::function<void()> &act)
{
    QTimer::singleShot(0, &dialog, act);
    return dialog.ask(q);
}

} // namespace

TEST(SpellCheckDialogPrompt, offersTheSuggestionsAndChangesToTheFirst)
{
    SpellCheckDialog dialog;
    QString shownText;
    QString changeTo;
    int suggestions = 0;
    const SpellPrompter::Answer a = askWith(dialog, query(), [&] {
        shownText = child<QTextBrowser>(dialog, "context")->toPlainText();
        changeTo = child<QLineEdit>(dialog, "changeTo")->text();
        suggestions = child<QListWidget>(dialog, "suggestions")->count();
        QTest::mouseClick(child<QPushButton>(dialog, "change"), Qt::LeftButton);
    });
    EXPECT_EQ(str(shownText), "We will recieve <the> files");
    EXPECT_EQ(str(changeTo), "receive");
    EXPECT_EQ(suggestions, 3);
    EXPECT_EQ(a.action, SpellPrompter::Action::Replace);
    EXPECT_EQ(str(a.replacement), "receive");
}

TEST(SpellCheckDialogPrompt, pickingASuggestionOrTypingAWord)
{
    SpellCheckDialog dialog;
    SpellPrompter::Answer a = askWith(dialog, query(), [&] {
        child<QListWidget>(dialog, "suggestions")->setCurrentRow(1);
        QTest::mouseClick(child<QPushButton>(dialog, "changeAll"), Qt::LeftButton);
    });
    EXPECT_EQ(a.action, SpellPrompter::Action::ReplaceAll);
    EXPECT_EQ(str(a.replacement), "relieve");

    a = askWith(dialog, query(), [&] {
        auto *edit = child<QLineEdit>(dialog, "changeTo");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("retrieve"));
        QTest::keyClick(edit, Qt::Key_Return); // Change is the default button
    });
    EXPECT_EQ(a.action, SpellPrompter::Action::Replace);
    EXPECT_EQ(str(a.replacement), "retrieve");
}

TEST(SpellCheckDialogPrompt, ignoreIgnoreAllAndClosing)
{
    SpellCheckDialog dialog;
    EXPECT_EQ(askWith(dialog, query(), [&] { QTest::mouseClick(child<QPushButton>(dialog, "ignore"), Qt::LeftButton); })
                  .action,
        SpellPrompter::Action::Ignore);
    EXPECT_EQ(
        askWith(dialog, query(), [&] { QTest::mouseClick(child<QPushButton>(dialog, "ignoreAll"), Qt::LeftButton); })
            .action,
        SpellPrompter::Action::IgnoreAll);
    EXPECT_EQ(askWith(dialog, query(), [&] { dialog.reject(); }).action, SpellPrompter::Action::Cancel);

    SpellPrompter::Query none = query();
    none.suggestions.clear();
    QString changeTo;
    askWith(dialog, none, [&] {
        changeTo = child<QLineEdit>(dialog, "changeTo")->text();
        QTest::mouseClick(child<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    });
    EXPECT_EQ(str(changeTo), "recieve");
}
