#include "console/general/ui/GeneralPage.h"

#include "bizlib/security/Security.h"
#include "config/ConsoleFilters.h"
#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/general/RequestListSet.h"
#include "console/ScriptedDesktop.h"
#include "console/WebRows.h"
#include "console/general/ui/DetailSheet.h"
#include "orders/OrderPayment.h"
#include "support/FakeClock.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QIcon>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

static void initListIcons()
{
    Q_INIT_RESOURCE(listicons);
}

using namespace console;
using console::ui::DetailSheet;
using console::ui::GeneralPage;
using consoletest::addClient;
using consoletest::addOrder;
using consoletest::addQuote;
using consoletest::addRow;
using consoletest::addSignup;
using Focus = RequestLists::Focus;
using Icon = bizlib::Prompter::Icon;

namespace {

class GeneralTab : public testing::Test
{
protected:
    void SetUp() override
    {
        initListIcons();
        ASSERT_TRUE(data.isAvailable());
        ctx.db = &db();
        ctx.prompter = &prompter;
        ctx.trace = &trace;
        ctx.closeConfirmed = true;
        ctx.paths.localIni = dir.filePath(QStringLiteral("ws.ini"));
        ctx.brevix.globalData = dir.filePath(QStringLiteral("data"));
    }

    bizlib::Database &db() { return data.db(); }

    void logOn(const QString &initials, QList<qint32> rights)
    {
        bizlib::security::Security security(db(), bizlib::security::PasswordHasher::Cost::minimal());
        qint32 id = 0;
        ASSERT_TRUE(
            security.addUser({ initials, initials + QStringLiteral(" User"), {}, {}, false, rights }, &id).isOk());
        ctx.glo.user.userId = id;
        ctx.glo.user.userCode = initials;
    }

    // The demo-like requests: two quotes (the second with a manager of its own), a product order
    // to be paid, a lower-case service order with remarks and a note-less sign-up.
    void addRequests()
    {
        const qint32 mine = addClient(db(), QStringLiteral("Mine Ltd"), QStringLiteral("JS"));
        const qint32 theirs = addClient(db(), QStringLiteral("Theirs Ltd"), QStringLiteral("AB"));
        quote1 = addQuote(db(), 1, mine, QStringLiteral("Pending"), [](bizlib::Record &r) {
            r.setText("Spec", QStringLiteral("Size: A4\r\n4 pages"));
            r.setLong("HasAttachments", 1);
        });
        addQuote(db(), 2, theirs);
        addQuote(db(), 3, theirs, QStringLiteral("Processing"));
        productOrder = addOrder(db(), 1, mine, QStringLiteral("Pending"), [](bizlib::Record &r) {
            r.setLong("Prepay", 1);
            r.setLong("NoteID", 99);
        });
        serviceOrder = addOrder(db(), 2, theirs, QStringLiteral("Pending"), [](bizlib::Record &r) {
            r.setText("OrderType", QStringLiteral("service"));
            r.setText("Spec", QStringLiteral("Beer mats as before"));
            r.setText("Notes", QStringLiteral("Same as last time."));
        });
        addSignup(db(), QStringLiteral("Gareth Lloyd"), QStringLiteral("Pending"), QStringLiteral("Web"),
            [](bizlib::Record &r) {
                r.setText("Company", QStringLiteral("Lloyd & Rees"));
                r.setText("Email", QStringLiteral("g@example.com"));
            });
    }

    void open()
    {
        lists = std::make_unique<RequestListSet>(db(), ctx.glo.user.userCode);
        monitor = std::make_unique<Monitor>(ctx, clock, *lists);
        monitor->open();
        page = std::make_unique<GeneralPage>(ctx, *lists, *monitor);
        page->setDesktop(&desktop);
        page->resize(1200, 900);
        page->show();
        monitor->opened(); // the first refresh reads the lists
    }

