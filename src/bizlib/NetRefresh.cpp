#include "bizlib/NetRefresh.h"

namespace bizlib {

NetRefresh::NetRefresh(Database &db, QString channel)
    : m_db(db), m_channel(std::move(channel))
{
}

Status NetRefresh::notify(qint64 *after)
{
    // One statement bumps the stamp and says what it became, so no other notice can slip in
    // between the bump and the read.
    QSqlQuery q;
    const Status st = m_db.exec(
        QStringLiteral("INSERT INTO \"wc_netrefresh\" (\"channel\", \"stamp\") VALUES (?, 1) "
                       "ON CONFLICT (\"channel\") DO UPDATE SET \"stamp\" = \"wc_netrefresh\".\"stamp\" + 1 "
                       "RETURNING \"stamp\""),
        {m_channel}, &q);
    if (!st)
        return st;
    const qint64 value = q.next() ? q.value(0).toLongLong() : 0;
    // SQLite ends the statement (and with it its implicit transaction) only when it is finished.
    q.finish();
    if (value <= 0)
        return Status::error(QStringLiteral("The change notice of %1 was not recorded.").arg(m_channel));
    if (after)
        *after = value;
    return Status::ok();
}

Status NetRefresh::stamp(qint64 *value)
{
    QSqlQuery q;
    const Status st = m_db.exec(QStringLiteral("SELECT \"stamp\" FROM \"wc_netrefresh\" WHERE \"channel\" = ?"), {m_channel}, &q);
    if (!st)
        return st;
    *value = q.next() ? q.value(0).toLongLong() : 0;
    return Status::ok();
}

std::optional<qint64> NetRefresh::read()
{
    qint64 now = 0;
    if (!stamp(&now))
        return std::nullopt;
    return now;
}

bool NetRefresh::changed()
{
    const std::optional<qint64> now = read();
    return now && *now != m_seen;
}

void NetRefresh::markSeen(std::optional<qint64> stamp)
{
    if (stamp)
        m_seen = *stamp;
}

Status NetRefresh::notifySeen(std::optional<qint64> before)
{
    qint64 after = 0;
    const Status st = notify(&after);
    markSeen(st && before && after == *before + 1 ? std::optional<qint64>(after) : before);
    return st;
}

void NetRefresh::reset()
{
    markSeen(read());
}

} // namespace bizlib
