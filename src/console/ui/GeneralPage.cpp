#include "console/ui/GeneralPage.h"

#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/forms/SelectLibrary.h"
#include "bizlib/security/Security.h"
#include "bizlib/ui/SpellCheckDialog.h"
#include "bizlib/ui/WidgetForms.h"
#include "config/TraceLog.h"
#include "console/AttachmentActions.h"
#include "console/Monitor.h"
#include "console/ProcessingProblems.h"
#include "console/RequestListSet.h"
#include "console/ui/DetailSheet.h"
#include "console/ui/ListViews.h"
#include "console/ui/SplitterMemory.h"
#include "notes/ui/UpdateWebNote.h"
#include "notes/ui/WidgetDesktop.h"
#include "quotes/RequestRejection.h"
#include "quotes/ui/WebQuoteProcess.h"
#include "quotes/ui/WebQuoteReject.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace console::ui {

namespace {

using Focus = RequestLists::Focus;

// Shares of the lists' height: quotes, sign-ups, orders. The detail sheet keeps a modest height of
// its own: a larger window gives its height to the lists.
constexpr int kListShares[] = { 5, 3, 5 };

QPushButton *requestButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setEnabled(false);
    b->hide();
    return b;
}

bool mayMarkPaid(const config::AppContext &ctx)
{
    if (!ctx.db || ctx.glo.user.userId <= 0)
        return false;
    bizlib::security::Security security(*ctx.db);
    return security.hasRight(ctx.glo.user.userId, bizlib::security::Security::kRightMarkOrdersPaid);
}

Focus listOf(RequestAction action)
{
    switch (action) {
    case RequestAction::ProcessQuote:
    case RequestAction::RejectQuote:
        return Focus::Quotes;
    case RequestAction::ProcessSignup:
    case RequestAction::RejectSignup:
        return Focus::Signups;
    default:
        return Focus::Orders;
    }
}

} // namespace

