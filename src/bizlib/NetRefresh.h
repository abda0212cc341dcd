#pragma once

#include "bizlib/Database.h"

#include <optional>

namespace bizlib {

// Change notices between workstations: a stamp per channel in the shared database.
// notify() bumps the channel's stamp; changed() tells whether it moved since it was last seen.
// Works between processes on one SQLite file and between connections to PostgreSQL alike.
//
// A reader that reloads its data on a notice must take the stamp as it was BEFORE the reload:
//     const std::optional<qint64> before = net.read();
//     ... reload ...
//     net.markSeen(before);              // or net.notifySeen(before) to announce a change as well
// A notice that arrives during the reload then still counts as new at the next check; reading
// the stamp after the reload would swallow it.
class NetRefresh
{
public:
    NetRefresh(Database &db, QString channel);

    const QString &channel() const { return m_channel; }
    // Bumps the stamp; `after` (if given) receives the stamp this notice set.
    Status notify(qint64 *after = nullptr);
    // The channel's current stamp (0 when nobody has notified yet).
    Status stamp(qint64 *value);
    // The current stamp, or nullopt when it cannot be read.
    std::optional<qint64> read();
    // True when the stamp differs from the one last seen; false on a read failure.
    bool changed();
    // Remembers `stamp` (read before a reload) as seen; nullopt changes nothing.
    void markSeen(std::optional<qint64> stamp);
    // Notifies after a reload that began with the stamp `before`. The own notice counts as seen
    // only when no other notice came in since `before`; otherwise `before` is what was seen.
    Status notifySeen(std::optional<qint64> before);
    // Remembers the current stamp as seen (when nothing was reloaded since reading it).
    void reset();
    // The stamp last seen (for a check made on another thread: compare a stamp read there).
    qint64 seen() const { return m_seen; }

private:
    Database &m_db;
    QString m_channel;
    qint64 m_seen = 0;
};

} // namespace bizlib
