#include "console/ui/GeneralPage.h"

#include "console/Monitor.h"
#include "console/RequestListSet.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace console::ui {

namespace {
QTableView *makeView(QAbstractItemModel *model, QWidget *parent)
{
    auto *v = new QTableView(parent);
    v->setModel(model);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setAlternatingRowColors(true);
    v->verticalHeader()->hide();
    v->verticalHeader()->setDefaultSectionSize(22);
    v->horizontalHeader()->setStretchLastSection(true);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return v;
}
} // namespace

GeneralPage::GeneralPage(RequestListSet &lists, Monitor &monitor, QWidget *parent)
    : QWidget(parent)
    , m_lists(lists)
    , m_monitor(monitor)
    , m_quotes(makeView(&lists.quotes(), this))
    , m_signups(makeView(&lists.signups(), this))
    , m_orders(makeView(&lists.orders(), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(listBox(tr("Web quote requests"), m_quotes, int(RequestLists::Focus::Quotes)), 3);
    layout->addWidget(listBox(tr("Web sign-ups"), m_signups, int(RequestLists::Focus::Signups)), 2);
    layout->addWidget(listBox(tr("Web orders"), m_orders, int(RequestLists::Focus::Orders)), 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *refresh = new QPushButton(tr("&Refresh"), this);
    connect(refresh, &QPushButton::clicked, &m_monitor, &Monitor::refreshAndNotify);
    buttons->addWidget(refresh);
    layout->addLayout(buttons);
    for (QTableView *v : {m_quotes, m_signups, m_orders})
        v->installEventFilter(this);
}

void GeneralPage::fitColumns()
{
    for (QTableView *v : {m_quotes, m_signups, m_orders}) {
        v->resizeColumnsToContents();
        for (int c = 0; c < v->model()->columnCount() - 1; ++c)
            v->setColumnWidth(c, std::min(v->columnWidth(c) + 12, 260));
    }
}

QWidget *GeneralPage::listBox(const QString &title, QTableView *view, int focus)
{
    auto *box = new QWidget(this);
    auto *l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    auto *head = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()), box);
    head->addWidget(label);
    head->addStretch();
    for (const QString &text : {tr("&Process"), tr("Re&ject")}) {
        auto *b = new QPushButton(text, box);
        b->setEnabled(false);
        b->setToolTip(tr("Processing windows are not part of this version yet."));
        head->addWidget(b);
    }
    l->addLayout(head);
    l->addWidget(view);
    view->setProperty("listFocus", focus);
    return box;
}

bool GeneralPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto *v = qobject_cast<QTableView *>(watched))
            m_lists.setFocus(static_cast<RequestLists::Focus>(v->property("listFocus").toInt()));
    return QWidget::eventFilter(watched, event);
}

} // namespace console::ui
