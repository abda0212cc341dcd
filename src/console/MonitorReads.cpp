// The monitor's reads away from the window's thread, and what it says when the database does not
// answer them (Monitor::readInBackground(), Monitor::stall()).
#include "bizlib/Clock.h"
#include "bizlib/NetRefresh.h"
#include "console/Monitor.h"
#include "console/RefreshWorker.h"
#include "console/TickRead.h"

namespace console {

void Monitor::readInBackground()
{
    if (!m_worker && m_ctx.db)
        m_worker = std::make_unique<RefreshWorker>(m_ctx.db);
}

void Monitor::planRefresh()
{
    if (m_lastRefreshDate == 0)
        m_lastRefreshDate = bizlib::DateTime::today();
    if (m_generalTab && !m_synchronising)
        m_refreshDue = true;
}

void Monitor::planStatusRefresh()
{
    if (!m_refreshDue) {
        statusRefresh();
        return;
    }
    // The countdown starts again now, so that the ticks keep their rhythm while the read is under
    // way; the counts are taken once the refresh before them has been read and shown.
    m_cycle.setInterval(m_ctx.settings.refreshInterval);
    m_cycle.statusRefreshed();
    m_statusDue = true;
}

void Monitor::startTickRead()
{
    const bool check = m_net && m_cycle.isOpened() && !m_ctx.closeConfirmed;
    if (m_worker->isBusy() || (!check && !m_refreshDue))
        return;
    auto read = std::make_shared<TickRead>();
    if (m_net) {
        read->db = m_ctx.db;
        read->channel = m_net->channel();
        if (check)
            read->seen = m_net->seen();
    }
    if (check)
        read->all = m_lists.readAll();
    if (m_refreshDue)
        read->refresh = m_lists.readForRefresh(m_lists.focus());
    read->statusRefresh = m_statusDue;
    read->reloads = m_reloads;
    m_refreshDue = false;
    m_statusDue = false;
    m_worker->start([read] { read->run(); }, [this, read] { showTickRead(*read); });
}

void Monitor::showTickRead(TickRead &read)
{
    report(read.status, read.asked);
    // What was read is old news under a modal window, once the close is confirmed, and after the
    // lists were read again on this thread.
    if (m_ctx.modalWindows.anyOpen() || m_ctx.closeConfirmed || read.reloads != m_reloads)
        return;
    if (read.listsRead) {
        (read.changed ? read.all : read.refresh).apply();
        if (read.status && m_net)
            m_net->markSeen(read.before);
    }
    if (!read.status) {
        // Nothing (or not all) was read: the refresh is read again with the next tick's read.
        m_refreshDue = m_refreshDue || read.refreshDue();
        m_statusDue = m_statusDue || read.statusRefresh;
        return;
    }
    if (read.refreshDue() && m_alertStep)
        m_alertStep(m_seen);
    if (read.statusRefresh) {
        Q_EMIT statusShown(statusText());
        m_seen = m_lists.counts();
        Q_EMIT statusRefreshed();
    }
}

void Monitor::report(const bizlib::Status &read, const QDateTime &asked)
{
    if (!m_stall.report(read, asked))
        return;
    Q_EMIT statusShown(statusText());
    Q_EMIT databaseProblemShown(m_stall.problemText());
}

QString Monitor::statusText() const
{
    return m_stall.isAnswering() ? QStringLiteral("Webconsole: waiting for web activity") : m_stall.statusText();
}

} // namespace console
