#pragma once

#include "data/ClaimCleanup.h"

#include <QObject>
#include <QTimer>

namespace config {
struct AppContext;
}

namespace console {

// Keeps the claims of this console alive and cleans up after the ones whose holder is gone.
// Every minute (its own timer, which also runs while a processing window is open and the
// monitor's refresh waits): this process's claims are marked seen, and every stale claim
// (ClaimCleanup) is cleaned up: what its run made is removed and its request given back, so that
// a request held by a crashed workstation comes back within minutes without anyone acting. What
// was cleaned is written to the trace log, one line per claim, and told once through cleaned().
class ClaimKeeper : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 60 * 1000;

    explicit ClaimKeeper(config::AppContext &ctx, QObject *parent = nullptr);

    // One round now; the report of what was cleaned (empty when nothing was).
    data::ClaimCleanup::Report runOnce();
    void start(int intervalMs = kIntervalMs);
    void stop();

Q_SIGNALS:
    // Something was cleaned up: `summary` counts what ("1 web request given back; 1 quote, 2 files
    // removed"), `details` says it per claim (which request, who held it since when).
    void cleaned(const QString &summary, const QStringList &details);
    // A round failed (the database did not answer); the next one tries again.
    void failed(const QString &reason);

private:
    config::AppContext &m_ctx;
    QTimer m_timer;
};

} // namespace console