GeneralPage::GeneralPage(config::AppContext &context, RequestListSet &lists, Monitor &monitor, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
    , m_lists(lists)
    , m_monitor(monitor)
    , m_state(mayMarkPaid(context))
{
    const bool colours = m_ctx.brevix.listColours != 0;
    m_ownDesktop = std::make_unique<notes::ui::WidgetDesktop>(this);
    m_desktop = m_ownDesktop.get();
    m_attachmentActions
        = std::make_unique<AttachmentActions>(*m_ctx.db, *m_ctx.prompter, *m_desktop, m_ctx.brevix.globalData);
    setNoteEditor({});
    m_actionHandler = [this](RequestAction action, const bizlib::Record &request) {
        switch (action) {
        case RequestAction::ProcessQuote: {
            quotes::QuoteOutcome outcome;
            quotes::ui::WebQuoteProcess::run(m_ctx, request, false, false, this, &outcome);
            if (outcome.response == bizlib::forms::Response::Completed)
                Q_EMIT processed(ProcessingProblems::madeText(request.toLong("Number"), outcome));
            return;
        }
        case RequestAction::RejectQuote:
            if (quotes::ui::WebQuoteReject::run(m_ctx, quotes::RejectionVariant::quote(), request, this)
                == bizlib::forms::Response::Completed)
                Q_EMIT processed(tr("Web quote request %1 rejected").arg(request.toLong("Number")));
            return;
        case RequestAction::MarkPaid:
            payment().markPaidFromList(request.toLong("OrderID"));
            return;
        case RequestAction::ProcessOrder: {
            bizlib::Record order = request;
            if (payment().checkBeforeProcessing(order) == orders::OrderPayment::Decision::Abandon)
                return;
            break;
        }
        default:
            break;
        }
        m_ctx.prompter->alert(tr("%1 is not part of this version of the web console.").arg(requestActionName(action)),
            tr("Not available"), bizlib::Prompter::Icon::Information);
    };

    m_quotes = ListViews::make(&lists.quotes(), colours, this);
    m_signups = ListViews::make(&lists.signups(), colours, this);
    m_orders = ListViews::make(&lists.orders(), colours, this);
    m_quotes->setObjectName(QStringLiteral("quoteList"));
    m_signups->setObjectName(QStringLiteral("signupList"));
    m_orders->setObjectName(QStringLiteral("orderList"));
    m_sheet = new DetailSheet(lists, colours, this);

    const auto make = [this](RequestAction action, const QString &text, const QString &name) {
        QPushButton *b = requestButton(text, name, this);
        m_buttons.insert(action, b);
        connect(b, &QPushButton::clicked, this, [this, action] { runAction(action); });
        return b;
    };
    QList<QPushButton *> quoteButtons { make(
                                            RequestAction::ProcessQuote, tr("Process"), QStringLiteral("processQuote")),
        make(RequestAction::RejectQuote, tr("Reject"), QStringLiteral("rejectQuote")) };
    QList<QPushButton *> signupButtons { make(RequestAction::ProcessSignup, tr("Process"),
                                             QStringLiteral("processSignup")),
        make(RequestAction::RejectSignup, tr("Reject"), QStringLiteral("rejectSignup")) };
    QList<QPushButton *> orderButtons { make(
                                            RequestAction::ProcessOrder, tr("Process"), QStringLiteral("processOrder")),
        make(RequestAction::RejectOrder, tr("Reject"), QStringLiteral("rejectOrder")),
        make(RequestAction::MarkPaid, tr("Paid"), QStringLiteral("markPaid")) };

    auto *split = m_split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    split->addWidget(listBox(tr("Web quote requests"), m_quotes, quoteButtons));
    split->addWidget(listBox(tr("Web sign-ups"), m_signups, signupButtons));
    split->addWidget(listBox(tr("Web orders"), m_orders, orderButtons));
    split->addWidget(m_sheet);
    for (const int part : { 0, 1, 2 })
        split->setStretchFactor(part, kListShares[part]);
    split->setStretchFactor(3, 0);
    m_splitMemory = new SplitterMemory(split, m_ctx.paths.windowIni, QStringLiteral("WebConsole"),
        QStringLiteral("GeneralSplitter"), m_ctx.trace);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBar());
    layout->addWidget(split, 1);

    watchList(m_quotes, Focus::Quotes);
    watchList(m_signups, Focus::Signups);
    watchList(m_orders, Focus::Orders);
    for (QTableView *v : { m_sheet->itemView(), m_sheet->attachmentView(), m_sheet->noteView() })
        watchList(v, Focus::Elsewhere);

    connect(m_sheet->addAttachment(), &QPushButton::clicked, this, &GeneralPage::addAttachments);
    connect(m_sheet->deleteAttachment(), &QPushButton::clicked, this, &GeneralPage::deleteAttachment);
    connect(m_sheet->openAttachment(), &QPushButton::clicked, this, &GeneralPage::openAttachment);
    connect(m_sheet->copyUrl(), &QPushButton::clicked, this, &GeneralPage::copyAttachmentUrl);
    connect(m_sheet->artwork(), &QPushButton::clicked, this, &GeneralPage::toggleArtwork);
    connect(m_sheet->insertNote(), &QPushButton::clicked, this, &GeneralPage::insertNote);
    connect(m_sheet->changeNote(), &QPushButton::clicked, this, &GeneralPage::changeNote);
    connect(m_sheet->deleteNote(), &QPushButton::clicked, this, &GeneralPage::deleteNote);
    connect(m_sheet->noteView(), &QTableView::doubleClicked, this, &GeneralPage::changeNote);
    connect(m_sheet->attachmentView(), &QTableView::doubleClicked, this, &GeneralPage::openAttachment);

    // The lists start with the filters read when the window opened, and the quote list is the
    // current list (it gets the focus when the tab is first shown). The lists are read by the
    // monitor's first refresh; each then starts on its first row.
    m_lists.setFilters({ m_monitor.accManagerFilter(), true, m_monitor.b2cOnlyFilter() }, false);
    m_lists.setFocus(Focus::Quotes);
    m_state.selectList(Focus::Quotes);
    applyControls();
}

GeneralPage::~GeneralPage() = default;

