#include "console/general/RequestListSet.h"

#include "console/ListPageRead.h"

#include <vector>

namespace console {

namespace {

// The pages of some lists and the counts of the quote, order and sign-up lists, read together.
struct ListSetRead
{
    std::vector<ListPageRead> pages;
    ListQuery quotes;
    ListQuery orders;
    ListQuery signups;
    quint64 countings;
    RequestLists::Counts counts;
    bool counted = false;

    bizlib::Status read()
    {
        bizlib::Status first;
        for (ListPageRead &page : pages)
            if (const bizlib::Status st = page.read(); !st && first)
                first = st;
        bizlib::Status st = quotes.count(&counts.quotes);
        if (st)
            st = orders.count(&counts.orders);
        if (st)
            st = signups.count(&counts.signups);
        counted = st.isOk();
        return first ? st : first;
    }
};

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
    recount();
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
    const Read r = readAll();
    r.read();
    r.apply();
}

void RequestListSet::resetForRefresh(Focus focus)
{
    const Read r = readForRefresh(focus);
    r.read();
    r.apply();
}

RequestLists::Read RequestListSet::readAll()
{
    return readOf({ m_quotes.get(), m_signups.get(), m_orders.get(), m_items.get(), m_attachments.get(), m_notes.get(),
        m_history.get() });
}

RequestLists::Read RequestListSet::readForRefresh(Focus focus)
{
    if (focus == Focus::Elsewhere)
        return readOf({ m_signups.get() });
    return readOf({ m_signups.get(), m_quotes.get(), m_orders.get() });
}

RequestLists::Read RequestListSet::readOf(const QList<JoinedListModel *> &lists)
{
    auto r = std::make_shared<ListSetRead>(
        ListSetRead { {}, m_quotes->query(), m_orders->query(), m_signups->query(), m_countings, {}, false });
    for (JoinedListModel *list : lists)
        r->pages.emplace_back(*list);
    return { [r] { return r->read(); },
        [this, r] {
            if (r->counted && r->countings == m_countings) {
                m_counts = r->counts;
                ++m_countings;
            }
            for (ListPageRead &page : r->pages)
                page.apply();
        } };
}

void RequestListSet::recount()
{
    const Read r = readOf({});
    r.read();
    r.apply();
}

} // namespace console
