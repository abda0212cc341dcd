#pragma once

#include "bizlib/Table.h"
#include "bizlib/TableListModel.h"
#include "console/RequestLists.h"

#include <memory>

namespace console {

// The three request lists of the General tab over the business database: waiting web quote
// requests, pending sign-ups (not B2C), and waiting web orders, each in its key order with its
// fixed condition. Counts come from the database, not from the rows loaded.
class RequestListSet : public RequestLists
{
public:
    explicit RequestListSet(bizlib::Database &db);
    ~RequestListSet() override;

    bizlib::TableListModel &quotes() { return *m_quotes; }
    bizlib::TableListModel &signups() { return *m_signups; }
    bizlib::TableListModel &orders() { return *m_orders; }

    void resetAll() override;
    void resetForRefresh(Focus focus) override;
    Focus focus() const override { return m_focus; }
    void setFocus(Focus focus) { m_focus = focus; }
    Counts counts() const override;

private:
    std::unique_ptr<bizlib::Table> m_quoteTable;
    std::unique_ptr<bizlib::Table> m_signupTable;
    std::unique_ptr<bizlib::Table> m_orderTable;
    std::unique_ptr<bizlib::TableListModel> m_quotes;
    std::unique_ptr<bizlib::TableListModel> m_signups;
    std::unique_ptr<bizlib::TableListModel> m_orders;
    Focus m_focus = Focus::Elsewhere;
};

} // namespace console
