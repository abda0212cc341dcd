#include "console/ui/ListViews.h"

#include "console/JoinedListModel.h"
#include "console/ui/ListDecorationProxy.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

namespace console::ui {

namespace {
QColor rgb(quint32 value)
{
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}
} // namespace

QTableView *ListViews::make(JoinedListModel *model, bool listColours, QWidget *parent)
{
    return make(model, model->stripeColour(), listColours, parent);
}

QTableView *ListViews::make(QAbstractItemModel *model, quint32 stripe, bool listColours, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setModel(new ListDecorationProxy(model, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setWordWrap(false);
    view->setIconSize(QSize(16, 16));
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(22);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Column widths are measured on the first rows only: the lists hold a page or more.
    view->horizontalHeader()->setResizeContentsPrecision(25);

    QPalette p = view->palette();
    const bool striped = stripe != 0xFFFFFF;
    view->setAlternatingRowColors(striped);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    if (striped)
        p.setColor(QPalette::AlternateBase, rgb(stripe));
    if (listColours) {
        for (const QPalette::ColorGroup g : { QPalette::Active, QPalette::Inactive }) {
            p.setColor(g, QPalette::Highlight, rgb(kSelectedBackground));
            p.setColor(g, QPalette::HighlightedText, rgb(kSelectedText));
        }
        view->setShowGrid(true);
        view->setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(rgb(kGrid).name()));
    } else {
        view->setShowGrid(false);
    }
    view->setPalette(p);
    // The selection colours of the current list, which showCurrent() puts back.
    view->setProperty("selectionBackground", p.color(QPalette::Active, QPalette::Highlight));
    view->setProperty("selectionText", p.color(QPalette::Active, QPalette::HighlightedText));
    view->setProperty("baseStyle", view->styleSheet());
    return view;
}

void ListViews::showCurrent(QTableView *view, bool current)
{
    const QVariant shown = view->property("shownCurrent");
    if (shown.isValid() && shown.toBool() == current)
        return;
    view->setProperty("shownCurrent", current);
    const QColor background
        = current ? view->property("selectionBackground").value<QColor>() : rgb(kMutedSelection);
    const QColor text = current ? view->property("selectionText").value<QColor>() : view->palette().color(QPalette::Text);
    QPalette p = view->palette();
    for (const QPalette::ColorGroup g : { QPalette::Active, QPalette::Inactive }) {
        p.setColor(g, QPalette::Highlight, background);
        p.setColor(g, QPalette::HighlightedText, text);
    }
    view->setPalette(p);
    // The same width either way, so that the rows do not move when the current list changes.
    const QColor frame = current ? QApplication::palette().color(QPalette::Active, QPalette::Highlight)
                                 : QApplication::palette().color(QPalette::Active, QPalette::Midlight);
    view->setStyleSheet(view->property("baseStyle").toString()
        + QStringLiteral("QTableView { border: 2px solid %1; selection-background-color: %2; selection-color: %3; }")
              .arg(frame.name(), background.name(), text.name()));
}

JoinedListModel *ListViews::model(const QTableView *view)
{
    auto *proxy = qobject_cast<ListDecorationProxy *>(view->model());
    return proxy ? qobject_cast<JoinedListModel *>(proxy->sourceModel()) : nullptr;
}

void ListViews::fitColumns(QTableView *view)
{
    const JoinedListModel *m = model(view);
    if (!m)
        return;
    view->resizeColumnsToContents();
    const int columns = m->columnCount();
    for (int c = 0; c < columns - 1; ++c) {
        const ListColumn &col = m->column(c);
        if (col.title.isEmpty() && !col.text)
            view->setColumnWidth(c, 24);
        else
            view->setColumnWidth(c, std::min(view->columnWidth(c) + 12, 280));
    }
}

int ListViews::currentRow(const QTableView *view)
{
    const QModelIndex current = view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

const bizlib::Record *ListViews::currentRecord(const QTableView *view)
{
    const int row = currentRow(view);
    const JoinedListModel *m = model(view);
    return row >= 0 && m && row < m->rowCount() ? &m->record(row) : nullptr;
}

int ListViews::rowToKeep(JoinedListModel &model, qint32 id, int row)
{
    int target = id != 0 ? model.rowOfId(id) : -1;
    while (target < 0 && id != 0 && model.canFetchMore({}) && model.rowCount() <= row) {
        model.fetchMore({});
        target = model.rowOfId(id);
    }
    if (target < 0 && model.rowCount() > 0)
        target = std::clamp(row, 0, model.rowCount() - 1);
    return target;
}

} // namespace console::ui

namespace console::ui {

void ListViews::narrowSparseColumns(QTableView *view, int widest)
{
    const QAbstractItemModel *m = view->model();
    const int rows = m->rowCount();
    if (rows == 0)
        return;
    const int measured = std::min(rows, 50);
    QHeaderView *header = view->horizontalHeader();
    for (int c = 0; c < m->columnCount() - 1; ++c) {
        int filled = 0;
        for (int r = 0; r < measured; ++r) {
            const QModelIndex index = m->index(r, c);
            if (!index.data(Qt::DisplayRole).toString().isEmpty() || index.data(Qt::DecorationRole).isValid())
                ++filled;
        }
        int width = view->columnWidth(c);
        if (filled * 2 < measured)
            width = std::min(width,
                header->fontMetrics().horizontalAdvance(m->headerData(c, Qt::Horizontal).toString()) + 24);
        view->setColumnWidth(c, std::min(width, widest));
    }
    view->setTextElideMode(Qt::ElideRight);
}

} // namespace console::ui
