#include "console/Monitor.h"

#include "bizlib/Clock.h"
#include "bizlib/NetRefresh.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/ConsoleFilters.h"
#include "console/RefreshWorker.h"
#include "data/ChangeNotice.h"

#include <QThread>

namespace console {

Monitor::Monitor(config::AppContext &context, const bizlib::MonotonicClock &clock, RequestLists &lists, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
    , m_lists(lists)
    , m_cycle(clock, RefreshCycle::Hooks{
                         [this] { m_worker ? planRefresh() : refresh(); },
                         [this] { m_worker ? planStatusRefresh() : statusRefresh(); },
                         [this] {
                             if (m_progressPoll)
                                 m_progressPoll();
                         },
                         [this] { return m_ctx.closeConfirmed; },
                         [this] { return m_synchronising; },
                         [this] { Q_EMIT countdownShown(m_cycle.countdownText()); },
                     })
    , m_stall(context.trace)
{
    m_cycle.setInterval(m_ctx.settings.refreshInterval);
    if (m_ctx.db)
        m_net = std::make_unique<bizlib::NetRefresh>(*m_ctx.db, data::changeNoticeChannel(m_ctx.glo.companyNo));
}

Monitor::~Monitor() = default;

void Monitor::open()
{
    m_ctx.web.consoleThread = static_cast<qint32>(reinterpret_cast<quintptr>(QThread::currentThreadId()) & 0x7fffffff);
    if (m_ctx.db) {
        bizlib::Table syconf(*m_ctx.db, QStringLiteral("SYCONF"));
        bizlib::TableCursor first(syconf, syconf.def().primary().name);
        bizlib::Record r;
        if (first.next(r) && r.toLong("StampDate") == 0) {
            r.setLong("StampDate", bizlib::DateTime::today());
            r.setLong("StampTime", bizlib::DateTime::now());
            // Only the stamp, and only while no other workstation has set it first.
            syconf.updateIfUnchanged(r, { QStringLiteral("StampDate") });
        }
    }
    if (m_ctx.trace) {
        const config::ConsoleFilters f = config::readConsoleFilters(m_ctx.paths.localIni, *m_ctx.trace);
        m_accManager = f.accManager;
        m_b2cOnly = f.b2cOnly;
    }
    if (m_net)
        m_net->reset();
}

void Monitor::opened()
{
    refresh();
    statusRefresh();
    m_cycle.setOpened();
}

void Monitor::tick()
{
    if (m_ctx.modalWindows.anyOpen())
        return;
    if (m_worker) {
        m_cycle.tick();
        startTickRead();
        return;
    }
    if (m_cycle.isOpened() && !m_ctx.closeConfirmed)
        checkOtherWorkstations();
    m_cycle.tick();
}

void Monitor::reload(const RequestLists::Read &lists, bool notify)
{
    ++m_reloads;
    const QDateTime asked = QDateTime::currentDateTime();
    Q_EMIT waitingChanged(true);
    std::optional<qint64> before;
    bizlib::Status st;
    if (m_net) {
        qint64 stamp = 0;
        st = m_net->stamp(&stamp);
        if (st)
            before = stamp;
    }
    const bizlib::Status read = lists.read ? lists.read() : bizlib::Status::ok();
    lists.apply();
    Q_EMIT waitingChanged(false);
    report(st ? read : st, asked);
    if (!m_net)
        return;
    if (notify)
        m_net->notifySeen(before);
    else
        m_net->markSeen(before);
}

void Monitor::refresh()
{
    if (m_lastRefreshDate == 0)
        m_lastRefreshDate = bizlib::DateTime::today();
    if (!m_generalTab || m_synchronising)
        return;
    reload(m_lists.readForRefresh(m_lists.focus()), false);
    if (m_alertStep)
        m_alertStep(m_seen);
}

void Monitor::statusRefresh()
{
    Q_EMIT statusShown(statusText());
    m_seen = m_lists.counts();
    // A saved or reloaded interval applies from the next countdown.
    m_cycle.setInterval(m_ctx.settings.refreshInterval);
    m_cycle.statusRefreshed();
    Q_EMIT statusRefreshed();
}

void Monitor::refreshAndNotify()
{
    reload(m_lists.readAll(), true);
    statusRefresh();
}

void Monitor::fullRefresh()
{
    reload(m_lists.readAll(), false);
    // The alert step, when its part supplies it, compares the lists now with the counts seen.
    if (m_alertStep)
        m_alertStep(m_seen);
    // What F5 announced is seen: the next timed refresh does not announce it again.
    m_seen = m_lists.counts();
}

bool Monitor::checkOtherWorkstations()
{
    if (!m_net || !m_net->changed())
        return false;
    reload(m_lists.readAll(), false);
    return true;
}

int Monitor::runProcessing(const std::function<int()> &window, bool holdCountdown)
{
    if (holdCountdown)
        m_cycle.setHold(true);
    int result = 0;
    {
        const config::ModalWindows::Scope open(&m_ctx.modalWindows);
        result = window();
    }
    refreshAndNotify();
    return result;
}

bool Monitor::requestClose()
{
    if (!m_ctx.closeConfirmed && m_ctx.prompter) {
        const bool yes = m_ctx.prompter->askYesNo(
            QStringLiteral("WARNING: If you close the web console window you will not receive notifications of web "
                           "activity... Do you still wish to exit?"),
            QStringLiteral("Confirm close WebConsole"), false);
        if (!yes)
            return false;
    }
    if (m_synchronising && m_syncCancel)
        m_syncCancel();
    if (m_ctx.trace)
        config::writeConsoleFilters(m_ctx.paths.localIni, {m_accManager, m_b2cOnly}, *m_ctx.trace);
    m_ctx.web.consoleThread = 0;
    return true;
}

void Monitor::closeWithoutAsking()
{
    m_ctx.closeConfirmed = true;
    Q_EMIT closeRequested();
}

} // namespace console
