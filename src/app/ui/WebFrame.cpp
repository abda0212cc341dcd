#include "app/ui/WebFrame.h"

#include "app/ProcedureInfo.h"
#include "app/ui/ProcedureInfoWindow.h"
#include "bizlib/ui/WindowFront.h"
#include "config/TraceLog.h"
#include "config/WindowEvents.h"
#include "config/WindowSettings.h"
#include "console/Monitor.h"
#include "console/ui/WebConsole.h"
#include "notes/PhraseToolbox.h"
#include "notes/ui/PhraseTools.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace app::ui {

WebFrame::WebFrame(config::AppContext &context, Frame &frame, const bizlib::MonotonicClock &clock, QWidget *parent)
    : QMainWindow(parent)
    , m_procedure(context.trace, QString::fromLatin1(ProcedureName))
    , m_ctx(context)
    , m_frame(frame)
    , m_clock(clock)
    , m_trayRetry(clock)
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setWindowTitle(QStringLiteral("BrevixOnline - Web console"));
    m_trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    m_ctx.frame = this;

    auto *tools = addToolBar(tr("Toolbar"));
    tools->setObjectName(QStringLiteral("toolbar"));
    tools->setMovable(false);
    tools->addAction(tr("Web console"), this, &WebFrame::openConsole);
    tools->addAction(tr("Refresh"), this, [this] {
        if (m_console)
            m_console->monitor().refreshAndNotify();
    });
    tools->addSeparator();
    tools->addAction(tr("Hide to tray"), this, &QWidget::hide);

    new QShortcut(QKeySequence(Qt::Key_F5), this, [this] {
        if (m_console)
            m_console->monitor().fullRefresh();
        update();
    });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F11), this, [this] { saveCapture(false); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12), this, [this] { saveCapture(true); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this, [this] { showProcedureInformation(); });

    const QByteArray geometry = config::WindowSettings(m_ctx.paths.windowIni).geometry(QString::fromLatin1(ProcedureName));
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // The first opening: as much of the screen as the lists can use, without filling it.
        QSize size(1180, 760);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QSize room = screen->availableGeometry().size() * 0.9;
            size = size.expandedTo(QSize(std::min(room.width(), 1400), std::min(room.height(), 960)))
                       .boundedTo(screen->availableGeometry().size());
        }
        resize(size);
    }

    buildTrayMenu();
    keepTrayIcon();
    // The tray icon is retried on the frame's own clock as well, so a late tray is picked up
    // even while nothing else happens.
    auto *trayTimer = new QTimer(this);
    connect(trayTimer, &QTimer::timeout, this, &WebFrame::keepTrayIcon);
    trayTimer->start(1000);
}

WebFrame::~WebFrame()
{
    // The toolbox belongs to no window (so that modal windows do not block it): it ends with the
    // frame, while the context it writes is still alive. Its own end touches only the context.
    delete notes::PhraseToolbox::running(m_ctx);
    if (m_ctx.frame == this)
        m_ctx.frame = nullptr;
    // The monitor window leaves the trace log before the frame does, as it entered after it.
    delete m_console;
}

void WebFrame::buildTrayMenu()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(tr("Show"), this, &WebFrame::showFrame);
    m_trayMenu->addAction(tr("Hide"), this, &QWidget::hide);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(tr("Close"), this, [this] {
        showFrame();
        close();
    });
}

void WebFrame::keepTrayIcon()
{
    if (m_tray && m_tray->isVisible())
        return;
    if (m_trayRetry.pending() && !m_trayRetry.due())
        return;
    if (!m_trayAvailable()) {
        m_trayRetry.attempted(false);
        return;
    }
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(windowIcon(), this);
        m_tray->setContextMenu(m_trayMenu);
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                showFrame();
        });
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, &WebFrame::showFrame);
    }
    m_tray->setToolTip(trayToolTip(m_ctx.glo.companyName, m_ctx.brevix.globalData, m_databaseProblem));
    m_tray->show();
    m_trayRetry.attempted(true);
}

void WebFrame::showFrame()
{
    bizlib::ui::bringToFront(this);
}