void GeneralPage::setNoteEditor(NoteActions::Editor editor)
{
    if (!editor) {
        editor = [this](const notes::NoteEditorArgs &args) {
            notes::WebNoteEditor::Services s;
            s.db = m_ctx.db;
            s.prompter = m_ctx.prompter;
            s.userCode = m_ctx.glo.user.userCode;
            s.desktop = m_desktop;
            s.trace = m_ctx.trace;
            s.modalWindows = &m_ctx.modalWindows;
            bizlib::ui::WidgetForms forms(this, m_ctx.trace);
            bizlib::forms::SelectLibrary select(*m_ctx.db, forms, m_ctx.prompter);
            s.select = &select;
            bizlib::ui::SpellCheckDialog speller(this, m_ctx.trace);
            s.speller = &speller;
            return notes::ui::UpdateWebNote::run(s, args, m_ctx.paths.windowIni, this);
        };
    }
    m_noteEditor = editor;
    m_noteActions = std::make_unique<NoteActions>(*m_ctx.prompter, std::move(editor));
}

orders::OrderPayment GeneralPage::payment() const
{
    orders::OrderPayment::Services s;
    s.db = m_ctx.db;
    s.prompter = m_ctx.prompter;
    s.user = m_ctx.glo.user;
    s.noteEditor = m_noteEditor;
    return orders::OrderPayment(std::move(s));
}

void GeneralPage::setDesktop(notes::Desktop *desktop)
{
    m_desktop = desktop ? desktop : m_ownDesktop.get();
    m_attachmentActions
        = std::make_unique<AttachmentActions>(*m_ctx.db, *m_ctx.prompter, *m_desktop, m_ctx.brevix.globalData);
}

QPushButton *GeneralPage::button(RequestAction action) const
{
    return m_buttons.value(action);
}

QWidget *GeneralPage::filterBar()
{
    auto *bar = new QWidget(this);
    auto *l = new QHBoxLayout(bar);
    l->setContentsMargins(0, 0, 0, 0);
    m_accManager = new QCheckBox(tr("Only show my accounts"), bar);
    m_pendingOnly = new QCheckBox(tr("Only sho&w pending enquiries"), bar);
    m_b2cOnly = new QCheckBox(tr("Only show B2C orders"), bar);
    m_accManager->setObjectName(QStringLiteral("accManager"));
    m_pendingOnly->setObjectName(QStringLiteral("pendingOnly"));
    m_b2cOnly->setObjectName(QStringLiteral("b2cOnly"));
    m_accManager->setChecked(m_monitor.accManagerFilter());
    m_pendingOnly->setChecked(true);
    m_b2cOnly->setChecked(m_monitor.b2cOnlyFilter());
    connect(m_accManager, &QCheckBox::toggled, this, &GeneralPage::onFilterChanged);
    connect(m_b2cOnly, &QCheckBox::toggled, this, &GeneralPage::onFilterChanged);
    connect(m_pendingOnly, &QCheckBox::toggled, this, &GeneralPage::onPendingOnlyToggled);
    auto *refresh = new QPushButton(tr("&Refresh"), bar);
    refresh->setObjectName(QStringLiteral("refresh"));
    connect(refresh, &QPushButton::clicked, &m_monitor, &Monitor::refreshAndNotify);
    for (QWidget *w : std::initializer_list<QWidget *> { m_accManager, m_pendingOnly, m_b2cOnly })
        l->addWidget(w);
    l->addStretch();
    l->addWidget(refresh);
    return bar;
}

QWidget *GeneralPage::listBox(const QString &title, QTableView *view, const QList<QPushButton *> &buttons)
{
    auto *box = new QWidget(this);
    auto *l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    auto *head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()), box));
    head->addStretch();
    for (QPushButton *b : buttons)
        head->addWidget(b);
    // Keeps the heading's height when every button is hidden.
    auto *strut = new QWidget(box);
    strut->setFixedSize(0, buttons.first()->sizeHint().height());
    head->addWidget(strut);
    l->addLayout(head);
    l->addWidget(view);
    return box;
}

