#include "console/ProcessingProblems.h"

#include "bizlib/Record.h"
#include "config/DownloaderReport.h"
#include "quotes/QuoteOutcome.h"

#include <QCryptographicHash>
#include <algorithm>

namespace console {

void ProcessingProblems::add(const QString &request, const QString &reason, const QDateTime &at)
{
    m_entries.prepend({ request, at, reason, true });
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

void ProcessingProblems::addDone(const QString &request, const QString &what, const QDateTime &at)
{
    add(request, what, at);
    m_entries.first().problem = false;
}

QString ProcessingProblems::requestName(qint32 requestNumber)
{
    return QStringLiteral("Web quote request %1").arg(requestNumber);
}

QString ProcessingProblems::madeText(qint32 requestNumber, const quotes::QuoteOutcome &outcome)
{
    QString text = (outcome.rfq ? QStringLiteral("Quote %1 (request for quotation) made from web request %2")
                                : QStringLiteral("Quote %1 made from web request %2"))
                       .arg(outcome.quoteRef)
                       .arg(requestNumber);
    if (!outcome.afterwards.isEmpty())
        text += QStringLiteral("; ") + outcome.afterwards;
    return text;
}

void ProcessingProblems::addAutomaticRun(qint32 requestNumber, const quotes::QuoteOutcome &outcome, const QDateTime &at)
{
    QString what = (outcome.rfq ? QStringLiteral("Quote %1 made automatically (request for quotation)")
                                : QStringLiteral("Quote %1 made automatically"))
                       .arg(outcome.quoteRef);
    if (outcome.afterwards.isEmpty()) {
        addDone(requestName(requestNumber), what, at);
        return;
    }
    add(requestName(requestNumber), what + QStringLiteral("; ") + outcome.afterwards, at);
}

bool ProcessingProblems::addDownload(const config::DownloaderReport &report, const QDateTime &at)
{
    if (!report.failed())
        return false;
    QString reason = report.messages.join(u'\n');
    if (reason.isEmpty())
        reason = QStringLiteral("The attachment downloader ended with exit status %1.").arg(report.exitCode);
    add(QStringLiteral("Attachments of %1").arg(report.subject), reason, at);
    return true;
}

int ProcessingProblems::problemCount() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(), [](const Entry &e) { return e.problem; }));
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
