#include "console/ui/WebConsole.h"

#include "bizlib/DateText.h"
#include "bizlib/Table.h"
#include "bizlib/mail/MailSender.h"
#include "config/DownloaderReport.h"
#include "config/TraceLog.h"
#include "bizlib/Prompter.h"
#include "console/AlertStep.h"
#include "console/ClaimKeeper.h"
#include "console/ProcessingProblems.h"
#include "console/ui/ProcessingProblemsView.h"
#include "console/ui/WebmonLight.h"
#include "console/WebmonWatch.h"
#include "config/FrameEvents.h"
#include "config/WindowEvents.h"
#include "console/Monitor.h"
#include "console/general/RequestListSet.h"
#include "console/setup/SetupEditor.h"
#include "console/sync/Synchronisation.h"
#include "console/ui/BusyCursor.h"
#include "console/ui/EffectSoundPlayer.h"
#include "console/general/ui/GeneralPage.h"
#include "console/setup/ui/SetupSheet.h"
#include "console/sync/ui/SyncPage.h"
#include "console/logs/ui/LogsPage.h"
#include "console/ui/SplitterMemory.h"
#include "data/ui/WebPurge.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace console::ui {

namespace {
enum Action { ActivityHeader = 1, CurrentActivity, Users, OpenWebsite, Quit, SetupHeader, SetupWebsite, SyncHeader,
              LogsHeader, History, PurgeHistory };
enum Tab { GeneralTab = 0, SetupTab, LogsTab, SyncTab };
} // namespace

WebConsole::WebConsole(config::AppContext &context, const bizlib::MonotonicClock &clock, QWidget *parent)
    : QWidget(parent)
    , m_procedure(context.trace, QString::fromLatin1(ProcedureName))
    , m_ctx(context)
    , m_lists(std::make_unique<RequestListSet>(*context.db, context.glo.user.userCode))
{
    setObjectName(QString::fromLatin1(ProcedureName));
    m_monitor = std::make_unique<Monitor>(context, clock, *m_lists);
    m_monitor->open();
    m_monitor->readInBackground();
    m_sounds = std::make_unique<EffectSoundPlayer>(this);
    m_sync = std::make_unique<Synchronisation>(context, *m_monitor);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());

    auto *split = new QSplitter(Qt::Horizontal, this);
    m_nav = buildNavigation();
    split->addWidget(m_nav);
    m_tabs = new QTabWidget(split);
    m_general = new GeneralPage(m_ctx, *m_lists, *m_monitor, m_tabs);
    m_tabs->addTab(m_general, tr("General"));
    m_mail = std::make_unique<bizlib::mail::MailSender>(
        bizlib::mail::mailSettingsFrom(m_ctx.brevix), nullptr, m_ctx.prompter, m_ctx.trace);
    m_problems = std::make_unique<ProcessingProblems>();
    m_alerts = std::make_unique<AlertStep>(AlertStep::Services { &m_ctx, m_lists.get(), &m_lists->quotes(),
        &m_monitor->cycle(), this, m_sounds.get(), m_mail.get(), m_problems.get() });
    m_monitor->setAlertStep([this](const RequestLists::Counts &seen) {
        m_alerts->run(seen);
        m_problemsButton->refresh();
    });
    m_claimKeeper = new ClaimKeeper(m_ctx, this);
    connect(m_claimKeeper, &ClaimKeeper::cleaned, this, &WebConsole::claimsCleaned);
    m_setup = new SetupSheet(m_ctx, *m_sounds, m_tabs);
    m_tabs->addTab(m_setup, tr("Setup"));
    m_logs = new LogsPage(m_ctx, m_lists->history(), m_tabs);
    m_tabs->addTab(m_logs, tr("Logs"));
    m_syncPage = new SyncPage(*m_sync, m_tabs);
    m_tabs->addTab(m_syncPage, tr("Sync"));
    split->addWidget(m_tabs);
    split->setStretchFactor(1, 1);
    m_navSplitMemory = new SplitterMemory(split, m_ctx.paths.windowIni, QString::fromLatin1(ProcedureName),
        QStringLiteral("NavigationSplitter"), m_ctx.trace);
    layout->addWidget(split, 1);

    auto *status = new QStatusBar(this);
    m_zone1 = new QLabel(status);
    m_zone2 = new QLabel(status);
    m_zone2->setObjectName(QStringLiteral("statusZone2"));
    m_zone3 = new QLabel(status);
    status->addWidget(m_zone1, 1);
    status->addWidget(m_zone2, 1);
    m_problemsButton = new ProcessingProblemsButton(*m_problems, status);
    status->addPermanentWidget(m_problemsButton);
    status->addPermanentWidget(m_zone3);
    layout->addWidget(status);
    addWebmonWatch(status);

    connect(m_monitor.get(), &Monitor::countdownShown, m_countdown, &QLabel::setText);
    connect(m_monitor.get(), &Monitor::statusShown, m_zone1, &QLabel::setText);
    connect(m_monitor.get(), &Monitor::databaseProblemShown, m_zone1, &QLabel::setToolTip);
    connect(m_monitor.get(), &Monitor::waitingChanged, this, &showBusyCursor);
    connect(m_tabs, &QTabWidget::currentChanged, this, &WebConsole::tabChanged);
    connect(m_setup, &SetupSheet::titleChanged, m_title, &QLabel::setText);
    connect(m_general, &GeneralPage::processed, this, &WebConsole::showProcessed);
    connect(m_sync.get(), &Synchronisation::busyChanged, this, &WebConsole::showBusy);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &WebConsole::tick);
}

