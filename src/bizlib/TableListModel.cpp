#include "bizlib/TableListModel.h"

#include <QScopedValueRollback>
#include <QSqlQuery>

namespace bizlib {

TableListModel::TableListModel(Table &table, const QString &keyName, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_cursor(table, keyName), m_columns(std::move(columns))
{
    for (const Column &c : m_columns)
        m_columnFields << m_table.def().fieldIndex(c.field);
}

Status TableListModel::setFilter(const QString &expression, const FilterBindings &bindings)
{
    return m_cursor.setFilter(expression, bindings);
}

void TableListModel::setRange(const QVariantList &leading)
{
    m_cursor.setRange(leading);
}

Status TableListModel::fetchPage(QList<Record> *rows) const
{
    const SqlCondition w = m_cursor.where();
    QSqlQuery q;
    const Status st = m_table.database().exec(
        QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT %5 OFFSET %6")
            .arg(m_table.selectList(), m_table.def().sqlTable(),
                 w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.sql, m_cursor.orderBy())
            .arg(m_pageSize)
            .arg(m_rows.size()),
        w.params, &q);
    if (!st)
        return st;
    Status read;
    while (q.next() && read)
        rows->append(m_table.fromQuery(q, 0, &read));
    if (!read)
        return Status::error(QStringLiteral("%1: %2").arg(m_table.def().name, read.message()));
    return Status::ok();
}

Status TableListModel::reset()
{
    // Views and testers may ask for more rows from inside the model's own signals; nothing is
    // fetched until this reset has finished.
    const QScopedValueRollback busy(m_busy, true);
    beginResetModel();
    m_rows.clear();
    m_atEnd = false;
    QList<Record> page;
    const Status st = fetchPage(&page);
    m_lastError = st ? QString() : st.message();
    m_rows = page;
    m_atEnd = !st || page.size() < m_pageSize;
    endResetModel();
    return st;
}

Status TableListModel::totalCount(qint64 *count) const
{
    const SqlCondition w = m_cursor.where();
    QSqlQuery q;
    const Status st = m_table.database().exec(
        QStringLiteral("SELECT COUNT(*) FROM %1%2")
            .arg(m_table.def().sqlTable(), w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.sql),
        w.params, &q);
    if (!st)
        return st;
    *count = q.next() ? q.value(0).toLongLong() : 0;
    return Status::ok();
}

int TableListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TableListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TableListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return {};
    if (role != Qt::DisplayRole)
        return {};
    const Column &c = m_columns.at(index.column());
    const Record &r = m_rows.at(index.row());
    if (c.format)
        return c.format(r);
    const int f = m_columnFields.at(index.column());
    if (f < 0)
        return {};
    if (c.blankWhenZero && !r.table().fields.at(f).isText() && r.decimal(f).isZero())
        return QString();
    return r.text(f);
}

QVariant TableListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).title;
    return {};
}

void TableListModel::setColumnTitle(int column, const QString &title)
{
    if (column < 0 || column >= m_columns.size() || m_columns.at(column).title == title)
        return;
    m_columns[column].title = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

bool TableListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd && !m_busy;
}

void TableListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_atEnd || m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    QList<Record> page;
    const Status st = fetchPage(&page);
    if (!st) {
        m_lastError = st.message();
        m_atEnd = true;
        return;
    }
    m_atEnd = page.size() < m_pageSize;
    if (page.isEmpty())
        return;
    beginInsertRows({}, static_cast<int>(m_rows.size()), static_cast<int>(m_rows.size() + page.size() - 1));
    m_rows += page;
    endInsertRows();
}

} // namespace bizlib