    QPushButton *button(RequestAction a) const { return page->button(a); }
    DetailSheet *sheet() const { return page->detailSheet(); }
    void selectRow(QTableView *view, int row)
    {
        view->selectionModel()->setCurrentIndex(
            view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    static QStringList menuEntries(QMenu *menu)
    {
        QStringList entries;
        for (QAction *a : menu->actions())
            entries << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
        return entries;
    }

    testsupport::TestDatabase data { testsupport::Engine::SQLite };
    QTemporaryDir dir;
    config::AppContext ctx;
    config::TraceLog trace;
    testsupport::ScriptedPrompter prompter;
    testsupport::FakeClock clock;
    consoletest::ScriptedDesktop desktop;
    std::unique_ptr<RequestListSet> lists;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<GeneralPage> page;
    qint32 quote1 = 0, productOrder = 0, serviceOrder = 0;
};

TEST_F(GeneralTab, opensOnTheFirstQuoteWithItsButtonsDetailsIconsAndListColours)
{
    logOn(QStringLiteral("JS"), {});
    addRequests();
    open();
    EXPECT_EQ(page->state().current(), Focus::Quotes);
    EXPECT_TRUE(button(RequestAction::ProcessQuote)->isVisible());
    EXPECT_TRUE(button(RequestAction::ProcessQuote)->isEnabled());
    EXPECT_TRUE(button(RequestAction::ProcessOrder)->isVisible());
    EXPECT_FALSE(button(RequestAction::ProcessOrder)->isEnabled());
    EXPECT_FALSE(button(RequestAction::MarkPaid)->isVisible());
    EXPECT_EQ(sheet()->detailsText()->toPlainText(), QStringLiteral("Size: A4\n4 pages"));
    EXPECT_EQ(page->quoteView()->model()->rowCount(), 2);

    const QVariant clip = page->quoteView()->model()->index(0, QuoteListModel::AttachmentIcon).data(Qt::DecorationRole);
    ASSERT_TRUE(clip.canConvert<QIcon>());
    EXPECT_FALSE(clip.value<QIcon>().pixmap(16, 16).isNull()) << "the icon resource is drawn";
    EXPECT_FALSE(
        page->quoteView()->model()->index(1, QuoteListModel::AttachmentIcon).data(Qt::DecorationRole).isValid());

    const QPalette p = page->quoteView()->palette();
    EXPECT_EQ(p.color(QPalette::AlternateBase), QColor(0xF5, 0xF9, 0xF4));
    EXPECT_EQ(page->orderView()->palette().color(QPalette::AlternateBase), QColor(0xF7, 0xF9, 0xFB));
    EXPECT_EQ(page->signupView()->palette().color(QPalette::AlternateBase), QColor(0xF6, 0xF6, 0xF6));
    EXPECT_EQ(sheet()->attachmentView()->palette().color(QPalette::AlternateBase), QColor(0xF3, 0xEC, 0xE9));
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight), QColor(0xF5, 0xDD, 0xAF));
    EXPECT_EQ(p.color(QPalette::Active, QPalette::HighlightedText), QColor(0x00, 0x00, 0x80));
    EXPECT_TRUE(page->quoteView()->showGrid());
}

// Only the current list's selection is drawn in the selection colours: the others are muted, also
// while the focus is in the detail lists, and they take the colours back when they become current.
TEST_F(GeneralTab, onlyTheCurrentListShowsItsSelectionInTheSelectionColours)
{
    logOn(QStringLiteral("JS"), {});
    addRequests();
    open();
    const auto highlight = [](QTableView *v) { return v->palette().color(QPalette::Active, QPalette::Highlight); };
    const QColor strong(0xF5, 0xDD, 0xAF);
    const QColor muted(0xE4, 0xE4, 0xE4);
    EXPECT_EQ(highlight(page->quoteView()), strong);
    EXPECT_EQ(highlight(page->signupView()), muted);
    EXPECT_EQ(highlight(page->orderView()), muted);
    EXPECT_EQ(page->orderView()->palette().color(QPalette::Active, QPalette::HighlightedText),
        page->orderView()->palette().color(QPalette::Text));

    page->selectList(Focus::Signups);
    EXPECT_EQ(highlight(page->quoteView()), muted);
    EXPECT_EQ(highlight(page->signupView()), strong);
    EXPECT_EQ(page->signupView()->palette().color(QPalette::Active, QPalette::HighlightedText), QColor(0, 0, 0x80));

    sheet()->detailsText()->setFocus();
    selectRow(page->orderView(), 1); // a row set in a list that is not current does not make it so
    EXPECT_EQ(highlight(page->signupView()), strong);
    EXPECT_EQ(highlight(page->orderView()), muted);
    page->selectList(Focus::Orders);
    EXPECT_EQ(highlight(page->signupView()), muted);
    EXPECT_EQ(highlight(page->orderView()), strong);
}

// The lists take the height and the detail sheet stays modest; where the user drags the splitter
// to is where the next window opens it.
TEST_F(GeneralTab, theListsTakeTheHeightAndTheSplitterIsWhereTheUserLeftIt)
{
    ctx.paths.windowIni = dir.filePath(QStringLiteral("windows.ini"));
    addRequests();
    open();
    auto *split = page->findChild<QSplitter *>();
    ASSERT_TRUE(split);
    QCoreApplication::processEvents(); // the first sizes are set once the tab has its height
    QList<int> sizes = split->sizes();
    ASSERT_EQ(sizes.size(), 4);
    EXPECT_LE(sizes[3], split->height() / 4) << "the detail sheet stays modest";
    EXPECT_GT(sizes[0], sizes[1]);
    const int before = sizes[3];
    page->resize(page->width(), page->height() + 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(split->sizes()[3], before) << "a taller window's height goes to the lists";

    sizes = split->sizes();
    const QList<int> dragged { sizes[0] - 60, sizes[1] + 60, sizes[2], sizes[3] };
    split->setSizes(dragged);
    Q_EMIT split->splitterMoved(dragged[0], 1);
    page->hide(); // the window goes before the save's timer runs out
    page.reset();
    open();
    page->resize(page->width(), page->height() + 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->findChild<QSplitter *>()->sizes(), dragged);
}

TEST_F(GeneralTab, withoutListColoursTheSelectionKeepsTheStylesColours)
{
    ctx.brevix.listColours = 0;
    addRequests();
    open();
    EXPECT_NE(page->quoteView()->palette().color(QPalette::Active, QPalette::Highlight), QColor(0xF5, 0xDD, 0xAF));
    EXPECT_FALSE(page->quoteView()->showGrid());
    EXPECT_EQ(page->quoteView()->palette().color(QPalette::AlternateBase), QColor(0xF5, 0xF9, 0xF4));
}

TEST_F(GeneralTab, ordersShowItemsOrSpecificationAndPaidOnlyWithRight44)
{
    logOn(QStringLiteral("JS"), { bizlib::security::Security::kRightMarkOrdersPaid });
    addRequests();
    open();
    page->selectList(Focus::Orders);
    EXPECT_TRUE(sheet()->itemView()->isVisible()) << "a product order shows its items";
    EXPECT_FALSE(sheet()->detailsText()->isVisible());
    EXPECT_TRUE(button(RequestAction::MarkPaid)->isVisible());
    EXPECT_TRUE(button(RequestAction::MarkPaid)->isEnabled());
    EXPECT_FALSE(button(RequestAction::ProcessQuote)->isEnabled());
    EXPECT_TRUE(button(RequestAction::ProcessOrder)->isEnabled());

    // A click makes the row current before it selects it: the details follow all the same.
    QTableView *orders = page->orderView();
    QTest::mouseClick(orders->viewport(), Qt::LeftButton, {},
        orders->visualRect(orders->model()->index(1, OrderListModel::Title)).center());
    EXPECT_EQ(lists->notes().request().id, serviceOrder);
    EXPECT_TRUE(button(RequestAction::ProcessOrder)->isVisible());
    EXPECT_FALSE(sheet()->itemView()->isVisible());
    EXPECT_EQ(sheet()->detailsText()->toPlainText(), QStringLiteral("Beer mats as before"))
        << "a lower-case service order still shows its specification";
    EXPECT_FALSE(button(RequestAction::MarkPaid)->isVisible()) << "not a prepay order";

    // The order without a note shows its remarks in place of the note list and its Change and
    // Delete; its first note can still be inserted, from the page and from the list's menu.
    EXPECT_TRUE(sheet()->showsRemarks());
    EXPECT_EQ(sheet()->remarksText()->toPlainText(), QStringLiteral("Same as last time."));
    EXPECT_TRUE(sheet()->insertNote()->isEnabled());
    EXPECT_TRUE(sheet()->changeNote()->isHidden());
    EXPECT_TRUE(menuEntries(page->contextMenu(orders).get()).contains(QStringLiteral("Insert note")));
    selectRow(page->orderView(), 0);
    EXPECT_FALSE(sheet()->showsRemarks());
    EXPECT_TRUE(sheet()->insertNote()->isEnabled());
    EXPECT_FALSE(sheet()->changeNote()->isHidden());
}

TEST_F(GeneralTab, aUserWithoutRight44NeverSeesPaid)
{
    logOn(QStringLiteral("AB"), {});
    addRequests();
    open();
    page->selectList(Focus::Orders);
    EXPECT_FALSE(button(RequestAction::MarkPaid)->isVisible());
    EXPECT_FALSE(button(RequestAction::MarkPaid)->isEnabled());
    std::unique_ptr<QMenu> menu = page->contextMenu(page->orderView());
    EXPECT_EQ(menuEntries(menu.get()), (QStringList { "Process", "Reject", "Insert note", "Paid (disabled)" }));
}

TEST_F(GeneralTab, signupsShowTheirAddressAndDisableAttachmentsAndNotes)
{
    addRequests();
    open();
    sheet()->setCurrentIndex(DetailSheet::NotesPage);
    page->selectList(Focus::Signups);
    EXPECT_FALSE(sheet()->isTabEnabled(DetailSheet::AttachmentsPage));
    EXPECT_FALSE(sheet()->isTabEnabled(DetailSheet::NotesPage));
    EXPECT_EQ(sheet()->currentIndex(), int(DetailSheet::DetailsPage));
    EXPECT_TRUE(sheet()->detailsText()->toPlainText().startsWith(QStringLiteral("Lloyd & Rees\n")));
    EXPECT_TRUE(sheet()->detailsText()->toPlainText().endsWith(QStringLiteral("Email: g@example.com")));
    EXPECT_TRUE(button(RequestAction::ProcessSignup)->isEnabled());
    EXPECT_FALSE(button(RequestAction::ProcessQuote)->isEnabled());
    EXPECT_FALSE(button(RequestAction::RejectOrder)->isEnabled());
    std::unique_ptr<QMenu> menu = page->contextMenu(page->signupView());
    EXPECT_EQ(menuEntries(menu.get()), (QStringList { "Process", "Reject" }));
}

TEST_F(GeneralTab, filterBoxesWarnReloadAndAreSavedWhenTheWindowCloses)
{
    logOn(QStringLiteral("JS"), {});
    addRequests();
    open();
    page->pendingOnlyBox()->setChecked(false);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().caption, QStringLiteral("Display all records"));
    EXPECT_EQ(prompter.shown().first().icon, Icon::Exclamation);
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("WARNING: This option will display all enquiries")));
    EXPECT_EQ(page->quoteView()->model()->rowCount(), 3) << "the request being processed is listed";

    page->pendingOnlyBox()->setChecked(true);
    EXPECT_EQ(prompter.shown().size(), 1) << "ticking it again does not warn";
    page->accManagerBox()->setChecked(true);
    EXPECT_EQ(page->quoteView()->model()->rowCount(), 1);
    EXPECT_EQ(page->orderView()->model()->rowCount(), 1);
    EXPECT_EQ(page->signupView()->model()->rowCount(), 1);
    page->b2cOnlyBox()->setChecked(true);
    EXPECT_EQ(page->orderView()->model()->rowCount(), 0);

    ASSERT_TRUE(monitor->requestClose());
    const config::ConsoleFilters saved = config::readConsoleFilters(ctx.paths.localIni, trace);
    EXPECT_TRUE(saved.accManager);
    EXPECT_TRUE(saved.b2cOnly);

    // The next window starts with them.
    page.reset();
    open();
    EXPECT_TRUE(page->accManagerBox()->isChecked());
    EXPECT_TRUE(page->b2cOnlyBox()->isChecked());
    EXPECT_TRUE(page->pendingOnlyBox()->isChecked());
    EXPECT_EQ(page->quoteView()->model()->rowCount(), 1);
}

