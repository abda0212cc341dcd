#pragma once

#include "bizlib/Status.h"

#include <QList>
#include <QObject>
#include <array>
#include <functional>

namespace config {
struct AppContext;
}

namespace console {

class Monitor;

// The Sync tab's logic: which kinds of reference data go to the website, the webtasks that carry
// them ("Syncall", one "All" task or one task per kind), their progress once a second, the end
// of the synchronisation and its cancelling. The web monitor service carries the tasks out; this
// object only queues and follows them through the WebTask table.
//
// A task that can no longer be read (another workstation's transaction reset empties the queue)
// counts as ended, so a synchronisation always comes to an end.
class Synchronisation : public QObject
{
    Q_OBJECT

public:
    // The options in window order.
    enum Option {
        Settings,
        Clients,
        Currencies,
        JobTypes,
        ListOptions,
        Materials,
        Products,
        Results,
        Sizes,
        Templates,
        Towns,
        Transactions,
        OptionCount
    };
    static QString caption(Option option); // "Global Settings && Defaults" ...
    static QString taskType(Option option); // "Defaults", "Client" ...
    // The order in which per-option tasks are queued.
    static const std::array<Option, OptionCount> &queueOrder();
    static bool townsSupported(const config::AppContext &context); // website version 10.6 or higher

    struct Bar
    {
        bool visible = false;
        int value = 0;
        int maximum = 100;
    };

    Synchronisation(config::AppContext &context, Monitor &monitor, QObject *parent = nullptr);
    ~Synchronisation() override;

    // Applies the website version: below 10.6 the Towns option is cleared and cannot be ticked.
    void applyWebVersion();

    bool isSet(Option option) const { return m_flags[option]; }
    bool isAllMarked() const { return m_allMark; }
    // Whether the option's check box may be ticked now: never while busy; Towns only from website
    // version 10.6; Transactions while Clients is not ticked; Templates while Job Types is not.
    bool isEnabled(Option option) const;
    // Ticking by hand: Clients ticks Transactions, Job Types and Materials tick Templates.
    void setOption(Option option, bool on);
    void selectAll();
    void clearAll();

    // Run: the checks and questions, the transaction reset when Transactions is ticked, the tasks.
    void run();
    // The progress poll (once a second while synchronising).
    void poll();
    // Deletes the tasks that have not started; started ones are followed to their end.
    void cancel();

    bool isSynchronising() const { return m_synchronising; }
    bool isCancelling() const { return m_cancelling; }
    bool isResetting() const { return m_resetting; }
    bool isBusy() const { return m_synchronising || m_resetting; }
    bool runEnabled() const;
    bool cancelEnabled() const { return m_synchronising && !m_resetting; }

    const Bar &overallBar() const { return m_overall; }
    const QString &overallText() const { return m_overallText; }
    const Bar &optionBar(Option option) const { return m_bars[option]; }
    qint32 taskId(Option option) const { return m_tasks[option]; }
    qint32 allTaskId() const { return m_allTask; }

    // A synchronisation task that this window does not follow: queued by another workstation, or
    // by this one before it started again. Shown, never cancelled or waited for.
    struct RunningTask
    {
        qint32 id = 0;
        int option = OptionCount; // an Option; OptionCount: the all-in-one "All" task
        bool active = false; // "Active"; otherwise it waits ("Pending")
        int percent = 0; // the number before "%" in its description
        QString text; // its description (80 characters)
        QString user; // who queued it
        bool operator==(const RunningTask &) const = default;
    };
    // Reads the "Syncall" tasks that wait or run ("Pending", "Active", in any letter case), other
    // than those this window follows, in the order they were queued. A read that fails keeps the
    // tasks read last and returns the error.
    bizlib::Status readRunning();
    const QList<RunningTask> &running() const { return m_running; }
    // Whether the monitor's last reads were answered (the database has not stalled).
    bool databaseAnswers() const;
    // The task of `option` that runs elsewhere (nullptr: none); OptionCount asks for "All".
    const RunningTask *runningFor(int option) const;

    // Called every few records of the transaction reset so that the window can repaint (it must
    // not handle user input meanwhile).
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }

Q_SIGNALS:
    void changed(); // flags, bars or texts changed: show them again
    void busyChanged(bool busy); // navigation headers, buttons and the wait cursor follow it

private:
    bool resetTransactions();
    bool queue(const QString &type, qint32 *taskId);
    void endAll();
    void finishCheck();
    void setBusyState();
    bool anySet() const;

    config::AppContext &m_ctx;
    Monitor &m_monitor;
    std::array<bool, OptionCount> m_flags {};
    std::array<qint32, OptionCount> m_tasks {};
    std::array<Bar, OptionCount> m_bars {};
    bool m_allMark = false;
    qint32 m_allTask = 0;
    bool m_synchronising = false;
    bool m_wasSynchronising = false;
    bool m_cancelling = false;
    bool m_resetting = false;
    bool m_busyShown = false;
    Bar m_overall;
    QString m_overallText;
    std::function<void()> m_yield;
    QList<RunningTask> m_running;
};

} // namespace console
