#pragma once

#include "console/WebmonHealth.h"

#include <QObject>
#include <functional>
#include <memory>

namespace bizlib {
class Database;
}

namespace console {

class RefreshWorker;

// Keeps the web monitor's figures and light up to date for the status bar and the Logs tab:
// each refresh() reads them on a thread of its own (RefreshWorker), so a database that does not
// answer never holds up the window, and shows them when the read comes back.
class WebmonWatch : public QObject
{
    Q_OBJECT

public:
    // `stallMinutes` gives the red light's limit when the figures are judged (a setting that may
    // change while the window is open). `db` must outlive this object.
    WebmonWatch(bizlib::Database &db, std::function<int()> stallMinutes, QObject *parent = nullptr);
    ~WebmonWatch() override;

    // Reads the figures in the background; ignored while a read is under way.
    void refresh();

    // Shows what a read found at `now`: a failed read turns the light Unknown and keeps the
    // figures last read. Emits updated(), and turnedRed() when the light turns red from any other
    // colour than red; a failed read in between does not count as having left red.
    void apply(const bizlib::Status &read, const WebmonFigures &figures, const QDateTime &now);

    WebmonHealth::Light light() const { return m_light; }
    const WebmonFigures &figures() const { return m_figures; }
    QDateTime readAt() const { return m_readAt; } // when the figures shown were read
    int stallMinutes() const { return m_stallMinutes ? std::max(1, m_stallMinutes()) : 10; }
    // The light's reason, the figures' lines and, after a failed read, why it failed.
    QString summary() const;

Q_SIGNALS:
    void updated();
    void turnedRed();

private:
    bizlib::Database &m_db;
    std::function<int()> m_stallMinutes;
    std::unique_ptr<RefreshWorker> m_worker;
    WebmonFigures m_figures;
    WebmonHealth::Light m_light = WebmonHealth::Light::Unknown;
    bool m_wasRed = false;
    QDateTime m_readAt;
    QString m_failure;
};

} // namespace console