TEST_F(GeneralTab, processingButtonsRunTheirHandlerOnTheRequestReadAgainWhileTheCountdownIsHeld)
{
    addRequests();
    open();
    QList<std::pair<RequestAction, qint32>> ran;
    bool held = false;
    page->setActionHandler([&](RequestAction a, const bizlib::Record &r) {
        ran << std::pair { a, r.toLong(a == RequestAction::ProcessQuote ? "QuoteID" : "OrderID") };
        held = monitor->cycle().isHeld() && monitor->isProcessing();
    });
    button(RequestAction::ProcessQuote)->click();
    ASSERT_EQ(ran.size(), 1);
    EXPECT_EQ(ran.first(), std::pair(RequestAction::ProcessQuote, quote1));
    EXPECT_TRUE(held);

    // A row deleted meanwhile: nothing runs; a double-click beeps.
    bizlib::Table quotes(db(), QStringLiteral("WebQuotes"));
    bizlib::Record gone = quotes.newRecord();
    ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quote1 }, gone).isOk());
    ASSERT_TRUE(quotes.remove(gone).isOk());
    page->runAction(RequestAction::ProcessQuote, true);
    EXPECT_EQ(ran.size(), 1);
    EXPECT_EQ(prompter.beeps(), QList<Icon> { Icon::Exclamation });
}

