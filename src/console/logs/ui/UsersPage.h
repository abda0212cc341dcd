#pragma once

#include "config/AppContext.h"
#include "console/logs/ui/ListSender.h"

#include <QWidget>
#include <memory>

class QButtonGroup;
class QLabel;
class QPushButton;
class QTableView;

namespace console {
class UserListModel;
}

namespace console::ui {

// The "Users" page of the Logs tab ("Web user status"): the website's accounts from the account
// list file with the status filter ("Active", "Inactive", "Pending", "Suspended", "All"; starts as
// "Active") and Send To. The list is read when the page is shown and when the filter changes.
class UsersPage : public QWidget
{
    Q_OBJECT

public:
    UsersPage(config::AppContext &context, QWidget *parent = nullptr);
    ~UsersPage() override;

    // Reads the account list file afresh with the current filter.
    void load();
    QString statusFilter() const;
    void setStatusFilter(const QString &filter); // as choosing the radio button does

    UserListModel &model() { return *m_model; }
    QTableView *view() const { return m_view; }
    QPushButton *sendToButton() const { return m_sendTo; }
    // Where the list comes from: when the web monitor wrote it, or why there is none.
    QString sourceText() const;
    void setSender(ListSender::Send send) { m_send = std::move(send); }
    void sendTo();

private:
    config::AppContext &m_ctx;
    std::unique_ptr<UserListModel> m_model;
    QButtonGroup *m_filters;
    QTableView *m_view;
    QPushButton *m_sendTo;
    QLabel *m_source;
    ListSender::Send m_send;
};

} // namespace console::ui
