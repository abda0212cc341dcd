#include "console/logs/ui/HistoryPage.h"

#include "bizlib/Prompter.h"
#include "console/HistoryListModel.h"
#include "console/JoinedListSource.h"
#include "console/logs/ui/CommentsView.h"
#include "console/ui/ListViews.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace console::ui {

using Action = data::WebTasks::Action;

HistoryPage::HistoryPage(config::AppContext &context, HistoryListModel &history, QWidget *parent)
    : QWidget(parent)
    , m_ctx(context)
    , m_history(history)
    , m_comments(new CommentsView(this))
    , m_fail(new QPushButton(tr("Fail"), this))
    , m_complete(new QPushButton(tr("Complete"), this))
    , m_retry(new QPushButton(tr("Retry"), this))
    , m_sendTo(new QPushButton(tr("Send To"), this))
    , m_send(ListSender::forWindow(context, this))
{
    m_view = ListViews::make(&m_history, m_ctx.brevix.listColours != 0, this);
    m_view->setToolTip(tr("User history"));
    m_comments->setToolTip(tr("Comments/errors (could contain html)"));
    m_fail->setToolTip(tr("Mark the selected task as failed"));
    m_complete->setToolTip(tr("Mark the selected task as completed"));
    m_retry->setToolTip(tr("Put the selected task back in the queue"));
    m_sendTo->setToolTip(tr("Send the list to a file, e-mail or a printer"));

    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(new QLabel(tr("Comments:"), lower));
    lowerLayout->addWidget(m_comments, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_fail);
    buttons->addWidget(m_complete);
    buttons->addWidget(m_retry);
    buttons->addStretch();
    buttons->addWidget(m_sendTo);
    lowerLayout->addLayout(buttons);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_view);
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split);

    connect(m_fail, &QPushButton::clicked, this, [this] { setStatus(Action::Fail); });
    connect(m_complete, &QPushButton::clicked, this, [this] { setStatus(Action::Complete); });
    connect(m_retry, &QPushButton::clicked, this, [this] { setStatus(Action::Retry); });
    connect(m_sendTo, &QPushButton::clicked, this, &HistoryPage::sendTo);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HistoryPage::showCurrent);
    // The list is reset with the window's other lists: the comments and buttons follow.
    connect(&m_history, &QAbstractItemModel::modelReset, this, [this] {
        if (m_history.rowCount() > 0 && !m_view->currentIndex().isValid())
            m_view->setCurrentIndex(m_view->model()->index(0, 0));
        showCurrent();
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        contextMenu()->exec(m_view->viewport()->mapToGlobal(pos));
    });
    showCurrent();
}

HistoryPage::~HistoryPage() = default;

QPushButton *HistoryPage::button(Action action) const
{
    switch (action) {
    case Action::Fail: return m_fail;
    case Action::Complete: return m_complete;
    case Action::Retry: return m_retry;
    }
    return nullptr;
}

qint32 HistoryPage::selectedTask() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_history.idAt(current.row()) : 0;
}

void HistoryPage::showCurrent()
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() < m_history.rowCount())
        m_comments->showComments(m_history.record(current.row()).text("Comments"));
    else
        m_comments->clear();
    updateButtons();
}

void HistoryPage::updateButtons()
{
    const bool selected = selectedTask() != 0;
    m_fail->setEnabled(selected);
    m_complete->setEnabled(selected);
    m_retry->setEnabled(selected);
    m_sendTo->setEnabled(m_history.rowCount() > 0);
}

void HistoryPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    reload();
    if (!m_fitted && m_history.rowCount() > 0) {
        m_fitted = true;
        ListViews::fitColumns(m_view);
        // The status and the sync attempts stay in view beside mostly empty user columns.
        ListViews::narrowSparseColumns(m_view, 220);
    }
}

void HistoryPage::reload()
{
    const qint32 task = selectedTask();
    m_history.reset();
    const int row = m_history.rowOfId(task);
    if (row >= 0)
        m_view->setCurrentIndex(m_view->model()->index(row, 0));
    showCurrent();
}

void HistoryPage::setStatus(Action action)
{
    const qint32 task = selectedTask();
    if (task == 0)
        return;
    // A task that has gone meanwhile is passed over silently; the list shows what is there now.
    const bizlib::Status st = data::WebTasks(*m_ctx.db).setStatus(task, action);
    if (st.isError() && m_ctx.prompter)
        m_ctx.prompter->alert(st.message(), tr("User history"), bizlib::Prompter::Icon::Hand);
    reload();
}

void HistoryPage::sendTo()
{
    if (m_history.rowCount() == 0 || !m_send)
        return;
    qint64 rows = -1;
    if (!m_history.totalCount(&rows))
        rows = -1;
    m_send(JoinedListSource(m_history, tr("User history")), rows);
}

std::unique_ptr<QMenu> HistoryPage::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction *send = menu->addAction(tr("Send To..."), this, &HistoryPage::sendTo);
    send->setEnabled(m_sendTo->isEnabled());
    menu->addSeparator();
    for (const Action a : { Action::Retry, Action::Complete, Action::Fail }) {
        QAction *entry = menu->addAction(button(a)->text(), this, [this, a] { setStatus(a); });
        entry->setEnabled(button(a)->isEnabled());
    }
    return menu;
}

} // namespace console::ui
