#pragma once

#include "console/general/AttachmentListModel.h"
#include "console/HistoryListModel.h"
#include "console/general/ListFilters.h"
#include "console/general/NoteListModel.h"
#include "console/general/OrderItemListModel.h"
#include "console/general/OrderListModel.h"
#include "console/general/QuoteListModel.h"
#include "console/RequestLists.h"
#include "console/general/SignupListModel.h"

#include <memory>

namespace console {

// The lists of the General tab over the business database: the waiting web quote requests,
// sign-ups and web orders with their filters, and the detail lists (the current order's items,
// the current request's attachments and notes), and the webtask history of the Logs tab, which is
// reset with them. Counts come from the database, not from the rows loaded: they are counted
// whenever the quote, order or sign-up list is read.
class RequestListSet : public RequestLists
{
public:
    // `userCode`: the logged-on user's code, for "Only show my accounts".
    explicit RequestListSet(bizlib::Database &db, const QString &userCode = {});
    ~RequestListSet() override;

    QuoteListModel &quotes() { return *m_quotes; }
    SignupListModel &signups() { return *m_signups; }
    OrderListModel &orders() { return *m_orders; }
    OrderItemListModel &items() { return *m_items; }
    AttachmentListModel &attachments() { return *m_attachments; }
    NoteListModel &notes() { return *m_notes; }
    HistoryListModel &history() { return *m_history; }

    // Sets the filters and, when `reread`, re-reads the lists they change: quotes when "pending
    // only" or "my accounts" changed, sign-ups when "pending only" changed, orders when any changed.
    bizlib::Status setFilters(const ListFilters &filters, bool reread = true);
    const ListFilters &filters() const { return m_filters; }
    const QString &userCode() const { return m_userCode; }

    // The detail lists follow: items the order (0: none), attachments and notes the request.
    // Each list is re-read only when what it follows changed.
    void setCurrentOrder(qint32 orderId);
    void setDetailRequest(const RequestRef &request);

    void resetAll() override;
    void resetForRefresh(Focus focus) override;
    Focus focus() const override { return m_focus; }
    void setFocus(Focus focus) { m_focus = focus; }
    Counts counts() const override { return m_counts; }
    // Each read takes the counts too; they are applied unless the lists were counted again on
    // their own thread meanwhile.
    Read readAll() override;
    Read readForRefresh(Focus focus) override;

private:
    bizlib::Status applyFilters();
    Read readOf(const QList<JoinedListModel *> &lists);
    // Counts the quote, order and sign-up lists now.
    void recount();

    std::unique_ptr<QuoteListModel> m_quotes;
    std::unique_ptr<SignupListModel> m_signups;
    std::unique_ptr<OrderListModel> m_orders;
    std::unique_ptr<OrderItemListModel> m_items;
    std::unique_ptr<AttachmentListModel> m_attachments;
    std::unique_ptr<NoteListModel> m_notes;
    std::unique_ptr<HistoryListModel> m_history;
    ListFilters m_filters;
    QString m_userCode;
    Focus m_focus = Focus::Elsewhere;
    Counts m_counts;
    quint64 m_countings = 0; // how often m_counts was set
};

} // namespace console
