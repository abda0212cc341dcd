#pragma once

#include "bizlib/Status.h"

#include <QString>
#include <functional>

namespace bizlib {
class Database;
}

namespace console {

// Before the website's transactions are synchronised afresh, the business system forgets what it
// sent: the web flag of every quote, order and pro-forma ("PF") invoice header of the web-enabled
// clients is cleared and the whole webtask queue is emptied (tasks of other workstations too).
//
// Steps, each shown through `show(text, value, maximum)`:
//  1. per web-enabled client (in the order of the web-enabled key): "Gathering quote data for
//     synchronisation" over the client's web-flagged quotes (those of type "RFQ" are passed over,
//     as are quotes dated more than 365 days after today), then "Gathering order data ..." and
//     "Gathering header data ..." likewise for orders and "PF" headers;
//  2. "Resetting transaction data for synchronisation": each collected record, read afresh, has its
//     web flag cleared (a record deleted meanwhile is passed over);
//  3. "Resetting all webtasks": every webtask is deleted, one by one;
//  4. "0% complete" at 100.
// `yield` is called every 10 records, so that the window can repaint. The first failure ends the
// reset and is returned; what was done before it stays done.
class TransactionReset
{
public:
    using Show = std::function<void(const QString &text, int value, int maximum)>;

    TransactionReset(bizlib::Database &db, Show show, std::function<void()> yield = {},
        std::function<QString(const QString &)> translate = {});

    bizlib::Status run(qint32 today);

    // What the last run() handled: the records whose flag was cleared (or that had gone or been
    // cleared meanwhile), and the webtasks deleted.
    int quotesReset() const { return m_counts[0]; }
    int ordersReset() const { return m_counts[1]; }
    int headersReset() const { return m_counts[2]; }
    int tasksDeleted() const { return m_tasksDeleted; }

private:
    struct Kind;
    bizlib::Status gather(const Kind &kind, qint32 clientId, qint32 today, QList<qint32> *ids);
    bizlib::Status clearFlags(const Kind &kind, const QList<qint32> &ids, int *done, int total);
    bizlib::Status deleteTasks();
    void step(int done);
    QString tr(const QString &text) const { return m_translate ? m_translate(text) : text; }

    bizlib::Database &m_db;
    Show m_show;
    std::function<void()> m_yield;
    std::function<QString(const QString &)> m_translate;
    int m_counts[3] = { 0, 0, 0 };
    int m_tasksDeleted = 0;
};

} // namespace console
