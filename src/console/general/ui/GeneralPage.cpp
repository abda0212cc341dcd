#include "console/general/ui/GeneralPage.h"

#include "bizlib/Prompter.h"
#include "config/TraceLog.h"
#include "console/Monitor.h"
#include "console/general/RequestListSet.h"
#include "console/general/ui/DetailSheet.h"
#include "console/general/ui/RequestWindows.h"
#include "console/ui/ListViews.h"
#include "console/ui/SplitterMemory.h"
#include "notes/ui/WidgetDesktop.h"

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

} // namespace

GeneralPage::GeneralPage(config::AppContext &context, RequestListSet &lists, Monitor &monitor, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
    , m_lists(lists)
    , m_monitor(monitor)
    , m_ownDesktop(std::make_unique<notes::ui::WidgetDesktop>(this))
    , m_actions(context, lists, monitor, *m_ownDesktop, defaultNoteEditor())
    , m_state(m_actions.mayMarkPaid())
{
    const bool colours = m_ctx.brevix.listColours != 0;
    m_actions.setWindows(RequestWindows::make(m_ctx, this));
    m_actions.setNotice([this](const QString &summary) { Q_EMIT processed(summary); });

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

    m_sheet->connectActions(m_actions, [this] { return requestForNew(); });

    // The lists start with the filters read when the window opened, and the quote list is the
    // current list (it gets the focus when the tab is first shown). The lists are read by the
    // monitor's first refresh; each then starts on its first row.
    m_lists.setFilters({ m_monitor.accManagerFilter(), true, m_monitor.b2cOnlyFilter() }, false);
    m_lists.setFocus(Focus::Quotes);
    m_state.selectList(Focus::Quotes);
    applyControls();
}

GeneralPage::~GeneralPage() = default;

NoteActions::Editor GeneralPage::defaultNoteEditor()
{
    return RequestWindows::noteEditor(m_ctx, [this] { return &m_actions.desktop(); }, this);
}

void GeneralPage::setNoteEditor(NoteActions::Editor editor)
{
    m_actions.setNoteEditor(editor ? std::move(editor) : defaultNoteEditor());
}

void GeneralPage::setDesktop(notes::Desktop *desktop)
{
    m_actions.setDesktop(desktop ? *desktop : *m_ownDesktop);
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
        const int row = ListViews::currentRow(view);
        *kept = { model->idAt(row), row };
    });
    connect(model, &QAbstractItemModel::modelReset, this,
        [this, view, kept] { afterReset(view, kept->first, kept->second); });
    if (focus == Focus::Elsewhere) {
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
            if (!m_restoring)
                m_sheet->updateButtons();
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
    const int target = ListViews::rowToKeep(*m, id, row);
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
        m_sheet->updateButtons();
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
        m_state.newQuoteRow(ListViews::currentRecord(m_quotes));
        break;
    case Focus::Orders:
        m_state.newOrderRow(ListViews::currentRecord(m_orders));
        break;
    case Focus::Signups: {
        const int row = ListViews::currentRow(m_signups);
        const bizlib::Record *signup = ListViews::currentRecord(m_signups);
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
    return RequestRef::forNew(
        m_state.current(), ListViews::currentRecord(m_quotes), ListViews::currentRecord(m_orders));
}

void GeneralPage::followCurrentRequest()
{
    const bizlib::Record *order = ListViews::currentRecord(m_orders);
    m_lists.setCurrentOrder(order ? order->toLong("OrderID") : 0);
    const RequestRef ref = RequestRef::forDetails(m_state.current(), ListViews::currentRecord(m_quotes), order);
    m_lists.setDetailRequest(ref);
    const bool remarks = ref.kind == RequestRef::Kind::Order && order && order->toLong("NoteID") == 0;
    m_sheet->showRemarks(remarks, remarks ? order->text("Notes") : QString());
    m_sheet->updateButtons();
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
    m_sheet->updateButtons();
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

void GeneralPage::runAction(RequestAction action, bool fromDoubleClick)
{
    const bizlib::Record *selected = ListViews::currentRecord(viewOf(RequestActions::listOf(action)));
    if (m_actions.run(action, selected, fromDoubleClick) == RequestActions::Outcome::Ran)
        afterAction(action);
}

qint32 GeneralPage::currentQuoteId() const
{
    const bizlib::Record *r = ListViews::currentRecord(m_quotes);
    return r ? r->toLong("QuoteID") : 0;
}

void GeneralPage::returnToQuote(qint32 quoteId)
{
    if (quoteId != 0 && quoteId != currentQuoteId())
        afterReset(m_quotes, quoteId, ListViews::currentRow(m_quotes));
}

bizlib::forms::Response GeneralPage::processQuoteAutomatically(
    const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome)
{
    const auto response = m_actions.processQuoteAutomatically(request, isRfq, outcome);
    afterAction(RequestAction::ProcessQuote);
    return response;
}

void GeneralPage::afterAction(RequestAction action)
{
    // A processed quote request or order has left its list: the list starts again on its first
    // row. Otherwise the action's list takes its current row again.
    const Focus list = RequestActions::listOf(action);
    if (action == RequestAction::ProcessQuote || action == RequestAction::ProcessOrder) {
        selectFirstRow(viewOf(list));
    } else if (action == RequestAction::ProcessSignup) {
        m_signups->setFocus();
        selectList(list);
    } else {
        newRow(list);
    }
}

std::unique_ptr<QMenu> GeneralPage::contextMenu(QTableView *view)
{
    if (view == m_sheet->attachmentView())
        return m_sheet->attachmentMenu(this);
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
        entry(tr("Insert note"), m_sheet->insertNote(), [this] { m_sheet->addNote(); });
    } else if (view == m_signups) {
        entry(tr("Process"), button(RequestAction::ProcessSignup), action(RequestAction::ProcessSignup));
        entry(tr("Reject"), button(RequestAction::RejectSignup), action(RequestAction::RejectSignup));
    } else if (view == m_orders) {
        entry(tr("Process"), button(RequestAction::ProcessOrder), action(RequestAction::ProcessOrder));
        entry(tr("Reject"), button(RequestAction::RejectOrder), action(RequestAction::RejectOrder));
        entry(tr("Insert note"), m_sheet->insertNote(), [this] { m_sheet->addNote(); });
        entry(tr("Paid"), button(RequestAction::MarkPaid), action(RequestAction::MarkPaid));
    } else {
        return nullptr;
    }
    return menu;
}

} // namespace console::ui