void WebFrame::openConsole()
{
    if (m_console) {
        // One monitor window: a second request brings it forward.
        showFrame();
        m_console->setFocus();
        return;
    }
    m_console = new console::ui::WebConsole(m_ctx, m_clock, this);
    setCentralWidget(m_console);
    connect(m_console, &console::ui::WebConsole::quitRequested, this, &QWidget::close);
    connect(&m_console->monitor(), &console::Monitor::closeRequested, this, &QWidget::close);
    connect(&m_console->monitor(), &console::Monitor::databaseProblemShown, this, &WebFrame::showDatabaseProblem);
    m_console->show();
}

void WebFrame::showDatabaseProblem(const QString &problem)
{
    m_databaseProblem = problem;
    if (m_tray)
        m_tray->setToolTip(trayToolTip(m_ctx.glo.companyName, m_ctx.brevix.globalData, m_databaseProblem));
}

void WebFrame::postEvent(int event)
{
    keepTrayIcon();
    if (auto balloon = balloonFor(event, m_ctx.settings.webUrl, [](const QString &s) { return QWidget::tr(s.toUtf8()); })) {
        m_lastBalloon = balloon;
        if (!balloon->silent)
            QApplication::beep();
        if (m_tray)
            m_tray->showMessage(balloon->title, balloon->text,
                balloon->warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information, balloon->msecs);
        return;
    }
    const QString group = m_frame.phraseToolboxFor(event);
    if (!group.isEmpty())
        startPhraseToolbox(group);
    else if ((event == config::StartOrderPhrases || event == config::StartQuotePhrases)
             && notes::PhraseToolbox::running(m_ctx))
        // One toolbox at a time: a second request brings the running one to the front.
        QMetaObject::invokeMethod(notes::PhraseToolbox::running(m_ctx), "bringToFront");
}

void WebFrame::startPhraseToolbox(const QString &group)
{
    // The toolbox keeps its number and window in the shared context and clears them itself; the
    // frame holds no handler on it, so nothing of the toolbox ever reaches into the frame.
    notes::ui::PhraseTools::start(m_ctx, group, {}, this);
}

void WebFrame::saveCapture(bool wholeDesktop)
{
    QScreen *screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QWidget *active = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    const QPixmap shot = wholeDesktop ? screen->grabWindow(0) : active->grab();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("webconsole-%1.png")
                                                   .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const bool saved = shot.save(file, "PNG");
    statusBar()->showMessage(saved ? tr("Screen capture saved as %1").arg(QDir::toNativeSeparators(file))
                                   : tr("The screen capture could not be saved in %1").arg(QDir::toNativeSeparators(folder)),
                             6000);
}

void WebFrame::showProcedureInformation()
{
    auto *w = new ProcedureInfoWindow(procedureInfoText(QString::fromLatin1(ProcedureName),
                                                        QApplication::applicationFilePath()),
                                      m_ctx.trace, this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
}

void WebFrame::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        if (!m_ctx.closeConfirmed && !m_frame.confirmClose()) {
            event->ignore();
            return;
        }
        m_ctx.closeConfirmed = true;
        if (m_console && !m_console->mayClose()) {
            event->ignore();
            return;
        }
        m_closing = true;
        // The toolbox belongs to no window: it ends now, while the context it writes is alive.
        if (auto *toolbox = qobject_cast<QWidget *>(notes::PhraseToolbox::running(m_ctx)))
            toolbox->close();
        if (m_tray)
            m_tray->hide();
        m_frame.writeBack();
        config::WindowSettings(m_ctx.paths.windowIni, m_ctx.trace)
            .setGeometry(QString::fromLatin1(ProcedureName), saveGeometry());
    }
    event->accept();
    QApplication::quit();
}

void WebFrame::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_ctx.settings.minimizeToTray && m_tray
        && m_tray->isVisible())
        QTimer::singleShot(0, this, &QWidget::hide);
}

bool WebFrame::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        keepTrayIcon();
    return QMainWindow::event(event);
}

} // namespace app::ui
