#pragma once

#include "app/Frame.h"
#include "app/TrayNotifications.h"
#include "bizlib/ProcedureScope.h"
#include "bizlib/MonotonicClock.h"
#include "config/FrameEvents.h"
#include "console/ui/WebConsole.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>

class QMenu;

namespace console::ui {
class WebConsole;
}

namespace app::ui {

// The program's main window: toolbar, tray icon with its balloons and menu, the monitor window
// inside it, the keys of the whole program, and the close question. While it exists it is the
// context's frame (FrameEvents) for the other windows.
class WebFrame : public QMainWindow, public config::FrameEvents
{
    Q_OBJECT

public:
    static constexpr const char *ProcedureName = "WebFrame";

    WebFrame(config::AppContext &context, Frame &frame, const bizlib::MonotonicClock &clock, QWidget *parent = nullptr);
    ~WebFrame() override;

    // Starts the monitor window, or brings the running one forward.
    void openConsole();
    console::ui::WebConsole *console() const { return m_console; }

    // A numbered event from another window (balloons 1524..1625, phrase toolbox 6024/6034).
    void postEvent(int event) override;
    // Adds the tray icon when it is missing and a retry is due.
    void keepTrayIcon();
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    const TrayRetry &trayRetry() const { return m_trayRetry; }
    // For tests: whether the system tray is there (default: ask Qt).
    void setTrayAvailability(std::function<bool()> available) { m_trayAvailable = std::move(available); }
    // The last balloon shown (for tests and the status bar).
    const std::optional<Balloon> &lastBalloon() const { return m_lastBalloon; }

    void showFrame();
    void saveCapture(bool wholeDesktop);
    void showProcedureInformation();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildTrayMenu();
    // The monitor's word on the database (empty: it answers) goes below the tray icon's text.
    void showDatabaseProblem(const QString &problem);
    void startPhraseToolbox(const QString &group);

    bizlib::ProcedureScope m_procedure; // first: the entry comes before anything else is made
    config::AppContext &m_ctx;
    Frame &m_frame;
    const bizlib::MonotonicClock &m_clock;
    QPointer<console::ui::WebConsole> m_console;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_trayMenu = nullptr;
    TrayRetry m_trayRetry;
    std::function<bool()> m_trayAvailable;
    std::optional<Balloon> m_lastBalloon;
    QString m_databaseProblem;
    bool m_closing = false;
};

} // namespace app::ui
