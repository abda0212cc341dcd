#pragma once

#include "config/AppContext.h"

#include <QWidget>

class QTabWidget;

namespace console {
class HistoryListModel;
class WebmonWatch;
}

namespace console::ui {

class HistoryPage;
class UsersPage;
class WebmonPage;

// console/logs holds the Logs tab: the website's users from the account list file, and in ui/
// this page with its Users and History pages (the history list itself is the console's).
//
// The Logs tab: two pages, "Users" (web user status) and "History" (user history). The users are
// read from the account list file each time their page is shown; the history is one of the
// window's lists and is reset with them.
class LogsPage : public QWidget
{
    Q_OBJECT

public:
    // `history`: the webtask history, one of the window's lists (reset with them).
    LogsPage(config::AppContext &context, HistoryListModel &history, QWidget *parent = nullptr);

    UsersPage *users() const { return m_users; }
    HistoryPage *history() const { return m_history; }
    QTabWidget *pages() const { return m_pages; }

    // Selects a page. The users are read when their page is shown: at once while the Logs tab is
    // shown, else when the window shows it (activated()).
    void showUsers();
    void showHistory();
    // The window selected the Logs tab: the page shown is brought up to date.
    void activated();

    // Adds the "Web monitor" page, which shows what `watch` read and asks it to read again when
    // the page is shown.
    void addWebmonPage(WebmonWatch &watch);
    WebmonPage *webmon() const { return m_webmon; }
    void showWebmon();

private:
    QTabWidget *m_pages;
    UsersPage *m_users;
    HistoryPage *m_history;
    WebmonPage *m_webmon = nullptr;
};

} // namespace console::ui
