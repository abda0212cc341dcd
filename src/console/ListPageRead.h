#pragma once

#include "console/JoinedListModel.h"

#include <QPointer>
#include <memory>

namespace console {

// The first page of a list read away from the list's thread. Made on the list's thread, it copies
// the list's query as it is then, so that a filter changed meanwhile never reaches a read under
// way; read() may then run on any thread (the database hands each thread its own connection), and
// apply() shows the rows afterwards on the list's thread, as JoinedListModel::reset() would.
// A failed read leaves the list's rows as they are; so does a read the list has overtaken (it was
// read again on its own thread after this one was made), one that never ran, or a list that has
// gone.
class ListPageRead
{
public:
    explicit ListPageRead(JoinedListModel &list);

    // The page, read once; the outcome is also what apply() returns.
    bizlib::Status read();
    bizlib::Status apply();
    const bizlib::Status &status() const { return m_status; }

private:
    QPointer<JoinedListModel> m_list;
    std::unique_ptr<const ListQuery> m_query;
    int m_pageSize;
    quint64 m_generation;
    QList<ListRow> m_rows;
    bizlib::Status m_status;
    bool m_done = false; // read() ran: before, apply() shows nothing
};

} // namespace console
