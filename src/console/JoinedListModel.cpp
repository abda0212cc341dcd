#include "console/JoinedListModel.h"

#include <QScopedValueRollback>

namespace console {

JoinedListModel::JoinedListModel(
    std::unique_ptr<ListQuery> query, QList<ListColumn> columns, quint32 stripeColour, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(std::move(query))
    , m_columns(std::move(columns))
    , m_stripe(stripeColour)
{
    const bizlib::TableDef &def = m_query->def();
    if (def.primaryKey >= 0)
        m_idField = def.primary().fields.value(0, -1);
}

JoinedListModel::~JoinedListModel() = default;

bizlib::Status JoinedListModel::reset()
{
    QList<ListRow> page;
    const bizlib::Status st = m_query->fetch(0, m_pageSize, &page);
    return showFirstPage(m_generation, std::move(page), st);
}

bizlib::Status JoinedListModel::showFirstPage(quint64 generation, QList<ListRow> rows, const bizlib::Status &read)
{
    if (!read) {
        m_lastError = read.message();
        return read;
    }
    if (generation != m_generation)
        return read;
    ++m_generation;
    // Views and testers may ask for more rows from inside the reset's signals; they get them
    // once the first page is in.
    const QScopedValueRollback busy(m_busy, true);
    beginResetModel();
    m_rows = std::move(rows);
    m_lastError.clear();
    m_atEnd = m_rows.size() < m_pageSize;
    endResetModel();
    return read;
}

bizlib::Status JoinedListModel::totalCount(qint64 *count) const
{
    return m_query->count(count);
}

qint32 JoinedListModel::idAt(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_idField < 0)
        return 0;
    return m_rows.at(row).record.toLong(m_idField);
}

int JoinedListModel::rowOfId(qint32 id) const
{
    if (m_idField < 0)
        return -1;
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).record.toLong(m_idField) == id)
            return i;
    return -1;
}

int JoinedListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JoinedListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant JoinedListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ListColumn &c = m_columns.at(index.column());
    const ListRow &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return c.text ? c.text(r) : QString();
    case Qt::ToolTipRole:
        if (c.tip) {
            const QString tip = c.tip(r);
            if (!tip.isEmpty())
                return tip;
        }
        return {};
    case Qt::CheckStateRole:
        if (c.flag)
            return static_cast<int>(c.flag(r) ? Qt::Checked : Qt::Unchecked);
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::Alignment((c.align == ListColumn::Align::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case IconRole:
        if (c.icon) {
            const QString name = c.icon(r);
            if (!name.isEmpty())
                return name;
        }
        return {};
    case IdRole:
        return m_idField < 0 ? QVariant() : QVariant(r.record.toLong(m_idField));
    default:
        return {};
    }
}

QVariant JoinedListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).title;
    return {};
}

bool JoinedListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd && !m_busy;
}

void JoinedListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_atEnd || m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    QList<ListRow> page;
    const bizlib::Status st = m_query->fetch(m_rows.size(), m_pageSize, &page);
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

} // namespace console
