#include "console/logs/UserListModel.h"

#include "bizlib/DateText.h"
#include "bizlib/Table.h"
#include "console/JoinedListModel.h"

namespace console {

namespace {

const char *const kTitles[UserListModel::ColumnCount] = { "Account", "Company", "Email", "Active",
    "Last login: Date", "Last login: Time", "Last login: IP Address", "Last request: Date", "Last request: Time",
    "Status", "Client ID", "Account ID" };

// The account list's dates and times as the program shows every date and time; a text that is
// neither stays as the web monitor wrote it.
QString shownDate(const QString &text)
{
    const bizlib::DateText &dates = bizlib::DateText::current();
    const QDate d = dates.parseDate(text);
    return d.isValid() ? dates.shortDate(d) : text;
}

QString shownTime(const QString &text)
{
    const bizlib::DateText &dates = bizlib::DateText::current();
    const QTime t = dates.parseTime(text);
    return t.isValid() ? dates.shortTime(t) : text;
}

qint32 number(const QString &text)
{
    bool ok = false;
    const qint32 n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

} // namespace

const QStringList &UserListModel::statusFilters()
{
    static const QStringList filters { QStringLiteral("Active"), QStringLiteral("Inactive"), QStringLiteral("Pending"),
        QStringLiteral("Suspended"), QStringLiteral("All") };
    return filters;
}

UserListModel::UserListModel(bizlib::Database &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{ }

bool UserListModel::takes(const WebAccount &account, const QString &statusFilter)
{
    const QString filter = statusFilter.trimmed().toUpper();
    if (filter == QLatin1String("ACTIVE"))
        return account.isActive();
    if (filter == QLatin1String("INACTIVE"))
        return !account.isActive();
    if (filter == QLatin1String("ALL"))
        return true;
    return account.status.trimmed().toUpper() == filter;
}

bool UserListModel::load(const QString &path, const QString &statusFilter)
{
    QList<WebAccount> accounts;
    const bool loaded = WebAccounts::read(path, &accounts);
    beginResetModel();
    m_rows.clear();
    bizlib::Table clients(m_db, QStringLiteral("Clients"));
    // Accounts of one client usually follow each other: the client is read once for them.
    qint32 lastClient = -1;
    QString lastCompany;
    for (const WebAccount &a : accounts) {
        if (!takes(a, statusFilter))
            continue;
        Row r;
        r.name = a.name.left(50);
        r.email = a.email.left(100);
        r.active = a.isActive() ? 1 : 0;
        r.lastLoginDate = a.lastLoginDate;
        r.lastLoginTime = a.lastLoginTime;
        r.lastLoginIp = a.lastLoginIp.left(20);
        r.lastRequestDate = a.lastRequestDate;
        r.lastRequestTime = a.lastRequestTime;
        r.status = a.status;
        r.clientId = number(a.clientId);
        r.accountId = number(a.accountId);
        if (r.clientId != lastClient) {
            lastClient = r.clientId;
            lastCompany.clear();
            bizlib::Record client = clients.newRecord();
            if (r.clientId != 0 && clients.fetch(QStringLiteral("CLIENTIDKEY"), { r.clientId }, client))
                lastCompany = client.text("Name").left(50);
        }
        r.company = lastCompany;
        m_rows << r;
    }
    endResetModel();
    return loaded;
}

int UserListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int UserListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString UserListModel::text(const Row &r, int column) const
{
    switch (column) {
    case Account: return r.name;
    case Company: return r.company;
    case Email: return r.email;
    case Active: return QString::number(r.active);
    case LoginDate: return shownDate(r.lastLoginDate);
    case LoginTime: return shownTime(r.lastLoginTime);
    case LoginIp: return r.lastLoginIp;
    case RequestDate: return shownDate(r.lastRequestDate);
    case RequestTime: return shownTime(r.lastRequestTime);
    case Status: return r.status;
    case ClientId: return QString::number(r.clientId);
    case AccountId: return QString::number(r.accountId);
    default: return {};
    }
}

QVariant UserListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        // The Active column is its icon only.
        return index.column() == Active ? QString() : text(r, index.column());
    case JoinedListModel::IconRole:
        if (index.column() == Account)
            return r.active ? QStringLiteral("Buddy-Green") : QStringLiteral("Buddy-Red");
        if (index.column() == Active)
            return r.active ? QStringLiteral("TagOne") : QStringLiteral("UnTagOne");
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ClientId || index.column() == AccountId)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

QVariant UserListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromLatin1(kTitles[section]);
    return {};
}

QStringList UserListModel::headers() const
{
    QStringList out;
    for (const char *t : kTitles)
        out << QString::fromLatin1(t);
    return out;
}

bizlib::Status UserListModel::rows(const std::function<void(const QStringList &)> &row) const
{
    for (const Row &r : m_rows) {
        QStringList texts;
        for (int c = 0; c < ColumnCount; ++c)
            texts << text(r, c);
        row(texts);
    }
    return bizlib::Status::ok();
}

} // namespace console
