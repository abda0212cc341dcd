#include "console/logs/ui/LogsPage.h"

#include "console/logs/ui/ClaimsPage.h"
#include "console/logs/ui/HistoryPage.h"
#include "console/logs/ui/UsersPage.h"
#include "console/logs/ui/WebmonPage.h"
#include "console/WebmonWatch.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace console::ui {

LogsPage::LogsPage(config::AppContext &context, HistoryListModel &history, QWidget *parent)
    : QWidget(parent)
    , m_pages(new QTabWidget(this))
    , m_users(new UsersPage(context, m_pages))
    , m_history(new HistoryPage(context, history, m_pages))
{
    m_pages->addTab(m_users, tr("Users"));
    m_pages->setTabToolTip(0, tr("Web user status"));
    m_pages->addTab(m_history, tr("History"));
    m_pages->setTabToolTip(1, tr("User history"));
    if (context.db) {
        // Who holds which request now; read each time the page is shown.
        auto *claims = new ClaimsPage(context, m_pages);
        m_pages->addTab(claims, tr("Claims"));
        connect(m_pages, &QTabWidget::currentChanged, claims, [this, claims](int index) {
            if (index == m_pages->indexOf(claims))
                claims->refresh();
        });
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    // A hidden page is read when the window shows the Logs tab (activated()).
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == m_pages->indexOf(m_users) && isVisible())
            m_users->load();
    });
}

void LogsPage::showUsers()
{
    if (m_pages->currentWidget() != m_users)
        m_pages->setCurrentWidget(m_users);
    else if (isVisible())
        m_users->load();
}

void LogsPage::showHistory()
{
    m_pages->setCurrentWidget(m_history);
}

void LogsPage::activated()
{
    if (m_pages->currentWidget() == m_users)
        m_users->load();
}

void LogsPage::addWebmonPage(WebmonWatch &watch)
{
    m_webmon = new WebmonPage(watch, m_pages);
    m_pages->addTab(m_webmon, tr("Web monitor"));
    m_pages->setTabToolTip(m_pages->indexOf(m_webmon), tr("The web monitor's webtasks and arrivals"));
    connect(m_pages, &QTabWidget::currentChanged, &watch, [this, &watch](int index) {
        if (index == m_pages->indexOf(m_webmon))
            watch.refresh();
    });
}

void LogsPage::showWebmon()
{
    if (m_webmon)
        m_pages->setCurrentWidget(m_webmon);
}

} // namespace console::ui
