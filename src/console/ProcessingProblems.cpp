#include "console/ProcessingProblems.h"

#include "bizlib/Record.h"

#include <QCryptographicHash>

namespace console {

void ProcessingProblems::add(const QString &request, const QString &reason, const QDateTime &at)
{
    m_entries.prepend({ request, at, reason });
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

bool ProcessingProblems::mayTry(qint32 id, const QByteArray &signature, const QDateTime &now) const
{
    const auto it = m_waits.constFind(id);
    return it == m_waits.constEnd() || it->signature != signature || now >= it->until;
}

void ProcessingProblems::failed(qint32 id, const QByteArray &signature, const QDateTime &now)
{
    Wait &w = m_waits[id];
    // A row that changed since its last failure starts again at the shortest wait.
    w.minutes = (w.minutes == 0 || w.signature != signature) ? 1 : qMin(w.minutes * 2, kMaxWaitMinutes);
    w.signature = signature;
    w.until = now.addSecs(qint64(w.minutes) * 60);
}

int ProcessingProblems::waitMinutes(qint32 id) const
{
    return m_waits.value(id).minutes;
}

QByteArray ProcessingProblems::signature(const bizlib::Record &row)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int i = 0; i < row.fieldCount(); ++i) {
        hash.addData(row.valueAt(i).toString().toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    }
    return hash.result();
}

} // namespace console
