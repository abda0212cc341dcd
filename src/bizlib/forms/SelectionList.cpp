#include "bizlib/forms/SelectionList.h"

#include "bizlib/Table.h"

#include <stdexcept>

namespace bizlib::forms {

SelectionList::SelectionList(Database &db, Definition definition)
    : m_db(db)
    , m_definition(std::move(definition))
    , m_table(std::make_unique<Table>(m_db, m_definition.table))
    , m_model(std::make_unique<TableListModel>(*m_table, m_definition.key, m_definition.columns))
{
    m_locatorField = m_definition.locatorField.isEmpty() ? m_table->requireKey(m_definition.key).fields.first()
                                                         : m_table->def().fieldIndex(m_definition.locatorField);
    if (m_locatorField < 0)
        throw std::logic_error(
            QStringLiteral("%1 has no field %2").arg(m_definition.table, m_definition.locatorField).toStdString());
}

SelectionList::~SelectionList() = default;

Status SelectionList::open()
{
    m_chosen = Record();
    m_currentRow = -1;
    if (const Status st = m_model->setFilter(m_definition.filter, m_definition.bindings); !st)
        return st;
    m_model->setRange(m_definition.range);
    if (const Status st = m_model->reset(); !st)
        return st;
    if (!m_definition.initialLocator.isEmpty())
        locate(m_definition.initialLocator);
    else
        setCurrentRow(0);
    return Status::ok();
}

int SelectionList::locate(const QString &text)
{
    const QString wanted = text.trimmed();
    const FieldDef &field = m_table->def().fields.at(m_locatorField);
    const std::optional<Decimal> number = field.isText() ? std::nullopt : Decimal::parse(wanted);
    // In a descending key component "not before" means "not greater".
    const KeyDef &key = m_table->requireKey(m_definition.key);
    const qsizetype position = key.fields.indexOf(m_locatorField);
    const bool descending = position >= 0 && key.descending.value(position);
    const auto notBefore = [&](const Record &r) {
        int order = 0;
        if (field.isText())
            order = r.text(m_locatorField).compare(wanted, Qt::CaseInsensitive);
        else if (number)
            order = r.decimal(m_locatorField) < *number ? -1 : (r.decimal(m_locatorField) == *number ? 0 : 1);
        return descending ? order <= 0 : order >= 0;
    };
    if (wanted.isEmpty() || (!field.isText() && !number)) {
        setCurrentRow(0);
        return m_currentRow;
    }
    int row = 0;
    for (;;) {
        for (; row < m_model->rowCount(); ++row) {
            if (notBefore(m_model->record(row))) {
                m_currentRow = row;
                return row;
            }
        }
        if (!m_model->canFetchMore({}))
            break;
        const int before = m_model->rowCount();
        m_model->fetchMore({});
        if (m_model->rowCount() == before)
            break;
    }
    m_currentRow = m_model->rowCount() - 1;
    return m_currentRow;
}

void SelectionList::setCurrentRow(int row)
{
    m_currentRow = row >= 0 && row < m_model->rowCount() ? row : (m_model->rowCount() > 0 ? 0 : -1);
}

bool SelectionList::choose(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return false;
    m_currentRow = row;
    m_chosen = m_model->record(row);
    return true;
}

} // namespace bizlib::forms
