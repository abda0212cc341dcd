#pragma once

#include "config/AppContext.h"
#include "console/logs/ui/ListSender.h"
#include "data/WebTasks.h"

#include <QWidget>
#include <memory>

class QMenu;
class QPushButton;
class QTableView;

namespace console {
class HistoryListModel;
}

namespace console::ui {

class CommentsView;

// The "History" page of the Logs tab ("User history"): the webtask queue newest first, the
// selected task's comments, the buttons "Fail", "Complete" and "Retry" that set its status by hand,
// and Send To (enabled only while the list has rows). The same actions are on the list's
// right-click menu.
class HistoryPage : public QWidget
{
    Q_OBJECT

public:
    HistoryPage(config::AppContext &context, HistoryListModel &history, QWidget *parent = nullptr);
    ~HistoryPage() override;

    QTableView *view() const { return m_view; }
    CommentsView *comments() const { return m_comments; }
    QPushButton *button(data::WebTasks::Action action) const;
    QPushButton *sendToButton() const { return m_sendTo; }
    void setSender(ListSender::Send send) { m_send = std::move(send); }

    // Re-reads the list, keeping the selected task selected while it is listed.
    void reload();
    // A button: the selected task's status by hand, then the list is read again.
    void setStatus(data::WebTasks::Action action);
    void sendTo();
    std::unique_ptr<QMenu> contextMenu();

protected:
    // The list is read afresh each time the page is shown (the window's refresh cycle reads only
    // the General tab's lists).
    void showEvent(QShowEvent *event) override;

private:
    qint32 selectedTask() const;
    void showCurrent();
    void updateButtons();

    config::AppContext &m_ctx;
    HistoryListModel &m_history;
    QTableView *m_view;
    CommentsView *m_comments;
    QPushButton *m_fail;
    QPushButton *m_complete;
    QPushButton *m_retry;
    QPushButton *m_sendTo;
    ListSender::Send m_send;
    bool m_fitted = false;
};

} // namespace console::ui
