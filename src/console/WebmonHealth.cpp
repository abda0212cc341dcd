#include "console/WebmonHealth.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Table.h"

#include <QSqlError>
#include <QSqlQuery>

#include <limits>

namespace console {

using bizlib::Status;

namespace {

constexpr qint64 kHour = 3600;

// The quoted column of `field` in the table.
QString col(const bizlib::Table &t, const char *field)
{
    return t.def().sqlColumn(t.def().fieldIndex(QString::fromLatin1(field)));
}

QDateTime stamp(const QVariant &day, const QVariant &time)
{
    const qint32 d = day.toInt();
    if (d <= 0)
        return {};
    return QDateTime(bizlib::DateTime::toDate(d), time.toInt() > 0 ? bizlib::DateTime::toTime(time.toInt()) : QTime(0, 0));
}

// "(date, time) at or after `from`" for a pair of columns, with its parameters appended.
QString since(const QString &date, const QString &time, const QDateTime &from, QVariantList *params)
{
    const qint32 day = bizlib::DateTime::fromDate(from.date());
    *params << day << day << bizlib::DateTime::fromTime(from.time());
    return QStringLiteral("(%1 > ? OR (%1 = ? AND %2 >= ?))").arg(date, time);
}

QString statusIs(const QString &column, const char *word)
{
    return QStringLiteral("UPPER(RTRIM(%1)) = '%2'").arg(column, QLatin1String(word));
}

QString firstLine(const QString &text)
{
    const QString t = text.trimmed();
    const qsizetype end = t.indexOf(u'\n');
    return (end < 0 ? t : t.left(end)).trimmed();
}

struct Reader
{
    bizlib::Database &db;
    Status st;

    // Runs `sql`; `row` takes each row while all is well.
    template<class F>
    void rows(const QString &sql, const QVariantList &params, F row)
    {
        if (!st)
            return;
        QSqlQuery q;
        st = db.exec(sql, params, &q);
        while (st && q.next())
            row(q);
        // Figures from rows cut short would look better than they are.
        if (st && q.lastError().isValid())
            st = Status::error(bizlib::Database::errorText(q.lastError()));
    }
};

} // namespace

Status WebmonHealth::read(bizlib::Database &db, const QDateTime &now, WebmonFigures *out)
{
    WebmonFigures f;
    bizlib::Table tasks(db, QStringLiteral("WebTask"));
    const QString table = tasks.def().sqlTable();
    const QString id = col(tasks, "WebTaskID"), status = col(tasks, "Status"), type = col(tasks, "TaskType"),
                  request = col(tasks, "TaskRequest");
    const QString queuedOn = col(tasks, "TaskDate"), queuedAt = col(tasks, "TaskTime");
    const QString startOn = col(tasks, "StartDate"), startAt = col(tasks, "StartTime");
    const QString restartOn = col(tasks, "RestartDate"), restartAt = col(tasks, "RestartTime");
    const QString endOn = col(tasks, "EndDate"), endAt = col(tasks, "EndTime");
    auto what = [](const QSqlQuery &q, int at) {
        return (q.value(at).toString().trimmed() + u' ' + q.value(at + 1).toString().trimmed()).trimmed();
    };
    Reader r { db, Status::ok() };

    const QString pending = statusIs(status, "PENDING");
    r.rows(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, pending), {},
        [&](const QSqlQuery &q) { f.pending = q.value(0).toLongLong(); });
    if (f.pending > 0)
        r.rows(QStringLiteral("SELECT %1, %2, %3, %4, %5 FROM %6 WHERE %7 ORDER BY %2, %3, %1 LIMIT 1")
                   .arg(id, queuedOn, queuedAt, type, request, table, pending),
            {}, [&](const QSqlQuery &q) {
                f.oldestPending = { q.value(0).toInt(), stamp(q.value(1), q.value(2)), what(q, 3), {} };
                // A task queued without a date still waits: count it from now rather than never.
                if (!f.oldestPending.when.isValid())
                    f.oldestPending.when = now;
            });

