#pragma once

#include "console/RequestLists.h"

#include <QDateTime>
#include <optional>

namespace bizlib {
class Database;
}

namespace console {

// What one tick of the monitor reads, planned on the window's thread and run on the worker's
// (RefreshWorker): the change stamp of the channel first; when it moved since the stamp seen,
// every list (`all`); otherwise the lists of a timed refresh, when one is due (`refresh`). When
// the stamp cannot be read, nothing else is: the database is not answering.
struct TickRead
{
    // Planned.
    bizlib::Database *db = nullptr; // none: no stamp is read
    QString channel;
    std::optional<qint64> seen; // the stamp seen; none: no check for other workstations' notices
    RequestLists::Read all;
    RequestLists::Read refresh; // empty: no timed refresh is due
    bool statusRefresh = false; // a status refresh follows the timed refresh
    quint64 reloads = 0; // the monitor's reloads when planned: a later one makes this read old news

    // Found (run()).
    QDateTime asked; // when the read began
    bizlib::Status status; // the first failure
    std::optional<qint64> before; // the stamp read before the lists
    bool changed = false; // the stamp moved: `all` was read
    bool listsRead = false;

    void run();
    bool refreshDue() const { return bool(refresh.apply); }
};

} // namespace console
