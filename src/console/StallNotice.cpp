#include "console/StallNotice.h"

#include "bizlib/DateText.h"
#include "config/TraceLog.h"

namespace console {

StallNotice::StallNotice(config::TraceLog *trace, std::function<QDateTime()> now)
    : m_trace(trace)
    , m_now(now ? std::move(now) : [] { return QDateTime::currentDateTime(); })
{ }

bool StallNotice::report(const bizlib::Status &read, const QDateTime &asked)
{
    if (!read.isError()) {
        if (isAnswering())
            return false;
        const qint64 seconds = m_since.secsTo(m_now());
        if (m_trace)
            m_trace->message(
                QStringLiteral("The database answers again; it did not answer for %1 seconds.").arg(seconds));
        m_since = QDateTime();
        m_reason.clear();
        return true;
    }
    m_reason = read.message();
    if (!isAnswering())
        return false;
    m_since = asked.isValid() ? asked : m_now();
    if (m_trace)
        m_trace->message(QStringLiteral("The database is not answering: ") + m_reason);
    return true;
}

QString StallNotice::sinceText() const
{
    const QString time = m_since.time().toString(QStringLiteral("HH:mm:ss"));
    if (m_since.date() == m_now().date())
        return time;
    return bizlib::DateText().shortDate(m_since.date()) + u' ' + time;
}

QString StallNotice::statusText() const
{
    if (isAnswering())
        return {};
    return QStringLiteral("Webconsole: the database is not answering (since %1)").arg(sinceText());
}

QString StallNotice::problemText() const
{
    if (isAnswering())
        return {};
    return QStringLiteral("The database is not answering since %1: %2").arg(sinceText(), m_reason);
}

} // namespace console