    // What started or ended within the last day: the hour's figures, the chart, the last start.
    const QDateTime hourAgo = now.addSecs(-kHour);
    const QDateTime firstHour(now.date(), QTime(now.time().hour(), 0));
    const QDateTime dayAgo = firstHour.addSecs(-(WebmonFigures::Hours - 1) * kHour);
    f.completedPerHour = QList<int>(WebmonFigures::Hours, 0);
    f.failedPerHour = QList<int>(WebmonFigures::Hours, 0);
    QVariantList params;
    const QString touched = since(startOn, startAt, dayAgo, &params) + QStringLiteral(" OR ")
        + since(restartOn, restartAt, dayAgo, &params) + QStringLiteral(" OR ") + since(endOn, endAt, dayAgo, &params);
    r.rows(QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7 FROM %8 WHERE %9")
               .arg(status, startOn, startAt, restartOn, restartAt, endOn, endAt, table, touched),
        params, [&](const QSqlQuery &q) {
            const QDateTime started = stamp(q.value(1), q.value(2));
            const QDateTime restarted = stamp(q.value(3), q.value(4));
            const QDateTime latest = std::max(started, restarted);
            if (latest.isValid() && (!f.lastStart.isValid() || latest > f.lastStart))
                f.lastStart = latest;
            if ((started.isValid() && started >= hourAgo) || (restarted.isValid() && restarted >= hourAgo))
                ++f.startedLastHour;
            const QString word = q.value(0).toString().trimmed().toUpper();
            const bool failed = word == QLatin1String("FAILED");
            const QDateTime ended = stamp(q.value(5), q.value(6));
            if (!ended.isValid() || !(failed || word == QLatin1String("COMPLETED")))
                return;
            if (ended >= hourAgo)
                ++f.finishedLastHour;
            const qint64 bucket = dayAgo.secsTo(ended) / kHour;
            if (bucket >= 0 && bucket < WebmonFigures::Hours)
                ++(failed ? f.failedPerHour : f.completedPerHour)[bucket];
        });
    if (!f.lastStart.isValid()) {
        // Nothing started within the day: the last start, however long ago.
        for (const auto &[on, at] : { std::pair(startOn, startAt), std::pair(restartOn, restartAt) })
            r.rows(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 > 0 ORDER BY %1 DESC, %2 DESC LIMIT 1")
                       .arg(on, at, table),
                {}, [&](const QSqlQuery &q) { f.lastStart = std::max(f.lastStart, stamp(q.value(0), q.value(1))); });
    }

    r.rows(QStringLiteral("SELECT %1, %2, %3, %4, %5, %6 FROM %7 WHERE %8 ORDER BY %2 DESC, %3 DESC, %1 DESC LIMIT 1")
               .arg(id, endOn, endAt, type, request, col(tasks, "Comments"), table, statusIs(status, "FAILED")),
        {}, [&](const QSqlQuery &q) {
            f.lastFailure = { q.value(0).toInt(), stamp(q.value(1), q.value(2)), what(q, 3), firstLine(q.value(5).toString()) };
            // A failure without an end date is still one: it shows, without a time.
            if (!f.lastFailure.when.isValid())
                f.lastFailure.when = QDateTime(QDate(1801, 1, 1), QTime(0, 0));
        });

    struct Arrivals
    {
        const char *table;
        const char *kind;
        const char *date;
        const char *time;
        const char *reference;
    };
    for (const Arrivals &a : { Arrivals { "WebQuotes", "quote request", "CreatedOn", "CreatedAt", "Number" },
             Arrivals { "WebOrders", "web order", "CreatedOn", "CreatedAt", "Number" },
             Arrivals { "WebSignup", "sign-up", "SignupDate", "SignupTime", "Company" } }) {
        bizlib::Table t(db, QString::fromLatin1(a.table));
        r.rows(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %1 > 0 ORDER BY %1 DESC, %2 DESC LIMIT 1")
                   .arg(col(t, a.date), col(t, a.time), col(t, a.reference), t.def().sqlTable()),
            {}, [&](const QSqlQuery &q) {
                const QDateTime when = stamp(q.value(0), q.value(1));
                if (!f.newestArrival.when.isValid() || when > f.newestArrival.when)
                    f.newestArrival = { 0, when, tr(a.kind) + u' ' + q.value(2).toString().trimmed(), {} };
            });
    }
    if (r.st)
        *out = f;
    return r.st;
}

