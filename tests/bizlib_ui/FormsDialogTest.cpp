#include "bizlib/Clock.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/forms/SelectionList.h"
#include "bizlib/ui/CalendarDialog.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "bizlib/ui/SelectionListDialog.h"
#include "bizlib/ui/WidgetForms.h"
#include "support/ItemModelCheck.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace bizlib;
using namespace bizlib::forms;
using bizlib::ui::RecordFormDialog;
using bizlib::ui::SelectionListDialog;
using testsupport::ItemModelCheck;

namespace {

Record phrase()
{
    Record r(Dictionary::instance().require(QStringLiteral("PHRASE")));
    r.setLong("PhraseID", 12);
    r.setText("PhraseTitle", QStringLiteral("Pack in 250s"));
    return r;
}

FormLayout phraseLayout()
{
    return FormLayout(QStringLiteral("Phrase"))
        .add(QStringLiteral("PhraseID"))
        .add(QStringLiteral("PhraseTitle"))
        .add(QStringLiteral("PhraseText"))
        .add(QStringLiteral("Other"));
}

// Runs `act` once on the first modal widget of type T that opens.
template<class T> void whenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start(10);
}

TEST(RecordFormDialog, limitsTheEditorsToTheFieldWidthsAndHandsTheValuesOverOnOk)
{
    FormModel form(Request::Change, { phrase() }, phraseLayout());
    ItemModelCheck check(&form);
    RecordFormDialog dialog(form);
    dialog.show();

    auto *title = qobject_cast<QLineEdit *>(dialog.editorFor(QStringLiteral("PhraseTitle")));
    auto *text = qobject_cast<QPlainTextEdit *>(dialog.editorFor(QStringLiteral("PhraseText")));
    auto *other = qobject_cast<QCheckBox *>(dialog.editorFor(QStringLiteral("Other")));
    auto *number = qobject_cast<QLineEdit *>(dialog.editorFor(QStringLiteral("PhraseID")));
    ASSERT_TRUE(title && text && other && number);
    EXPECT_EQ(title->maxLength(), 80);
    EXPECT_EQ(title->text(), QStringLiteral("Pack in 250s"));
    EXPECT_TRUE(number->isReadOnly());

    title->clear();
    QTest::keyClicks(title, QString(90, u't'));
    EXPECT_EQ(title->text(), QString(80, u't'));
    text->setPlainText(QString(3100, u'p'));
    EXPECT_EQ(text->toPlainText().size(), 3000);
    other->setChecked(true);

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(form.isAccepted());
    EXPECT_EQ(form.record().text("PhraseTitle"), QString(80, u't'));
    EXPECT_EQ(form.record().text("PhraseText").size(), 3000);
    EXPECT_EQ(form.record().toLong("Other"), 1);
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST(RecordFormDialog, viewShowsTheRecordReadOnly)
{
    FormModel form(Request::View, { phrase() }, phraseLayout());
    RecordFormDialog dialog(form);
    EXPECT_TRUE(qobject_cast<QLineEdit *>(dialog.editorFor(QStringLiteral("PhraseTitle")))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QPlainTextEdit *>(dialog.editorFor(QStringLiteral("PhraseText")))->isReadOnly());
    EXPECT_FALSE(dialog.editorFor(QStringLiteral("Other"))->isEnabled());
    EXPECT_TRUE(dialog.windowTitle().endsWith(QStringLiteral("View record")));
}

TEST(RecordFormDialog, aRefusedSaveIsShownAndTheFormStaysOpen)
{
    FormModel form(Request::Change, { phrase() }, phraseLayout());
    form.setAcceptHandler([](FormModel &) { return Status::error(QStringLiteral("The phrase is in use.")); });
    RecordFormDialog dialog(form);
    dialog.show();
    QString told;
    whenModal<QMessageBox>([&told](QMessageBox *box) {
        told = box->text();
        box->accept();
    });
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(told, QStringLiteral("The phrase is in use."));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(form.isAccepted());
}

class SelectionListDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_test.isAvailable());
        Table users(m_test.db(), QStringLiteral("Users"));
        for (int i = 0; i < 40; ++i) {
            Record r;
            ASSERT_TRUE(users.prime(r).isOk());
            r.setText("Initials", QStringLiteral("U%1").arg(i, 2, 10, QLatin1Char('0')));
            r.setText("FullName", QStringLiteral("User %1").arg(i));
            r.setLong("Active", 1);
            ASSERT_TRUE(users.insert(r).isOk());
        }
    }

    testsupport::TestDatabase m_test { testsupport::Engine::SQLite };
};

TEST_F(SelectionListDialogTest, theLocatorJumpsToARowAndSelectTakesIt)
{
    SelectionList list(m_test.db(), SelectLibrary::userList());
    ASSERT_TRUE(list.open().isOk());
    ItemModelCheck check(&list.model()); // after the first (and only) page is read
    SelectionListDialog dialog(list);
    dialog.show();
    EXPECT_EQ(dialog.currentRow(), 0);

    QTest::keyClicks(dialog.locatorEdit(), QStringLiteral("u3"));
    EXPECT_EQ(dialog.currentRow(), 30);
    QTest::keyClicks(dialog.locatorEdit(), QStringLiteral("5"));
    EXPECT_EQ(dialog.currentRow(), 35);
    EXPECT_TRUE(dialog.view()->selectionModel()->isRowSelected(35, {}));

    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(list.hasChoice());
    EXPECT_EQ(list.chosen().text("Initials"), QStringLiteral("U35"));
    EXPECT_TRUE(ItemModelCheck::problems().isEmpty()) << ItemModelCheck::problems().join(u'\n').toStdString();
}

TEST_F(SelectionListDialogTest, widgetFormsReturnsTheListChoiceAndTheCalendarDate)
{
    ui::WidgetForms forms;
    SelectLibrary library(m_test.db(), forms);
    whenModal<SelectionListDialog>([](SelectionListDialog *d) {
        QTest::keyClicks(d->locatorEdit(), QStringLiteral("U07"));
        QTest::keyClick(d->view(), Qt::Key_Down);
        QTest::mouseClick(d->selectButton(), Qt::LeftButton);
    });
    Record user;
    ASSERT_EQ(library.selectUser(&user), Response::Completed);
    EXPECT_EQ(user.text("Initials"), QStringLiteral("U08"));

    whenModal<ui::CalendarDialog>([](ui::CalendarDialog *d) {
        EXPECT_EQ(d->calendar()->selectedDate(), QDate(2026, 3, 14));
        d->calendar()->setSelectedDate(QDate(2026, 3, 20));
        d->accept();
    });
    qint32 day = DateTime::fromDate(QDate(2026, 3, 14));
    ASSERT_EQ(library.selectDate(&day), Response::Completed);
    EXPECT_EQ(day, DateTime::fromDate(QDate(2026, 3, 20)));
}

} // namespace