WebConsole::~WebConsole() = default;

QWidget *WebConsole::buildHeader()
{
    auto *band = new QFrame(this);
    // Its colours are the program's "Interface" settings (app/ui/InterfaceStyle), as for every window.
    band->setObjectName(QStringLiteral("headerBand"));
    auto *l = new QHBoxLayout(band);
    m_title = new QLabel(QStringLiteral("Web console - ") + m_ctx.settings.webUrl.toLower(), band);
    QFont f = m_title->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    m_title->setFont(f);
    m_clock = new QLabel(band);
    m_countdown = new QLabel(band);
    l->addWidget(m_title, 1);
    l->addWidget(m_clock);
    l->addSpacing(24);
    l->addWidget(m_countdown);
    showClock();
    return band;
}

QTreeWidget *WebConsole::buildNavigation()
{
    auto *tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setIndentation(14);
    tree->setMinimumWidth(210);
    tree->setMaximumWidth(280);
    auto header = [tree](const QString &text, int action) {
        auto *item = new QTreeWidgetItem(tree, {text});
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
        item->setData(0, Qt::UserRole, action);
        item->setExpanded(true);
        return item;
    };
    auto task = [](QTreeWidgetItem *parent, const QString &text, int action) {
        auto *item = new QTreeWidgetItem(parent, {text});
        item->setData(0, Qt::UserRole, action);
    };
    auto *activity = header(tr("Activity"), ActivityHeader);
    task(activity, tr("Display current activity"), CurrentActivity);
    task(activity, tr("Display active/inactive users"), Users);
    task(activity, tr("Open website url"), OpenWebsite);
    task(activity, tr("Quit"), Quit);
    auto *setup = header(tr("Setup"), SetupHeader);
    task(setup, tr("Website settings"), SetupWebsite);
    header(tr("Synchronise"), SyncHeader);
    auto *logs = header(tr("Logs"), LogsHeader);
    task(logs, tr("Display webtask history"), History);
    task(logs, tr("Delete completed web log history"), PurgeHistory);
    header(tr("Quit"), Quit);
    tree->expandAll();
    connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { navigate(item); });
    return tree;
}

void WebConsole::navigate(QTreeWidgetItem *item)
{
    switch (item->data(0, Qt::UserRole).toInt()) {
    case ActivityHeader:
    case CurrentActivity: m_tabs->setCurrentIndex(GeneralTab); break;
    case Users:
        m_logs->showUsers();
        m_tabs->setCurrentIndex(LogsTab);
        break;
    case LogsHeader:
    case History:
        m_logs->showHistory();
        m_tabs->setCurrentIndex(LogsTab);
        break;
    case PurgeHistory:
        m_logs->showHistory();
        m_tabs->setCurrentIndex(LogsTab);
        runPurge();
        break;
    case OpenWebsite:
    case SetupWebsite: m_setup->editor().openWebsite(); break;
    case SetupHeader:
        m_tabs->setCurrentIndex(SetupTab);
        if (m_tabs->currentIndex() == SetupTab)
            m_setup->pageList()->setCurrentRow(0);
        break;
    case SyncHeader: m_tabs->setCurrentIndex(SyncTab); break;
    case Quit: Q_EMIT quitRequested(); break;
    default: break;
    }
}

void WebConsole::tabChanged(int index)
{
    if (m_lastTab == SetupTab && index != SetupTab && !m_setup->leave()) {
        // The save was refused: back to the settings, where the field to mend has the focus.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(SetupTab);
        return;
    }
    m_lastTab = index;
    if (index == SetupTab)
        m_setup->entered();
    if (index == SyncTab)
        m_sync->applyWebVersion();
    if (index == LogsTab)
        m_logs->activated();
    m_monitor->setGeneralTabSelected(index == GeneralTab);
    // Setup and Sync hold the countdown; any other page lets it run again.
    m_monitor->cycle().setHold(index == SetupTab || index == SyncTab);
}

void WebConsole::addWebmonWatch(QStatusBar *status)
{
    if (!m_ctx.db)
        return;
    // Read again with each status refresh, away from this thread; a balloon when it turns red.
    m_webmon = new WebmonWatch(*m_ctx.db, [this] { return m_ctx.settings.webmonStallMinutes; }, this);
    connect(m_monitor.get(), &Monitor::statusRefreshed, m_webmon, &WebmonWatch::refresh);
    connect(m_webmon, &WebmonWatch::turnedRed, this, [this] {
        if (m_ctx.frame)
            m_ctx.frame->postEvent(config::WebmonStalled);
    });
    auto *light = new WebmonLight(*m_webmon, status);
    status->addPermanentWidget(light);
    m_logs->addWebmonPage(*m_webmon);
    connect(light, &WebmonLight::clicked, this, [this] {
        m_logs->showWebmon();
        m_tabs->setCurrentIndex(LogsTab);
    });
}

