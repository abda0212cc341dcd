#include "bizlib/NetRefresh.h"

namespace bizlib {

NetRefresh::NetRefresh(Database &db, QString channel)
    : m_db(db), m_channel(std::move(channel))
{
}

Status NetRefresh::notify()
{
    return m_db.exec(QStringLiteral("INSERT INTO \"wc_netrefresh\" (\"channel\", \"stamp\") VALUES (?, 1) "
                                    "ON CONFLICT (\"channel\") DO UPDATE SET \"stamp\" = \"wc_netrefresh\".\"stamp\" + 1"),
                     {m_channel});
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

bool NetRefresh::changed()
{
    qint64 now = 0;
    return stamp(&now) && now != m_seen;
}

void NetRefresh::reset()
{
    qint64 now = 0;
    if (stamp(&now))
        m_seen = now;
}

} // namespace bizlib
