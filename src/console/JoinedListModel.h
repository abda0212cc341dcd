#pragma once

#include "console/ListColumn.h"
#include "console/ListQuery.h"

#include <QAbstractTableModel>
#include <memory>

namespace console {

// A read-only list model over a ListQuery: the rows are fetched lazily a page at a time
// (canFetchMore/fetchMore), so that a table of 100,000 rows opens as fast as one of ten, and the
// number of matching rows comes from the database (totalCount()).
//
// Besides the display text, tips and check marks (Qt::CheckStateRole) of its columns, the model
// gives the name of a cell's icon under IconRole and, for every row, its record's identifier
// (the first field of the table's primary key) under IdRole. Row stripes are a property of the
// list: stripeColour() is the background of every second row.
class JoinedListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        IconRole = Qt::UserRole + 1, // QString: the icon resource's name, absent when none
        IdRole, // qint32: the row's identifier
    };

    JoinedListModel(
        std::unique_ptr<ListQuery> query, QList<ListColumn> columns, quint32 stripeColour, QObject *parent = nullptr);
    ~JoinedListModel() override;

    ListQuery &query() { return *m_query; }
    const ListQuery &query() const { return *m_query; }
    void setPageSize(int rows) { m_pageSize = rows; }
    int pageSize() const { return m_pageSize; }
    // Background of the striped rows as 0xRRGGBB.
    quint32 stripeColour() const { return m_stripe; }

    // Re-reads the first page (nothing for a closed query). On failure the list keeps the rows
    // it shows and lastError() says why. ListPageRead does the same away from the list's thread.
    bizlib::Status reset();
    // Rows matching the query, counted by the database.
    bizlib::Status totalCount(qint64 *count) const;

    const ListRow &row(int row) const { return m_rows.at(row); }
    const bizlib::Record &record(int row) const { return m_rows.at(row).record; }
    qint32 idAt(int row) const;
    // Row of the loaded record with this identifier, or -1.
    int rowOfId(qint32 id) const;
    const QString &lastError() const { return m_lastError; }
    const ListColumn &column(int column) const { return m_columns.at(column); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    friend class ListPageRead;
    // Shows a first page read when the list stood at `generation`: the rows on success, the
    // error with the rows kept on failure. A list read again since (a later generation) keeps
    // what that read found and only hears of a failure.
    bizlib::Status showFirstPage(quint64 generation, QList<ListRow> rows, const bizlib::Status &read);

    std::unique_ptr<ListQuery> m_query;
    QList<ListColumn> m_columns;
    quint32 m_stripe;
    QList<ListRow> m_rows;
    int m_idField = -1;
    int m_pageSize = 50;
    bool m_atEnd = true;
    bool m_busy = false; // reading: requests for more rows from inside the model's signals wait
    quint64 m_generation = 0; // counts the first pages shown
    QString m_lastError;
};

} // namespace console