void WebConsole::showBusy(bool busy)
{
    for (int i = 0; i < m_nav->topLevelItemCount(); ++i) {
        QTreeWidgetItem *header = m_nav->topLevelItem(i);
        if (header->data(0, Qt::UserRole).toInt() != SyncHeader)
            header->setHidden(busy);
    }
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->setTabEnabled(i, !busy || i == SyncTab);
}

void WebConsole::runPurge()
{
    data::ui::WebPurge::Services services;
    services.db = m_ctx.db;
    services.prompter = m_ctx.prompter;
    services.windowIni = m_ctx.paths.windowIni;
    services.trace = m_ctx.trace;
    // The monitor waits for the purge; afterwards every list (the history among them) is read
    // again and the other workstations are told.
    m_monitor->runProcessing([&] { return data::ui::WebPurge::run(services, this) ? 1 : 0; }, false);
}

void WebConsole::showClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_clock->setText(bizlib::DateText::current().longDate(now.date()) + QStringLiteral("   ")
        + now.time().toString(QStringLiteral("HH:mm:ss")));
}

qint32 WebConsole::currentQuote() const
{
    return m_general->currentQuoteId();
}

void WebConsole::returnToQuote(qint32 quoteId)
{
    m_general->returnToQuote(quoteId);
}

bizlib::forms::Response WebConsole::processQuote(
    const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome)
{
    const bizlib::forms::Response response = m_general->processQuoteAutomatically(request, isRfq, outcome);
    if (response == bizlib::forms::Response::Completed)
        showProcessed(tr("%1 (automatically)").arg(ProcessingProblems::madeText(request.toLong("Number"), *outcome)));
    return response;
}

void WebConsole::showProcessed(const QString &summary)
{
    m_zone2->setText(summary);
    m_zone2->setToolTip(tr("%1, at %2").arg(summary, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void WebConsole::collectDownloads()
{
    bool listed = false;
    const QDateTime now = QDateTime::currentDateTime();
    for (const config::DownloaderReport &report : config::DownloaderReport::collect(m_ctx.paths.downloaderReports))
        listed = m_problems->addDownload(report, now) || listed;
    if (listed)
        m_problemsButton->refresh();
}

void WebConsole::gainFocus()
{
    QWidget *w = window();
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

void WebConsole::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    m_navSplitMemory->restore();
    if (m_ctx.db) {
        bizlib::Table users(*m_ctx.db, QStringLiteral("Users"));
        bizlib::Record u;
        if (m_ctx.glo.user.userId > 0 && users.fetch(users.def().primary().name, {m_ctx.glo.user.userId}, u))
            m_zone3->setText(u.text("FullName"));
        else
            m_zone3->setText(m_ctx.glo.user.userName);
    }
    // What interrupted runs left behind is cleaned up before anything is listed, and said once.
    const data::ClaimCleanup::Report cleaned = m_claimKeeper->runOnce();
    m_claimKeeper->start();
    if (!cleaned.isEmpty() && m_ctx.prompter) {
        const QString text = tr("Cleaned up after interrupted processing: %1.").arg(cleaned.summary());
        QTimer::singleShot(0, this, [this, text] {
            m_ctx.prompter->alert(text, tr("Web console"), bizlib::Prompter::Icon::Information);
        });
    }
    m_monitor->opened();
    m_general->fitColumns();
    m_countdown->setText(m_monitor->cycle().countdownText());
    m_timer->start();
}

void WebConsole::tick()
{
    showClock();
    m_monitor->tick();
    if (++m_ticks % 5 == 0)
        collectDownloads();
}

void WebConsole::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F5) {
        // The user asks: requests that failed are tried again at once.
        m_problems->forgetWaits();
        m_monitor->fullRefresh();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WebConsole::claimsCleaned(const QString &summary, const QStringList &details)
{
    const QString text = tr("Cleaned up after interrupted processing: %1.").arg(summary);
    for (const QString &line : details)
        m_problems->add(tr("Interrupted run"), line, QDateTime::currentDateTime());
    m_problemsButton->refresh();
    m_zone1->setText(text);
}

bool WebConsole::mayClose()
{
    if (!m_monitor->requestClose())
        return false;
    m_timer->stop();
    return true;
}

QString WebConsole::headerTitle() const
{
    return m_title->text();
}

QString WebConsole::countdownText() const
{
    return m_countdown->text();
}

QString WebConsole::statusZone1() const
{
    return m_zone1->text();
}

QString WebConsole::statusZone2() const
{
    return m_zone2->text();
}

QString WebConsole::statusZone3() const
{
    return m_zone3->text();
}

} // namespace console::ui