namespace {
struct Waits
{
    qint64 waiting = 0; // how long the oldest waiting task has waited
    qint64 idle = 0; // how long tasks have waited with none started
    bool failedLately = false;
};

Waits waitsOf(const WebmonFigures &f, const QDateTime &now)
{
    Waits w;
    w.waiting = f.pending > 0 && f.oldestPending.when.isValid() ? f.oldestPending.when.secsTo(now) : 0;
    const qint64 sinceStart = f.lastStart.isValid() ? f.lastStart.secsTo(now) : std::numeric_limits<qint64>::max();
    w.idle = std::min(w.waiting, sinceStart);
    w.failedLately = f.lastFailure.when.isValid() && f.lastFailure.when.secsTo(now) < kHour;
    return w;
}
} // namespace

WebmonHealth::Light WebmonHealth::light(const WebmonFigures &f, const QDateTime &now, int stallMinutes)
{
    const qint64 stall = 60 * qint64(std::max(1, stallMinutes));
    const Waits w = waitsOf(f, now);
    if (w.idle >= stall)
        return Light::Red;
    if (w.idle >= stall / 2 || w.waiting >= stall || w.failedLately)
        return Light::Amber;
    return Light::Green;
}

QString WebmonHealth::age(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    if (seconds < 60)
        return tr("%1 s").arg(seconds);
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return tr("%1 min").arg(minutes);
    if (minutes < 48 * 60)
        return minutes % 60 ? tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60) : tr("%1 h").arg(minutes / 60);
    return tr("%1 days").arg(minutes / (24 * 60));
}

namespace {
QString when(const QDateTime &t, const QDateTime &now)
{
    if (t.date().year() <= 1801)
        return WebmonHealth::tr("time unknown");
    const QString at = t.date() == now.date() ? t.toString(QStringLiteral("HH:mm")) : t.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return WebmonHealth::tr("%1, %2 ago").arg(at, WebmonHealth::age(t.secsTo(now)));
}
} // namespace

QStringList WebmonHealth::lines(const WebmonFigures &f, const QDateTime &now)
{
    QStringList out;
    if (f.pending == 0)
        out << tr("Waiting: no webtasks");
    else
        out << (f.pending == 1 ? tr("Waiting: 1 webtask, queued %1 (%2)")
                                       .arg(when(f.oldestPending.when, now), f.oldestPending.what)
                               : tr("Waiting: %1 webtasks, the oldest queued %2 (%3)")
                                       .arg(QString::number(f.pending), when(f.oldestPending.when, now),
                                           f.oldestPending.what));
    out << tr("Last hour: %1 started, %2 finished").arg(f.startedLastHour).arg(f.finishedLastHour);
    out << (f.lastStart.isValid() ? tr("Last start: %1").arg(when(f.lastStart, now)) : tr("Last start: none"));
    if (f.lastFailure.when.isValid()) {
        QString text = tr("Last failure: %1, task %2 (%3)")
                           .arg(when(f.lastFailure.when, now))
                           .arg(f.lastFailure.id)
                           .arg(f.lastFailure.what);
        if (!f.lastFailure.comments.isEmpty())
            text += QStringLiteral(": ") + f.lastFailure.comments.left(120);
        out << text;
    } else {
        out << tr("Last failure: none");
    }
    out << (f.newestArrival.when.isValid()
                   ? tr("Newest arrival: %1 (%2)").arg(when(f.newestArrival.when, now), f.newestArrival.what)
                   : tr("Newest arrival: no request waiting"));
    return out;
}

QString WebmonHealth::reason(Light light, const WebmonFigures &f, const QDateTime &now, int stallMinutes)
{
    const qint64 stall = 60 * qint64(std::max(1, stallMinutes));
    const Waits w = waitsOf(f, now);
    switch (light) {
    case Light::Unknown: return tr("The web monitor's figures could not be read.");
    case Light::Red:
        return tr("Webtasks are waiting and the web monitor has started none for %1 (the limit is %2 minutes).")
            .arg(age(w.idle))
            .arg(stallMinutes);
    case Light::Amber:
        if (w.idle >= stall / 2)
            return tr("Webtasks are waiting and the web monitor has started none for %1.").arg(age(w.idle));
        if (w.waiting >= stall)
            return tr("The web monitor is behind: the oldest webtask has waited %1.").arg(age(w.waiting));
        return tr("A webtask failed within the last hour.");
    case Light::Green: break;
    }
    return f.pending ? tr("The web monitor is working through the webtasks.") : tr("The web monitor is idle: no webtask waits.");
}

} // namespace console
