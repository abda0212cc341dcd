#pragma once

#include <QtGlobal>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace bizlib {
class Record;
}

namespace console {
class JoinedListModel;
}

namespace console::ui {

// The look of the window's lists: one row selected at a time, the list's row stripes, and, when
// the system configuration's list colours are on, the selection colours (navy text on
// #F5DDAF) and a grey grid.
class ListViews
{
public:
    static constexpr quint32 kSelectedText = 0x000080;
    static constexpr quint32 kSelectedBackground = 0xF5DDAF;
    static constexpr quint32 kGrid = 0xC0C0C0;
    // The selection of a list that is not the current one: muted, so that only the current list's
    // row stands out.
    static constexpr quint32 kMutedSelection = 0xE4E4E4;

    // A view of `model` (through the icon proxy) with the list's stripes.
    static QTableView *make(JoinedListModel *model, bool listColours, QWidget *parent);
    // The same for any list model that names its icons under JoinedListModel::IconRole, with the
    // stripe colour `stripe` (0xRRGGBB; white: no stripes).
    static QTableView *make(QAbstractItemModel *model, quint32 stripe, bool listColours, QWidget *parent);
    // Column widths from the rows loaded: icon-only columns narrow, the others as wide as their
    // contents up to a limit.
    static void fitColumns(QTableView *view);
    // After fitColumns(), for lists with many columns: a column empty in most rows loaded takes
    // only its title's width, and none is wider than `widest` pixels, so that the columns after
    // them stay in view. Texts cut short end in "..." (the list tips them whole).
    static void narrowSparseColumns(QTableView *view, int widest);
    // Marks the list whose buttons and details are in play: its selection in the selection colours
    // and a frame in the highlight colour round it; any other list's selection muted (grey, in the
    // text colour) and a plain frame.
    static void showCurrent(QTableView *view, bool current);
    // The model behind a view made by make().
    static JoinedListModel *model(const QTableView *view);

    // The current row (-1: none): a click makes a row current before it selects it, and a list's
    // rules run on the change of the current row.
    static int currentRow(const QTableView *view);
    // The record of the current row of a view made by make(); null when there is none.
    static const bizlib::Record *currentRecord(const QTableView *view);
    // The row to select after a reset of `model` when the row `row` showing the record `id` was
    // selected before: that record's row (reading further pages while the list holds no more
    // rows than `row`), else the same row or the last one; -1 for an empty list.
    static int rowToKeep(JoinedListModel &model, qint32 id, int row);
};

} // namespace console::ui