TEST_F(GeneralTab, processOrderOpensTheOrderWindow_andWithoutOneTheUserIsToldPlainly)
{
    addRequests();
    open();
    page->selectList(Focus::Orders);
    selectRow(page->orderView(), 1);
    ASSERT_EQ(lists->attachments().request().id, serviceOrder);
    QList<qint32> processed;
    console::RequestActions::Windows windows;
    windows.processOrder = [&processed](const bizlib::Record &order) {
        processed << order.toLong("OrderID");
        return bizlib::forms::Response::Completed;
    };
    page->setWindows(windows);
    button(RequestAction::ProcessOrder)->click();
    EXPECT_EQ(processed, QList<qint32> { serviceOrder });
    EXPECT_TRUE(prompter.shown().isEmpty());

    page->setWindows({});
    selectRow(page->orderView(), 1);
    ASSERT_EQ(lists->attachments().request().id, serviceOrder);
    button(RequestAction::ProcessOrder)->click();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(
        prompter.lastText(), QStringLiteral("Web order processing is not part of this version of the web console."));
    EXPECT_EQ(processed.size(), 1);
}

TEST_F(GeneralTab, processOrderOnAnUnpaidPrepayOrderGoesOnOnlyWhenTheUserSaysSoAndAMarkingWorks)
{
    using orders::OrderPayment;
    logOn(QStringLiteral("JS"), { bizlib::security::Security::kRightMarkOrdersPaid });
    addRequests();
    // The marking cannot be written: the database refuses it.
    const QString orders = bizlib::Table(db(), QStringLiteral("WebOrders")).def().sqlTable();
    ASSERT_TRUE(
        db().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                      .arg(orders))
            .isOk());
    open();
    page->selectList(Focus::Orders);
    ASSERT_EQ(lists->attachments().request().id, productOrder);
    int windowsRun = 0;
    console::RequestActions::Windows windows;
    windows.processOrder = [&windowsRun](const bizlib::Record &) {
        ++windowsRun;
        return bizlib::forms::Response::Cancelled;
    };
    page->setWindows(windows);
    struct Case
    {
        const char *name;
        int answer;
        QStringList captions; // of the messages shown
        int windowsRun; // the processing window opened (in all, so far)
    };
    const QList<Case> cases {
        { "Continue: processing goes on", 1, { OrderPayment::prepayCaption() }, 1 },
        { "Mark paid, refused: abandoned", 2, { OrderPayment::prepayCaption(), OrderPayment::paidCaption() }, 1 },
        { "Abandon", 3, { OrderPayment::prepayCaption() }, 1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = prompter.shown().size();
        prompter.answer(c.answer);
        button(RequestAction::ProcessOrder)->click();
        QStringList captions;
        for (const auto &shown : prompter.shown().mid(before))
            captions << shown.caption;
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(windowsRun, c.windowsRun);
    }
}

