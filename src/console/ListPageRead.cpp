#include "console/ListPageRead.h"

namespace console {

ListPageRead::ListPageRead(JoinedListModel &list)
    : m_list(&list)
    , m_query(std::make_unique<const ListQuery>(list.query()))
    , m_pageSize(list.pageSize())
    , m_generation(list.m_generation)
{ }

bizlib::Status ListPageRead::read()
{
    m_rows.clear();
    m_status = m_query->fetch(0, m_pageSize, &m_rows);
    m_done = true;
    return m_status;
}

bizlib::Status ListPageRead::apply()
{
    if (!m_list || !m_done)
        return m_status;
    return m_list->showFirstPage(m_generation, std::move(m_rows), m_status);
}

} // namespace console
