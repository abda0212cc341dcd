#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QAbstractTableModel>
#include <QSet>

namespace bizlib {
class Database;
}

namespace signups {

// The wizard's list of client accounts in order of their upper-cased name, narrowed by the web
// status filter ("Enabled", "Disabled", "Both"). A web-enabled client with a site domain is listed
// only when it is linked to the sign-up's domain. The marks (Qt::UserRole + n) say: web access
// (tagged / untagged), on stop, has a note.
class ClientListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { WebEnabledRole = Qt::UserRole + 1, OnStopRole, HasNoteRole };

    ClientListModel(bizlib::Database &db, QObject *parent = nullptr);

    // The filter text of a web status ("" for "Both"; compared without regard to letter case).
    static QString webStatusFilter(const QString &webStatus);
    void setWebStatus(const QString &webStatus) { m_webStatus = webStatus; }
    void setSignupDomain(qint32 domainId) { m_domainId = domainId; }
    bizlib::Status reload();
    // The first row whose upper-cased name is not before `text` (the incremental locator); -1 when empty.
    int locate(const QString &text) const;
    int rowOf(qint32 clientId) const;
    const bizlib::Record &record(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bizlib::Database &m_db;
    QString m_webStatus = QStringLiteral("Both");
    qint32 m_domainId = 0;
    QList<bizlib::Record> m_rows;
};

// The contacts of one client in order of name, with their tags (the contacts chosen for the
// sign-up, tag set 201), an active mark and a primary mark.
class ContactListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { TaggedRole = Qt::UserRole + 1, ActiveRole, PrimaryRole };

    ContactListModel(bizlib::Database &db, QObject *parent = nullptr);

    bizlib::Status reload(qint32 clientId);
    qint32 clientId() const { return m_clientId; }
    int rowOf(qint32 contactId) const;
    const bizlib::Record &record(int row) const { return m_rows.at(row); }
    // SETTAG: marks the contact in the list.
    void setTag(qint32 contactId, bool tagged);
    bool isTagged(qint32 contactId) const { return m_tags.contains(contactId); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bizlib::Database &m_db;
    qint32 m_clientId = 0;
    QList<bizlib::Record> m_rows;
    QSet<qint32> m_tags;
};

} // namespace signups
