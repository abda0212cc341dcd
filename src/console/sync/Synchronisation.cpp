#include "console/sync/Synchronisation.h"

#include "bizlib/Clock.h"
#include "bizlib/DataLibrary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/AppContext.h"
#include "console/CompanyDefaults.h"
#include "console/Monitor.h"
#include "console/sync/TransactionReset.h"
#include "data/WebTaskRequests.h"
#include "data/WebTasks.h"

namespace console {

namespace {

using Icon = bizlib::Prompter::Icon;

struct OptionInfo
{
    const char *caption;
    const char *taskType;
};

// In window order.
constexpr OptionInfo kOptions[Synchronisation::OptionCount] = {
    { "Global Settings && Defaults", "Defaults" },
    { "Clients", "Client" },
    { "Currencies", "Currency" },
    { "Job Types (volumes)", "JobType" },
    { "List Options", "ListOption" },
    { "Materials", "Material" },
    { "Products", "Product" },
    { "Results", "Reason" },
    { "Sizes", "Size" },
    { "Templates", "Template" },
    { "Towns", "Town" },
    { "Transactions", "Transactions" },
};

bool ended(const QString &status)
{
    return status.isEmpty() || status == QLatin1String("FAILED") || status == QLatin1String("COMPLETED");
}

} // namespace

QString Synchronisation::caption(Option option)
{
    return QString::fromLatin1(kOptions[option].caption);
}

QString Synchronisation::taskType(Option option)
{
    return QString::fromLatin1(kOptions[option].taskType);
}

const std::array<Synchronisation::Option, Synchronisation::OptionCount> &Synchronisation::queueOrder()
{
    static const std::array<Option, OptionCount> order { Sizes, Settings, Currencies, ListOptions, Results, Materials,
        Products, Clients, JobTypes, Templates, Towns, Transactions };
    return order;
}

bool Synchronisation::townsSupported(const config::AppContext &context)
{
    return context.web.webVersion >= bizlib::Decimal(1060, 2);
}

Synchronisation::Synchronisation(config::AppContext &context, Monitor &monitor, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
    , m_monitor(monitor)
{
    m_monitor.setProgressPoll([this] { poll(); });
    m_monitor.setSyncCancel([this] { cancel(); });
    applyWebVersion();
}

Synchronisation::~Synchronisation()
{
    m_monitor.setProgressPoll({});
    m_monitor.setSyncCancel({});
}

void Synchronisation::applyWebVersion()
{
    if (!townsSupported(m_ctx) && !isBusy())
        m_flags[Towns] = false;
    Q_EMIT changed();
}

bool Synchronisation::isEnabled(Option option) const
{
    if (isBusy())
        return false;
    switch (option) {
    case Towns:
        return townsSupported(m_ctx);
    case Transactions:
        return !m_flags[Clients];
    case Templates:
        return !m_flags[JobTypes];
    default:
        return true;
    }
}

void Synchronisation::setOption(Option option, bool on)
{
    if (!isEnabled(option))
        return;
    m_flags[option] = on;
    if (on && option == Clients)
        m_flags[Transactions] = true;
    if (on && (option == JobTypes || option == Materials))
        m_flags[Templates] = true;
    Q_EMIT changed();
}

void Synchronisation::selectAll()
{
    if (isBusy())
        return;
    m_flags.fill(true);
    m_flags[Towns] = townsSupported(m_ctx);
    m_allMark = true;
    Q_EMIT changed();
}

void Synchronisation::clearAll()
{
    if (isBusy())
        return;
    m_flags.fill(false);
    m_allMark = false;
    Q_EMIT changed();
}

bool Synchronisation::anySet() const
{
    for (const bool f : m_flags) {
        if (f)
            return true;
    }
    return false;
}

bool Synchronisation::runEnabled() const
{
    // Running twice would queue every task twice: Run waits until the synchronisation has ended.
    return !isBusy() && (anySet() || m_allMark);
}

void Synchronisation::run()
{
    if (!runEnabled())
        return;
    m_synchronising = m_wasSynchronising = m_cancelling = false;
    m_allTask = 0;
    m_tasks.fill(0);
    m_bars.fill(Bar {});
    m_overall = Bar {};
    m_overallText.clear();

    bizlib::Prompter *ask = m_ctx.prompter;
    if (m_monitor.lastRefreshDate() == 0) {
        if (ask) {
            ask->alert(QStringLiteral("WARNING: Synchronisation is not possible at this time because the web monitor "
                                      "server is not responding, please startup web monitor and try again."),
                QStringLiteral("Web monitor not responding"), Icon::Exclamation);
        }
        return;
    }
    if (ask
        && !ask->askYesNo(QStringLiteral("WARNING: This will delete and overwrite the data in the website database "
                                         "for the selected file(s)... do you want to continue?"),
            QStringLiteral("Confirm synchronisation"), true))
        return;

    if (m_flags[Transactions] && !resetTransactions()) {
        finishCheck();
        return;
    }

    bool everything = m_allMark;
    for (int o = 0; o < OptionCount; ++o)
        everything = everything && (o == Towns || m_flags[o]);
    if (everything) {
        if (queue(QStringLiteral("All"), &m_allTask)) {
            m_synchronising = true;
            m_overall = Bar { true, 0, 100 };
            m_overallText = QStringLiteral("0% ") + tr("complete");
        }
    } else {
        // Each kind is followed by its own task from here on; the all mark has no task to end it.
        m_allMark = false;
        for (const Option o : queueOrder()) {
            if (!m_flags[o] || (o == Towns && !townsSupported(m_ctx)))
                continue;
            if (queue(taskType(o), &m_tasks[o])) {
                m_synchronising = true;
                m_bars[o] = Bar { true, 0, 100 };
            } else {
                m_flags[o] = false;
            }
        }
    }
    finishCheck();
}

bool Synchronisation::resetTransactions()
{
    m_resetting = true;
    setBusyState();
    m_overall = Bar { true, 0, 100 };
    m_overallText = tr("Preparing to synchronise");
    Q_EMIT changed();
    TransactionReset reset(
        *m_ctx.db,
        [this](const QString &text, int value, int maximum) {
            m_overallText = text;
            m_overall = Bar { true, value, std::max(maximum, 1) };
            Q_EMIT changed();
        },
        m_yield, [](const QString &text) { return tr(text.toUtf8().constData()); });
    const bizlib::Status st = reset.run(bizlib::DateTime::today());
    m_resetting = false;
    m_overall.value = m_overall.maximum;
    if (!st && m_ctx.prompter) {
        m_ctx.prompter->alert(QStringLiteral("The transaction data could not be reset for synchronisation, nothing "
                                             "has been queued: %1")
                                  .arg(st.message()),
            QStringLiteral("Synchronisation"), Icon::Exclamation);
    }
    // The busy state goes on into the queuing; the finish check that follows ends it if need be.
    Q_EMIT changed();
    return st.isOk();
}

bool Synchronisation::queue(const QString &type, qint32 *taskId)
{
    CompanyDefaults defaults;
    CompanyDefaults::read(*m_ctx.db, &defaults);
    bizlib::DataLibrary library(*m_ctx.db, m_ctx.glo.user);
    bizlib::Record created;
    const bizlib::Status st
        = library.webTask(data::WebTaskRequests::synchronise(type, tr("complete"), defaults.webHistory), &created);
    if (!st) {
        if (m_ctx.prompter) {
            m_ctx.prompter->alert(QStringLiteral("The webtask for %1 could not be queued: %2").arg(type, st.message()),
                QStringLiteral("Synchronisation"), Icon::Exclamation);
        }
        return false;
    }
    *taskId = created.toLong("WebTaskID");
    return true;
}

void Synchronisation::endAll()
{
    m_flags.fill(false);
    m_allMark = false;
    m_allTask = 0;
}

void Synchronisation::poll()
{
    if (!m_synchronising)
        return;
    data::WebTasks tasks(*m_ctx.db);
    const auto translate = [](const QString &text) { return tr(text.toUtf8().constData()); };
    if (m_allTask != 0) {
        data::WebTasks::Progress p;
        p.percent = m_overall.value;
        const bizlib::Status st = tasks.progress(m_allTask, &p, translate);
        if (st.isOk()) {
            if (p.status == QLatin1String("ACTIVE"))
                m_overall.visible = true;
            m_overall.value = p.percent;
            m_overallText = p.text;
        }
        // A read error is passed over: the next poll tries again.
        if (st.isNotFound() || (st.isOk() && ended(p.status)))
            endAll();
    }
    for (int o = 0; o < OptionCount; ++o) {
        if (!m_flags[o] || (o == Towns && !townsSupported(m_ctx)))
            continue;
        if (m_tasks[o] == 0) {
            // Without a task of its own the option is carried by the "All" task, or by nothing.
            if (m_allTask == 0)
                m_flags[o] = false;
            continue;
        }
        data::WebTasks::Progress p;
        p.percent = m_bars[o].value;
        const bizlib::Status st = tasks.progress(m_tasks[o], &p, translate);
        if (st.isOk()) {
            if (p.status == QLatin1String("ACTIVE"))
                m_bars[o].visible = true;
            m_bars[o].value = p.percent;
        }
        if (st.isNotFound() || (st.isOk() && ended(p.status))) {
            m_flags[o] = false;
            m_tasks[o] = 0;
        }
    }
    finishCheck();
}

void Synchronisation::cancel()
{
    if (!m_synchronising)
        return;
    m_overallText = tr("Cancelling... please wait");
    m_cancelling = true;
    data::WebTasks tasks(*m_ctx.db);
    bizlib::Table table(*m_ctx.db, QStringLiteral("WebTask"));
    // Deleted, or gone already: either way nothing will carry it out any more.
    const auto withdrawn = [&](qint32 id) {
        bizlib::Record task = table.newRecord();
        task.setLong("WebTaskID", id);
        const bizlib::Status st = tasks.cancelPending(&task);
        return st.isNotFound() || (st.isOk() && task.toLong("WebTaskID") == 0);
    };
    if (m_allTask != 0) {
        if (withdrawn(m_allTask)) {
            endAll();
            m_synchronising = false;
        }
    } else {
        for (int o = 0; o < OptionCount; ++o) {
            if (m_flags[o] && (m_tasks[o] == 0 || withdrawn(m_tasks[o]))) {
                m_flags[o] = false;
                m_tasks[o] = 0;
                m_bars[o] = Bar {};
            }
        }
    }
    finishCheck();
}

void Synchronisation::finishCheck()
{
    if (!anySet() && !m_allMark)
        m_synchronising = false;
    const bool ended = m_wasSynchronising && !m_synchronising;
    m_wasSynchronising = m_synchronising;
    if (ended)
        m_overall.value = m_overall.maximum;
    // The window is released before the closing message, which shows over the full bar.
    setBusyState();
    Q_EMIT changed();
    if (ended && m_ctx.prompter) {
        if (m_cancelling) {
            m_ctx.prompter->alert(
                tr("Synchronisation was cancelled by the user."), tr("Synchronisation cancelled"), Icon::Information);
        } else {
            m_ctx.prompter->alert(tr("Synchronisation complete, unless errors reported."),
                tr("Synchronisation complete"), Icon::Information);
        }
    }
    if (!m_synchronising) {
        m_overall.visible = false;
        m_overallText.clear();
        m_bars.fill(Bar {});
        Q_EMIT changed();
    }
}

bizlib::Status Synchronisation::readRunning()
{
    bizlib::Table table(*m_ctx.db, QStringLiteral("WebTask"));
    bizlib::TableCursor read(table, QStringLiteral("WEBTASKIDKEY"));
    bizlib::Status st = read.setFilter(QStringLiteral("UPPER(CLIP(WTSK:TaskRequest)) = 'SYNCALL' AND "
                                                      "(UPPER(CLIP(WTSK:Status)) = 'PENDING' OR "
                                                      "UPPER(CLIP(WTSK:Status)) = 'ACTIVE')"));
    if (!st)
        return st;
    QList<RunningTask> running;
    bizlib::Record task;
    while ((st = read.next(task))) {
        const qint32 id = task.toLong("WebTaskID");
        if (id == m_allTask || std::find(m_tasks.begin(), m_tasks.end(), id) != m_tasks.end())
            continue;
        const QString type = task.text("TaskType").trimmed();
        int option = -1;
        if (type.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0)
            option = OptionCount;
        for (int o = 0; o < OptionCount && option < 0; ++o) {
            if (type.compare(taskType(static_cast<Option>(o)), Qt::CaseInsensitive) == 0)
                option = o;
        }
        if (option < 0)
            continue; // a kind this console does not offer
        RunningTask r;
        r.id = id;
        r.option = option;
        r.active = task.text("Status").trimmed().toUpper() == QLatin1String("ACTIVE");
        const QString description = task.text("Description");
        r.percent = std::clamp(data::WebTasks::percentOf(description, 0), 0, 100);
        r.text = tr(description.toUtf8().constData()).left(80);
        r.user = task.text("TaskUser").trimmed();
        running << r;
    }
    if (!st.isNotFound())
        return st;
    if (running != m_running) {
        m_running = running;
        Q_EMIT changed();
    }
    return bizlib::Status::ok();
}

bool Synchronisation::databaseAnswers() const
{
    return m_monitor.stall().isAnswering();
}

const Synchronisation::RunningTask *Synchronisation::runningFor(int option) const
{
    for (const RunningTask &r : m_running) {
        if (r.option == option)
            return &r;
    }
    return nullptr;
}

void Synchronisation::setBusyState()
{
    m_monitor.setSynchronising(m_synchronising);
    if (isBusy() != m_busyShown) {
        m_busyShown = isBusy();
        Q_EMIT busyChanged(m_busyShown);
    }
}

} // namespace console
