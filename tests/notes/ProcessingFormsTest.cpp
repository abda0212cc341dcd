#include "notes/ui/ProcessingForms.h"

#include "bizlib/Table.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/QuoteUpdate.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/WindowSettings.h"
#include "notes/NoteTestSupport.h"
#include "notes/ui/PhraseTools.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

// The quote form that a processing window opens, with the phrase toolbox running beside it.

namespace {

using bizlib::ui::RecordFormDialog;

class ProcessingForms : public testsupport::DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.paths.windowIni = dir.filePath(QStringLiteral("windows.ini"));
        notestest::insertRow(db(), QStringLiteral("PHRASE"), [](bizlib::Record &r) {
            r.setText("PhraseTitle", QStringLiteral("Proof - PDF"));
            r.setText("PhraseText", QStringLiteral("A PDF proof follows."));
            r.setText("PhraseField", QStringLiteral("Notes"));
            r.setLong("Estimating", 1);
        });
    }

    void TearDown() override
    {
        if (QPointer<notes::ui::PhraseTools> tools
            = qobject_cast<notes::ui::PhraseTools *>(notes::PhraseToolbox::running(ctx))) {
            tools->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        DataTest::TearDown();
    }

    // Drags `data` onto `target` and drops it there, as the window system delivers a drag.
    static bool dragAndDrop(QWidget *target, const QMimeData *data)
    {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    QTemporaryDir dir;
    testsupport::ScriptedPrompter prompter;
    config::AppContext ctx;
};

TEST_P(ProcessingForms, theToolboxTakesClicksBesideAnOpenFormAndAPhraseDraggedFromItLandsInTheForm)
{
    auto *tools = notes::ui::PhraseTools::start(ctx, QStringLiteral("Estimating"), QStringLiteral("Notes"));
    ASSERT_NE(tools, nullptr);
    // The processing window, with the console above it as its parent.
    QWidget console;
    console.resize(700, 500);
    console.show();
    QDialog processing(&console);
    processing.resize(420, 110);
    processing.setWindowModality(Qt::WindowModal);
    processing.show();
    // The form was last left small at the top left; the toolbox was left over that spot.
    {
        QDialog sized;
        sized.setGeometry(30, 40, 360, 300);
        config::WindowSettings(ctx.paths.windowIni).setGeometry(QStringLiteral("UpdateQuotes"), sized.saveGeometry());
    }
    tools->move(60, 60);

    bizlib::ui::WidgetForms forms(&processing);
    notes::ui::ProcessingForms::prepare(forms, ctx);
    bizlib::Table quotes(db(), QStringLiteral("Quotes"));
    bizlib::Table specs(db(), QStringLiteral("SpecTexts"));
    bizlib::Record quote = quotes.newRecord();
    quote.setText("Title", QStringLiteral("Leaflets"));
    bizlib::forms::FormModel model(
        bizlib::forms::Request::Insert, { quote, specs.newRecord() }, bizlib::forms::QuoteUpdate::quoteLayout());

    bool acted = false;
    QTimer::singleShot(50, &processing, [&] {
        acted = true;
        auto *form = qobject_cast<RecordFormDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        auto closeForm = qScopeGuard([form] { form->reject(); }); // however the checks end
        EXPECT_EQ(form->windowModality(), Qt::WindowModal);
        EXPECT_FALSE(tools->frameGeometry().intersects(form->frameGeometry()))
            << "toolbox " << tools->frameGeometry().x() << "," << tools->frameGeometry().width() << " form "
            << form->frameGeometry().x() << "," << form->frameGeometry().width();

        // A click on the toolbox's "All" tab reaches it while the form is open.
        const QPoint tab = tools->tabs()->mapTo(tools, tools->tabs()->tabRect(1).center());
        QTest::mouseClick(tools->windowHandle(), Qt::LeftButton, {}, tab);
        EXPECT_EQ(tools->tabs()->currentIndex(), 1);

        tools->listView()->setCurrentIndex(tools->listView()->model()->index(0, 0));
        std::unique_ptr<QMimeData> drag = tools->dragData();
        ASSERT_TRUE(drag);
        // An empty field takes the phrase; a filled one asks, and "Append" adds it.
        auto *contact = qobject_cast<QLineEdit *>(form->editorFor(QStringLiteral("QTE:Contact")));
        auto *title = qobject_cast<QPlainTextEdit *>(form->editorFor(QStringLiteral("QTE:Title")));
        ASSERT_TRUE(contact && title);
        EXPECT_TRUE(dragAndDrop(contact, drag.get()));
        EXPECT_EQ(contact->text(), QStringLiteral("A PDF proof follows."));
        EXPECT_TRUE(prompter.shown().isEmpty());
        prompter.answer(2);
        EXPECT_TRUE(dragAndDrop(title->viewport(), drag.get()));
        EXPECT_EQ(title->toPlainText(), QStringLiteral("Leaflets, A PDF proof follows."));
        EXPECT_EQ(prompter.shown().size(), 1);
        // A read-only field takes nothing.
        EXPECT_FALSE(dragAndDrop(form->editorFor(QStringLiteral("QTE:Number")), drag.get()));
        closeForm.dismiss();
        form->accept();
    });
    forms.runForm(model);
    ASSERT_TRUE(acted) << "the form did not open";
    EXPECT_TRUE(model.isAccepted());
    EXPECT_EQ(model.record().text("Title"), QStringLiteral("Leaflets, A PDF proof follows."));
    // The form keeps where the user left it.
    EXPECT_FALSE(config::WindowSettings(ctx.paths.windowIni).geometry(QStringLiteral("UpdateQuotes")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ProcessingForms, testsupport::allEngines(), testsupport::engineName);

} // namespace