void GeneralPage::watchList(QTableView *view, RequestLists::Focus focus)
{
    JoinedListModel *model = ListViews::model(view);
    auto kept = std::make_shared<std::pair<qint32, int>>(0, -1);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this, view, model, kept] {
        const int row = selectedRow(view);
        *kept = { model->idAt(row), row };
    });
    connect(model, &QAbstractItemModel::modelReset, this,
        [this, view, kept] { afterReset(view, kept->first, kept->second); });
    if (focus == Focus::Elsewhere) {
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
            if (!m_restoring)
                updateDetailButtons();
        });
        return;
    }
    view->setProperty("listFocus", static_cast<int>(focus));
    view->installEventFilter(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, focus] {
        if (!m_restoring)
            newRow(focus);
    });
    connect(view, &QTableView::doubleClicked, this, [this, focus] {
        runAction(focus == Focus::Quotes  ? RequestAction::ProcessQuote
                : focus == Focus::Signups ? RequestAction::ProcessSignup
                                          : RequestAction::ProcessOrder,
            true);
    });
    connect(view, &QTableView::customContextMenuRequested, this, [this, view](const QPoint &pos) {
        std::unique_ptr<QMenu> menu = contextMenu(view);
        if (menu)
            menu->exec(view->viewport()->mapToGlobal(pos));
    });
}

bool GeneralPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto *v = qobject_cast<QTableView *>(watched); v && v->property("listFocus").isValid())
            selectList(static_cast<Focus>(v->property("listFocus").toInt()));
    return QWidget::eventFilter(watched, event);
}

void GeneralPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    m_quotes->setFocus();
    selectList(Focus::Quotes);
    // Once the tab has its real height: the positions the user left, else the lists take all but
    // a modest detail sheet (about seven lines of text).
    QTimer::singleShot(0, this, [this] {
        if (m_splitMemory->restore())
            return;
        const int height = m_split->height();
        const int details = std::clamp(fontMetrics().lineSpacing() * 7 + 60, height / 6, height / 4);
        const int unit = std::max(1, (height - details) / (kListShares[0] + kListShares[1] + kListShares[2]));
        m_split->setSizes({ kListShares[0] * unit, kListShares[1] * unit, kListShares[2] * unit, details });
    });
}

void GeneralPage::fitColumns()
{
    for (QTableView *v :
        { m_quotes, m_signups, m_orders, m_sheet->itemView(), m_sheet->attachmentView(), m_sheet->noteView() })
        ListViews::fitColumns(v);
}

QTableView *GeneralPage::viewOf(RequestLists::Focus list) const
{
    switch (list) {
    case Focus::Quotes:
        return m_quotes;
    case Focus::Signups:
        return m_signups;
    case Focus::Orders:
        return m_orders;
    case Focus::Elsewhere:
        break;
    }
    return nullptr;
}

