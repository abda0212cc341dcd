#pragma once

#include "bizlib/sendto/ListSource.h"
#include "console/logs/WebAccounts.h"

#include <QAbstractTableModel>

namespace bizlib {
class Database;
}

namespace console {

// The "Users" page's list ("Web user status"): the website's accounts from the account list
// file, narrowed by the status filter, each with the company of its client (`CLIA:Name` by
// `CLIA:ClientID`; no company when the client cannot be found).
//
// Status filter: "Active" takes the accounts whose active flag is "TRUE" (any letter case),
// "Inactive" the others, "All" every account, and any other word ("Pending", "Suspended") the
// accounts whose status is that word (letter case and surrounding blanks ignored).
//
// Icons (JoinedListModel::IconRole): the account "Buddy-Green" when active, else "Buddy-Red"; the
// Active column "TagOne" when active, else "UnTagOne". The model is also the list the send-to
// window outputs, the Active column as 1 or 0.
class UserListModel : public QAbstractTableModel, public bizlib::sendto::ListSource
{
    Q_OBJECT

public:
    enum Column {
        Account,
        Company,
        Email,
        Active,
        LoginDate,
        LoginTime,
        LoginIp,
        RequestDate,
        RequestTime,
        Status,
        ClientId,
        AccountId,
        ColumnCount
    };

    // One row (`QU:`), texts cut to the row's widths.
    struct Row
    {
        QString name; // 50
        QString company; // 50
        QString email; // 100
        quint8 active = 0;
        QString lastLoginDate, lastLoginTime, lastLoginIp; // 20 each (the file's address may hold 40)
        QString lastRequestDate, lastRequestTime;
        QString status;
        qint32 clientId = 0;
        qint32 accountId = 0;
    };

    static const QStringList &statusFilters(); // "Active", "Inactive", "Pending", "Suspended", "All"

    explicit UserListModel(bizlib::Database &db, QObject *parent = nullptr);

    // Reads the account list file `path` afresh and lists the accounts that `statusFilter` takes.
    // A missing or unreadable file leaves the list empty (false, no message).
    bool load(const QString &path, const QString &statusFilter);
    static bool takes(const WebAccount &account, const QString &statusFilter);
    const Row &row(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString title() const override { return QStringLiteral("Web user status"); }
    QStringList headers() const override;
    bizlib::Status rows(const std::function<void(const QStringList &)> &row) const override;

private:
    QString text(const Row &r, int column) const;

    bizlib::Database &m_db;
    QList<Row> m_rows;
};

} // namespace console
