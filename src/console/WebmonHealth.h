#pragma once

#include "bizlib/Status.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

namespace bizlib {
class Database;
}

namespace console {

// What the web monitor service has been doing, as the webtask queue and the web tables show it.
// Times are this machine's local time, read from the day numbers and times the service writes.
struct WebmonFigures
{
    static constexpr int Hours = 24; // the chart's span

    struct Task
    {
        qint32 id = 0;
        QDateTime when; // invalid: there is no such task
        QString what; // type and request ("WebQuote Reject")
        QString comments; // a failure's answer from the website, first line
    };

    qint64 pending = 0; // tasks waiting to be started
    Task oldestPending; // when it was queued
    qint64 startedLastHour = 0; // started or restarted within the last hour
    qint64 finishedLastHour = 0; // completed or failed within the last hour
    QDateTime lastStart; // the newest start or restart of any task; invalid: none ever
    Task lastFailure; // when it ended
    Task newestArrival; // the newest request waiting in the web tables, when it arrived; `what`
                        // says its kind and number
    // Tasks that ended in each of the last 24 hours, oldest first; the last is the hour under way.
    QList<int> completedPerHour;
    QList<int> failedPerHour;
};

// The web monitor's health: its figures read from the shared tables, and the status bar's light.
class WebmonHealth
{
    Q_DECLARE_TR_FUNCTIONS(WebmonHealth)

public:
    enum class Light { Unknown, Green, Amber, Red };

    // Reads the figures as of `now`. Reads only (several statements, no transaction): a task that
    // the service moves on meanwhile may be counted in one figure and not yet in another.
    static bizlib::Status read(bizlib::Database &db, const QDateTime &now, WebmonFigures *figures);

    // The light for `figures` read at `now`, with `stallMinutes` (at least 1) the time that tasks
    // may wait while none is started:
    // - red: tasks wait, the oldest for at least `stallMinutes`, and none was started for as long;
    // - amber: the same for half that time, or the oldest has waited `stallMinutes` while tasks
    //   are still started (the service is behind), or a task failed within the last hour;
    // - green otherwise.
    static Light light(const WebmonFigures &figures, const QDateTime &now, int stallMinutes);

    // The figures as lines of text ("Waiting: ...", "Last hour: ...", "Last failure: ...",
    // "Last start: ...", "Newest arrival: ..."), and why the light shows what it shows.
    static QStringList lines(const WebmonFigures &figures, const QDateTime &now);
    static QString reason(Light light, const WebmonFigures &figures, const QDateTime &now, int stallMinutes);
    // "45 s", "12 min", "3 h 5 min", "2 days".
    static QString age(qint64 seconds);
};

} // namespace console