int GeneralPage::selectedRow(QTableView *view) const
{
    // The current row: a click makes a row current before it selects it, and the new row's rules
    // run on the change of the current row.
    const QModelIndex current = view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

const bizlib::Record *GeneralPage::selectedRecord(QTableView *view) const
{
    const int row = selectedRow(view);
    const JoinedListModel *m = ListViews::model(view);
    return row >= 0 && m && row < m->rowCount() ? &m->record(row) : nullptr;
}

void GeneralPage::selectFirstRow(QTableView *view)
{
    if (view->model()->rowCount() > 0) {
        m_restoring = true;
        view->selectionModel()->setCurrentIndex(
            view->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_restoring = false;
        view->scrollToTop();
    }
    newRow(static_cast<Focus>(view->property("listFocus").toInt()));
}

void GeneralPage::afterReset(QTableView *view, qint32 id, int row)
{
    JoinedListModel *m = ListViews::model(view);
    int target = id != 0 ? m->rowOfId(id) : -1;
    while (target < 0 && id != 0 && m->canFetchMore({}) && m->rowCount() <= row) {
        m->fetchMore({});
        target = m->rowOfId(id);
    }
    if (target < 0 && m->rowCount() > 0)
        target = std::clamp(row, 0, m->rowCount() - 1);
    m_restoring = true;
    if (target >= 0)
        view->selectionModel()->setCurrentIndex(
            view->model()->index(target, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_restoring = false;
    const QVariant focus = view->property("listFocus");
    if (!focus.isValid()) {
        // The detail lists change with every request: their columns follow what they hold.
        if (m->rowCount() > 0)
            ListViews::fitColumns(view);
        updateDetailButtons();
        return;
    }
    // A list that opened empty (automatic processing may have emptied it) has columns fitted to
    // its headers only: its first rows fit them to what it holds.
    if (id == 0 && row < 0 && m->rowCount() > 0)
        ListViews::fitColumns(view);
    // The list's row decides whether its buttons show; the current list then takes the buttons'
    // enabled states and the details back, as it had them before the list was read again.
    const Focus list = static_cast<Focus>(focus.toInt());
    const Focus current = m_state.current();
    takeRow(list);
    if (list != current && current != Focus::Elsewhere) {
        m_state.selectList(current);
        takeRow(current);
    }
    followCurrentRequest();
    applyControls();
}

void GeneralPage::selectList(RequestLists::Focus list)
{
    m_lists.setFocus(list);
    m_state.selectList(list);
    newRow(list);
}

void GeneralPage::takeRow(RequestLists::Focus list)
{
    switch (list) {
    case Focus::Quotes:
        m_state.newQuoteRow(selectedRecord(m_quotes));
        break;
    case Focus::Orders:
        m_state.newOrderRow(selectedRecord(m_orders));
        break;
    case Focus::Signups: {
        const int row = selectedRow(m_signups);
        const bizlib::Record *signup = selectedRecord(m_signups);
        const QString country
            = signup ? m_lists.signups().row(row).of(QStringLiteral("CTY")).text("CountryName") : QString();
        m_state.newSignupRow(signup, country);
        break;
    }
    case Focus::Elsewhere:
        break;
    }
}

void GeneralPage::newRow(RequestLists::Focus list)
{
    if (list == Focus::Elsewhere)
        return;
    takeRow(list);
    followCurrentRequest();
    applyControls();
}

RequestRef GeneralPage::requestForNew() const
{
    return RequestRef::forNew(m_state.current(), selectedRecord(m_quotes), selectedRecord(m_orders));
}

void GeneralPage::followCurrentRequest()
{
    const bizlib::Record *order = selectedRecord(m_orders);
    m_lists.setCurrentOrder(order ? order->toLong("OrderID") : 0);
    const RequestRef ref = RequestRef::forDetails(m_state.current(), selectedRecord(m_quotes), order);
    m_lists.setDetailRequest(ref);
    const bool remarks = ref.kind == RequestRef::Kind::Order && order && order->toLong("NoteID") == 0;
    m_sheet->showRemarks(remarks, remarks ? order->text("Notes") : QString());
    updateDetailButtons();
}

void GeneralPage::updateDetailButtons()
{
    const bool attachment = selectedRow(m_sheet->attachmentView()) >= 0;
    m_sheet->addAttachment()->setEnabled(true);
    for (QPushButton *b :
        { m_sheet->deleteAttachment(), m_sheet->openAttachment(), m_sheet->copyUrl(), m_sheet->artwork() })
        b->setEnabled(attachment);
    // An order without a note shows its remarks instead of the list, but takes its first note.
    m_sheet->insertNote()->setEnabled(requestForNew().isSet());
    const bool note = !m_sheet->showsRemarks() && selectedRow(m_sheet->noteView()) >= 0;
    m_sheet->changeNote()->setEnabled(note);
    m_sheet->deleteNote()->setEnabled(note);
}

void GeneralPage::applyControls()
{
    const GeneralPageState::Controls &c = m_state.controls();
    const auto apply = [this](RequestAction action, const GeneralPageState::Button &b) {
        QPushButton *button = m_buttons.value(action);
        button->setVisible(b.visible);
        button->setEnabled(b.enabled);
    };
    apply(RequestAction::ProcessQuote, c.quoteProcess);
    apply(RequestAction::RejectQuote, c.quoteReject);
    apply(RequestAction::ProcessSignup, c.signupProcess);
    apply(RequestAction::RejectSignup, c.signupReject);
    apply(RequestAction::ProcessOrder, c.orderProcess);
    apply(RequestAction::RejectOrder, c.orderReject);
    apply(RequestAction::MarkPaid, c.paid);
    for (QTableView *v : { m_quotes, m_signups, m_orders })
        ListViews::showCurrent(v, v == viewOf(m_state.current()));
    // The details page stays usable for a sign-up: it shows the sign-up's address.
    m_sheet->setTabEnabled(DetailSheet::AttachmentsPage, c.attachmentsPage);
    m_sheet->setTabEnabled(DetailSheet::NotesPage, c.notesPage);
    if (!m_sheet->isTabEnabled(m_sheet->currentIndex()))
        m_sheet->setCurrentIndex(DetailSheet::DetailsPage);
    m_sheet->showDetails(c.detailsText, c.showItems);
    updateDetailButtons();
}

void GeneralPage::onFilterChanged()
{
    m_monitor.setAccManagerFilter(m_accManager->isChecked());
    m_monitor.setB2cOnlyFilter(m_b2cOnly->isChecked());
    m_lists.setFilters({ m_accManager->isChecked(), m_pendingOnly->isChecked(), m_b2cOnly->isChecked() });
}

void GeneralPage::onPendingOnlyToggled(bool on)
{
    if (!on)
        m_ctx.prompter->alert(
            tr("WARNING: This option will display all enquiries, including those being processed - you should only "
               "use this option in cases where you are recovering data."),
            tr("Display all records"), bizlib::Prompter::Icon::Exclamation);
    onFilterChanged();
}

bool GeneralPage::freshRecord(RequestAction action, bizlib::Record *record)
{
    const Focus list = listOf(action);
    const bizlib::Record *selected = selectedRecord(viewOf(list));
    if (!selected)
        return false;
    const QString table = list == Focus::Quotes ? QStringLiteral("WebQuotes")
        : list == Focus::Signups                ? QStringLiteral("WebSignup")
                                                : QStringLiteral("WebOrders");
    bizlib::Table t(*m_ctx.db, table);
    *record = t.newRecord();
    const int idField = t.def().primary().fields.first();
    return t.fetch(t.def().primary().name, { selected->toLong(idField) }, *record).isOk();
}

void GeneralPage::runAction(RequestAction action, bool fromDoubleClick)
{
    if (action == RequestAction::MarkPaid && !m_state.mayMarkPaid())
        return;
    bizlib::Record request;
    if (!freshRecord(action, &request)) {
        if (fromDoubleClick && selectedRecord(viewOf(listOf(action))))
            m_ctx.prompter->beep(bizlib::Prompter::Icon::Exclamation);
        return;
    }
    m_monitor.runProcessing(
        [&] {
            if (m_actionHandler)
                m_actionHandler(action, request);
            return 0;
        },
        action != RequestAction::RejectSignup);
    afterAction(action);
}

qint32 GeneralPage::currentQuoteId() const
{
    const bizlib::Record *r = selectedRecord(m_quotes);
    return r ? r->toLong("QuoteID") : 0;
}

void GeneralPage::returnToQuote(qint32 quoteId)
{
    if (quoteId != 0 && quoteId != currentQuoteId())
        afterReset(m_quotes, quoteId, selectedRow(m_quotes));
}

bizlib::forms::Response GeneralPage::processQuoteAutomatically(
    const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome)
{
    auto response = bizlib::forms::Response::Cancelled;
    m_monitor.runProcessing([&] {
        response = quotes::ui::WebQuoteProcess::run(m_ctx, request, true, isRfq, this, outcome);
        return static_cast<int>(response);
    });
    afterAction(RequestAction::ProcessQuote);
    return response;
}

void GeneralPage::afterAction(RequestAction action)
{
    switch (action) {
    case RequestAction::ProcessQuote:
        selectFirstRow(m_quotes);
        break;
    case RequestAction::ProcessOrder:
        selectFirstRow(m_orders);
        break;
    case RequestAction::ProcessSignup:
        m_signups->setFocus();
        selectList(Focus::Signups);
        break;
    case RequestAction::RejectQuote:
        newRow(Focus::Quotes);
        break;
    case RequestAction::RejectSignup:
        newRow(Focus::Signups);
        break;
    case RequestAction::RejectOrder:
    case RequestAction::MarkPaid:
        newRow(Focus::Orders);
        break;
    }
}

std::unique_ptr<QMenu> GeneralPage::contextMenu(QTableView *view)
{
    auto menu = std::make_unique<QMenu>(this);
    const auto entry = [&menu](const QString &text, QPushButton *like, const std::function<void()> &run) {
        QAction *a = menu->addAction(text);
        a->setEnabled(like->isEnabled());
        connect(a, &QAction::triggered, menu.get(), run);
    };
    const auto action = [this](RequestAction a) { return [this, a] { runAction(a); }; };
    if (view == m_quotes) {
        entry(tr("Process"), button(RequestAction::ProcessQuote), action(RequestAction::ProcessQuote));
        entry(tr("Reject"), button(RequestAction::RejectQuote), action(RequestAction::RejectQuote));
        entry(tr("Insert note"), m_sheet->insertNote(), [this] { insertNote(); });
    } else if (view == m_signups) {
        entry(tr("Process"), button(RequestAction::ProcessSignup), action(RequestAction::ProcessSignup));
        entry(tr("Reject"), button(RequestAction::RejectSignup), action(RequestAction::RejectSignup));
    } else if (view == m_orders) {
        entry(tr("Process"), button(RequestAction::ProcessOrder), action(RequestAction::ProcessOrder));
        entry(tr("Reject"), button(RequestAction::RejectOrder), action(RequestAction::RejectOrder));
        entry(tr("Insert note"), m_sheet->insertNote(), [this] { insertNote(); });
        entry(tr("Paid"), button(RequestAction::MarkPaid), action(RequestAction::MarkPaid));
    } else if (view == m_sheet->attachmentView()) {
        entry(tr("Add"), m_sheet->addAttachment(), [this] { addAttachments(); });
        entry(tr("Delete"), m_sheet->deleteAttachment(), [this] { deleteAttachment(); });
        entry(tr("Open"), m_sheet->openAttachment(), [this] { openAttachment(); });
        entry(tr("Copy url"), m_sheet->copyUrl(), [this] { copyAttachmentUrl(); });
        entry(tr("Artwork"), m_sheet->artwork(), [this] { toggleArtwork(); });
    } else {
        return nullptr;
    }
    return menu;
}

void GeneralPage::addAttachments()
{
    m_attachmentActions->add(requestForNew());
    m_lists.attachments().reset();
}

void GeneralPage::deleteAttachment()
{
    const bizlib::Record *a = selectedRecord(m_sheet->attachmentView());
    if (a && m_attachmentActions->remove(a->toLong("AttachmentID")))
        m_lists.attachments().reset();
}

void GeneralPage::openAttachment()
{
    if (const bizlib::Record *a = selectedRecord(m_sheet->attachmentView()))
        m_attachmentActions->open(*a);
}

void GeneralPage::copyAttachmentUrl()
{
    if (const bizlib::Record *a = selectedRecord(m_sheet->attachmentView()))
        m_attachmentActions->copyUrl(a->toLong("AttachmentID"));
}

void GeneralPage::toggleArtwork()
{
    const bizlib::Record *a = selectedRecord(m_sheet->attachmentView());
    if (a && m_attachmentActions->toggleArtwork(a->toLong("AttachmentID")))
        m_lists.attachments().reset();
}

void GeneralPage::runNoteEditor(const std::function<bizlib::forms::Response()> &editor)
{
    // The editor runs as the monitor's modal child (the tick waits); afterwards the lists show
    // the table again and the other workstations hear of it.
    m_monitor.runProcessing([&editor] { return static_cast<int>(editor()); }, false);
}

void GeneralPage::insertNote()
{
    if (!m_sheet->insertNote()->isEnabled())
        return;
    const RequestRef owner = requestForNew();
    runNoteEditor([this, owner] { return m_noteActions->insert(owner); });
}

void GeneralPage::changeNote()
{
    const bizlib::Record *selected = selectedRecord(m_sheet->noteView());
    if (!selected)
        return;
    const bizlib::Record note = *selected;
    const RequestRef owner = m_lists.notes().request();
    runNoteEditor([this, note, owner] { return m_noteActions->change(note, owner); });
}

void GeneralPage::deleteNote()
{
    const bizlib::Record *selected = selectedRecord(m_sheet->noteView());
    if (!selected)
        return;
    const bizlib::Record note = *selected;
    const RequestRef owner = m_lists.notes().request();
    if (NoteActions::isPaymentNote(note)) {
        m_noteActions->remove(note, owner); // refused with its message
        return;
    }
    runNoteEditor([this, note, owner] { return m_noteActions->remove(note, owner); });
}

} // namespace console::ui
