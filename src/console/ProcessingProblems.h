#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

namespace bizlib {
class Record;
}

namespace console {

// What went wrong in processing that nobody was there to see: the "Processing problems" list of
// the monitor window (request, time, reason; the newest first, at most kMaxEntries), and the
// back-off of automatic processing. A request whose automatic processing failed is not tried
// again at every refresh: it waits 1, 2, 4 ... up to 60 minutes, unless its row changes or the
// user asks for it (F5: forgetWaits()).
class ProcessingProblems
{
public:
    struct Entry
    {
        QString request; // "Web quote request 1019"
        QDateTime at;
        QString reason;
    };

    static constexpr int kMaxEntries = 200;
    static constexpr int kMaxWaitMinutes = 60;

    void add(const QString &request, const QString &reason, const QDateTime &at);
    const QList<Entry> &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    void clear() { m_entries.clear(); }

    // Whether automatic processing may try the request `id` (whose row reads `signature` now) at `now`.
    bool mayTry(qint32 id, const QByteArray &signature, const QDateTime &now) const;
    // Automatic processing of `id` failed: the wait before the next try doubles.
    void failed(qint32 id, const QByteArray &signature, const QDateTime &now);
    void succeeded(qint32 id) { m_waits.remove(id); }
    void forgetWaits() { m_waits.clear(); }
    // Minutes `id` waits after its last failure (0: none).
    int waitMinutes(qint32 id) const;

    // What identifies a row as it is now: a change of any of its fields gives another signature.
    static QByteArray signature(const bizlib::Record &row);

private:
    struct Wait
    {
        int minutes = 0;
        QDateTime until;
        QByteArray signature;
    };
    QList<Entry> m_entries;
    QHash<qint32, Wait> m_waits;
};

} // namespace console
