#pragma once

#include "bizlib/Status.h"

#include <QDateTime>
#include <functional>

namespace config {
class TraceLog;
}

namespace console {

// Whether the database answers the monitor's reads, and what the window says while it does not.
// The first failed read after answers marks the database as not answering since then and writes
// one line to the trace log; further failures only renew the reason; the next read that succeeds
// writes one line and clears the mark.
class StallNotice
{
public:
    // `trace` may be null; `now` gives the wall-clock time (tests give their own).
    explicit StallNotice(config::TraceLog *trace = nullptr, std::function<QDateTime()> now = {});

    // The outcome of one read, asked for at `asked` (default: now), which is when the database
    // stopped answering if it answered until then. True when it changed whether it answers.
    bool report(const bizlib::Status &read, const QDateTime &asked = {});

    bool isAnswering() const { return !m_since.isValid(); }
    const QDateTime &since() const { return m_since; }
    const QString &reason() const { return m_reason; }

    // For the status bar: "Webconsole: the database is not answering (since 14:03:12)"; the day
    // is named too once the time is not of today. Empty while the database answers.
    QString statusText() const;
    // For the tray icon and the status bar's tip: the same with the reason. Empty while the
    // database answers.
    QString problemText() const;

private:
    QString sinceText() const;

    config::TraceLog *m_trace;
    std::function<QDateTime()> m_now;
    QDateTime m_since;
    QString m_reason;
};

} // namespace console
