#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

namespace bizlib {
class Record;
}
namespace config {
struct DownloaderReport;
}
namespace quotes {
struct QuoteOutcome;
}

namespace console {

// What processing did while nobody watched: the processing list of the monitor window (request,
// time, what happened; the newest first, at most kMaxEntries) with what automatic processing made,
// what failed in it, what was cleaned up after interrupted runs and which attachment downloads
// failed; and the back-off of automatic processing. A request whose automatic processing failed is not tried
// again at every refresh: it waits 1, 2, 4 ... up to 60 minutes, unless its row changes or the
// user asks for it (F5: forgetWaits()).
class ProcessingProblems
{
public:
    struct Entry
    {
        QString request; // "Web quote request 1019"
        QDateTime at;
        QString reason; // what happened
        bool problem = true; // false: a run that did what it should
    };

    static constexpr int kMaxEntries = 200;
    static constexpr int kMaxWaitMinutes = 60;

    // A problem.
    void add(const QString &request, const QString &reason, const QDateTime &at);
    // A run that did what it should.
    void addDone(const QString &request, const QString &what, const QDateTime &at);
    // An automatic run of web quote request `requestNumber` that made a quote: done, or a problem
    // when something after the quote failed.
    void addAutomaticRun(qint32 requestNumber, const quotes::QuoteOutcome &outcome, const QDateTime &at);
    // A downloader run that failed (one that did its work is not listed); true when listed.
    bool addDownload(const config::DownloaderReport &report, const QDateTime &at);
    const QList<Entry> &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    int problemCount() const;
    void clear() { m_entries.clear(); }

    // "Web quote request 1019"
    static QString requestName(qint32 requestNumber);
    // What a completed run made, for the status bar: "Quote 24108 made from web request 1019",
    // followed by what failed afterwards, if anything.
    static QString madeText(qint32 requestNumber, const quotes::QuoteOutcome &outcome);

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
