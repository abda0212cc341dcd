#pragma once

#include "bizlib/Database.h"

namespace bizlib {

// Change notices between workstations: a stamp per channel in the shared database.
// notify() bumps the channel's stamp; changed() tells whether it moved since the last reset().
// Works between processes on one SQLite file and between connections to PostgreSQL alike.
class NetRefresh
{
public:
    NetRefresh(Database &db, QString channel);

    const QString &channel() const { return m_channel; }
    Status notify();
    // The channel's current stamp (0 when nobody has notified yet).
    Status stamp(qint64 *value);
    // True when the stamp differs from the one seen at the last reset(); false on a read failure.
    bool changed();
    // Remembers the current stamp as seen.
    void reset();

private:
    Database &m_db;
    QString m_channel;
    qint64 m_seen = 0;
};

} // namespace bizlib
