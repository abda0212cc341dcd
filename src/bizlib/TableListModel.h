#pragma once

#include "bizlib/TableCursor.h"

#include <QAbstractTableModel>
#include <QList>
#include <functional>

namespace bizlib {

// A read-only list of one table's rows in key order, for list views.
// Rows are fetched lazily a page at a time (canFetchMore/fetchMore), so a table of 100,000 rows
// opens as fast as one of ten; the row count for alerts comes from the database (totalCount()).
// reset() re-reads from the first row so that changes of other workstations show.
class TableListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString title;
        QString field; // bare or prefixed field name of the table
        // Display text of the value; default: the record's text, empty for 0 when blankWhenZero.
        std::function<QString(const Record &)> format;
        bool blankWhenZero = false;
    };

    TableListModel(Table &table, const QString &keyName, QList<Column> columns, QObject *parent = nullptr);

    // Filter expression in the list syntax; the error message when it does not parse.
    Status setFilter(const QString &expression, const FilterBindings &bindings = {});
    void setRange(const QVariantList &leading);
    void setPageSize(int rows) { m_pageSize = rows; }

    // Re-reads the first page. Returns the first error, if the query failed (the list is then empty).
    Status reset();
    // Rows matching range and filter, counted by the database.
    Status totalCount(qint64 *count) const;

    const Record &record(int row) const { return m_rows.at(row); }
    // Renames a column (the header follows).
    void setColumnTitle(int column, const QString &title);
    const QString &lastError() const { return m_lastError; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    Status fetchPage(QList<Record> *rows) const;

    Table &m_table;
    TableCursor m_cursor;
    QList<Column> m_columns;
    QList<int> m_columnFields;
    QList<Record> m_rows;
    bool m_atEnd = false;
    bool m_busy = false; // a reset or a page is being added
    int m_pageSize = 200;
    QString m_lastError;
};

} // namespace bizlib