TEST_F(GeneralTab, aResetKeepsTheSelectedRequestSelected)
{
    addRequests();
    addQuote(db(), 4, 0);
    open();
    selectRow(page->quoteView(), 2);
    const qint32 selected = lists->quotes().idAt(2);
    bizlib::Table quotes(db(), QStringLiteral("WebQuotes"));
    bizlib::Record first = quotes.newRecord();
    ASSERT_TRUE(quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quote1 }, first).isOk());
    ASSERT_TRUE(quotes.remove(first).isOk());
    monitor->refreshAndNotify();
    const int row = page->quoteView()->selectionModel()->currentIndex().row();
    EXPECT_EQ(lists->quotes().idAt(row), selected);
}

TEST_F(GeneralTab, attachmentsAndNotesActOnTheCurrentRequest)
{
    logOn(QStringLiteral("JS"), {});
    addRequests();
    open();
    page->selectList(Focus::Orders);
    EXPECT_EQ(lists->attachments().request().id, productOrder);
    EXPECT_FALSE(sheet()->deleteAttachment()->isEnabled()) << "no attachment yet";

    const QString file = dir.filePath(QStringLiteral("proof.pdf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("pdf");
    f.close();
    desktop.choose({ file });
    sheet()->addAttachment()->click();
    ASSERT_EQ(page->detailSheet()->attachmentView()->model()->rowCount(), 1);
    EXPECT_TRUE(sheet()->deleteAttachment()->isEnabled());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("data/orders/70001_proof.pdf"))));
    std::unique_ptr<QMenu> menu = page->contextMenu(sheet()->attachmentView());
    EXPECT_EQ(menuEntries(menu.get()), (QStringList { "Add", "Delete", "Open", "Copy url", "Artwork" }));
    sheet()->copyUrl()->click();
    EXPECT_EQ(desktop.clipboard(), file);

    QList<notes::NoteEditorArgs> edited;
    bool tickWaits = false;
    page->setNoteEditor([&](const notes::NoteEditorArgs &args) {
        edited << args;
        tickWaits = monitor->isProcessing();
        return bizlib::forms::Response::Cancelled;
    });
    sheet()->insertNote()->click();
    ASSERT_EQ(edited.size(), 1);
    EXPECT_TRUE(tickWaits) << "the editor runs as the monitor's modal child";
    EXPECT_EQ(edited.first().note.toLong("OrderID"), productOrder);
    EXPECT_EQ(edited.first().note.toLong("ParentID"), productOrder);
    EXPECT_EQ(edited.first().parentType, QStringLiteral("ORD"));

    // From the quote list's menu the note goes to the quote.
    page->selectList(Focus::Quotes);
    menu = page->contextMenu(page->quoteView());
    ASSERT_EQ(menuEntries(menu.get()), (QStringList { "Process", "Reject", "Insert note" }));
    menu->actions().at(2)->trigger();
    ASSERT_EQ(edited.size(), 2);
    EXPECT_EQ(edited.last().note.toLong("QuoteID"), quote1);
    EXPECT_EQ(edited.last().parentType, QStringLiteral("QTE"));
}

} // namespace
