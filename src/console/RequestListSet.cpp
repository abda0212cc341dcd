#include "console/RequestListSet.h"

namespace console {

namespace {
QString withoutTrailingBlanks(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return s.left(n);
}
} // namespace

RequestListSet::RequestListSet(bizlib::Database &db, const QString &userCode)
    : m_quotes(std::make_unique<QuoteListModel>(db))
    , m_signups(std::make_unique<SignupListModel>(db))
    , m_orders(std::make_unique<OrderListModel>(db))
    , m_items(std::make_unique<OrderItemListModel>(db))
    , m_attachments(std::make_unique<AttachmentListModel>(db))
    , m_notes(std::make_unique<NoteListModel>(db))
    , m_history(std::make_unique<HistoryListModel>(db))
    , m_userCode(withoutTrailingBlanks(userCode))
{
    applyFilters();
}

RequestListSet::~RequestListSet() = default;

bizlib::Status RequestListSet::applyFilters()
{
    bizlib::Status st = m_quotes->applyFilters(m_filters, m_userCode);
    if (st)
        st = m_signups->applyFilters(m_filters);
    if (st)
        st = m_orders->applyFilters(m_filters, m_userCode);
    return st;
}

bizlib::Status RequestListSet::setFilters(const ListFilters &filters, bool reread)
{
    const ListFilters before = m_filters;
    m_filters = filters;
    const bizlib::Status st = applyFilters();
    if (!reread)
        return st;
    if (before.pendingOnly != filters.pendingOnly || before.accManager != filters.accManager)
        m_quotes->reset();
    if (before.pendingOnly != filters.pendingOnly)
        m_signups->reset();
    if (!(before == filters))
        m_orders->reset();
    return st;
}

void RequestListSet::setCurrentOrder(qint32 orderId)
{
    if (orderId == m_items->orderId() && m_items->query().isClosed() == (orderId == 0))
        return;
    m_items->setOrder(orderId);
    m_items->reset();
}

void RequestListSet::setDetailRequest(const RequestRef &request)
{
    if (!(request == m_attachments->request())) {
        m_attachments->setRequest(request);
        m_attachments->reset();
    }
    if (!(request == m_notes->request())) {
        m_notes->setRequest(request);
        m_notes->reset();
    }
}

void RequestListSet::resetAll()
{
    m_quotes->reset();
    m_signups->reset();
    m_orders->reset();
    m_items->reset();
    m_attachments->reset();
    m_notes->reset();
    m_history->reset();
}

void RequestListSet::resetForRefresh(Focus focus)
{
    m_signups->reset();
    if (focus != Focus::Elsewhere) {
        m_quotes->reset();
        m_orders->reset();
    }
}

RequestLists::Counts RequestListSet::counts() const
{
    Counts c;
    m_quotes->totalCount(&c.quotes);
    m_orders->totalCount(&c.orders);
    m_signups->totalCount(&c.signups);
    return c;
}

} // namespace console
