#pragma once

#include "bizlib/FilterExpression.h"
#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/TableListModel.h"

#include <memory>

namespace bizlib {
class Database;
class Table;
} // namespace bizlib

namespace bizlib::forms {

// The state of one selection list: the rows of a table in the order of one of its keys, narrowed
// by a range and a filter expression, with an incremental locator and the row chosen. The list
// dialog and the scripted lists of the tests both work through it.
class SelectionList
{
public:
    struct Definition
    {
        QString caption;
        QString table; // dictionary name: "Users"
        QString key; // the list's order: "USERKEY"
        QList<TableListModel::Column> columns;
        QString filter; // filter expression (list syntax); empty: all rows
        FilterBindings bindings; // names bound in the filter
        QVariantList range; // values of the key's leading fields
        QString locatorField; // the field the locator searches; empty: the key's first field
        QString initialLocator; // the list opens on the row this text locates
    };

    SelectionList(Database &db, Definition definition);
    ~SelectionList();
    SelectionList(const SelectionList &) = delete;
    SelectionList &operator=(const SelectionList &) = delete;

    // Reads the first page and places the current row (on the initial locator's row, else the
    // first row). Error when the filter does not parse or the table cannot be read.
    Status open();

    const Definition &definition() const { return m_definition; }
    TableListModel &model() { return *m_model; }
    int rowCount() const { return m_model->rowCount(); }
    const Record &recordAt(int row) const { return m_model->record(row); }

    // The incremental locator: the first row, in the list's order, whose locator field is not
    // before `text`, fetching further pages as needed. Texts compare without letter case; a number
    // field compares as a number (a text that is not a number finds the first row); in a
    // descending key component "not before" means "not greater". When every row is before the
    // text: the last row. An empty text: the first row. -1 when the list is empty.
    // The row found becomes the current row.
    int locate(const QString &text);

    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);

    // Select: takes the row's record as the choice. False for a row outside the list.
    bool choose(int row);
    bool hasChoice() const { return m_chosen.isValid(); }
    const Record &chosen() const { return m_chosen; }

private:
    Database &m_db;
    Definition m_definition;
    std::unique_ptr<Table> m_table;
    std::unique_ptr<TableListModel> m_model;
    int m_locatorField = -1;
    int m_currentRow = -1;
    Record m_chosen;
};

} // namespace bizlib::forms
