#include "signups/SignupLists.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

namespace signups {

using bizlib::Record;
using bizlib::Status;

namespace {

QString yesNo(qint32 flag)
{
    return flag != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

ClientListModel::ClientListModel(bizlib::Database &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{ }

QString ClientListModel::webStatusFilter(const QString &webStatus)
{
    const QString s = webStatus.trimmed().toUpper();
    if (s == QLatin1String("ENABLED"))
        return QStringLiteral("CLIA:WebEnable = 1");
    if (s == QLatin1String("DISABLED"))
        return QStringLiteral("CLIA:WebEnable = 0");
    return {};
}

Status ClientListModel::reload()
{
    bizlib::Table clients(m_db, QStringLiteral("Clients"));
    bizlib::TableCursor cursor(clients, QStringLiteral("NAMEKEY"));
    Status st = cursor.setFilter(webStatusFilter(m_webStatus));
    if (!st)
        return st;
    const bizlib::TableDef &def = clients.def();
    const bizlib::TableDef &links = bizlib::Dictionary::instance().require(QStringLiteral("DomainLinks"));
    const auto col = [](const bizlib::TableDef &d, const char *f) { return d.sqlColumn(d.fieldIndex(QLatin1String(f))); };
    // A client of another site is not offered unless it is linked to the sign-up's site as well.
    cursor.addCondition({ QStringLiteral("NOT (%1 = 1 AND %2 <> 0 AND NOT EXISTS (SELECT 1 FROM %3 WHERE %4 = %5.%6 "
                                         "AND %7 = ?))")
                              .arg(col(def, "WebEnable"), col(def, "DomainID"), links.sqlTable(),
                                  col(links, "ClientID"), def.sqlTable(), col(def, "ClientID"), col(links, "DomainID")),
        { m_domainId } });
    QList<Record> rows;
    Record r;
    while ((st = cursor.next(r)))
        rows << r;
    beginResetModel();
    m_rows = st.isError() ? QList<Record>() : rows;
    endResetModel();
    return st.isNotFound() ? Status::ok() : st;
}

int ClientListModel::locate(const QString &text) const
{
    const QString wanted = text.trimmed().toUpper();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).text("NameCaps").trimmed() >= wanted)
            return i;
    }
    return m_rows.isEmpty() ? -1 : int(m_rows.size()) - 1;
}

int ClientListModel::rowOf(qint32 clientId) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).toLong("ClientID") == clientId)
            return i;
    }
    return -1;
}

int ClientListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClientListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 17;
}

QVariant ClientListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = { "Company", "Web access", "Expires", "At", "Town", "Code", "Rep", "Tel",
        "Fax", "Subref", "Category", "Area", "Terms", "Contact", "MU", "Credit", "Factor" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 17)
        return {};
    return QString::fromLatin1(titles[section]);
}

QVariant ClientListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Record &c = m_rows.at(index.row());
    switch (role) {
    case WebEnabledRole:
        return c.toLong("WebEnable") != 0;
    case OnStopRole:
        return c.toLong("OnStop") != 0;
    case HasNoteRole:
        return c.toLong("NoteID") != 0;
    case Qt::DisplayRole:
        break;
    default:
        return {};
    }
    switch (index.column()) {
    case 0:
        return c.text("Name").trimmed();
    case 1:
        return yesNo(c.toLong("WebEnable"));
    case 2:
        return bizlib::DateTime::dateText(c.toLong("WebExpiryDate"), QStringLiteral("dd/MM/yyyy"));
    case 3:
        return bizlib::DateTime::timeText(c.toLong("WebExpiryTime"));
    case 4:
        return c.text("Town").trimmed();
    case 5:
        return c.text("Code").trimmed();
    case 6:
        return c.text("Rep").trimmed();
    case 7:
        return c.text("Tel1").trimmed();
    case 8:
        return c.text("Fax").trimmed();
    case 9:
        return c.text("Subref").trimmed();
    case 10:
        return c.text("Category").trimmed();
    case 11:
        return c.text("Area").trimmed();
    case 12:
        return c.text("Terms").trimmed();
    case 13:
        return c.text("Contact").trimmed();
    case 14:
        return c.text("Markup").trimmed();
    case 15:
        return c.text("CreditLimit");
    case 16:
        return c.text("Factor");
    default:
        return {};
    }
}

ContactListModel::ContactListModel(bizlib::Database &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{ }

Status ContactListModel::reload(qint32 clientId)
{
    bizlib::Table contacts(m_db, QStringLiteral("Contacts"));
    bizlib::TableCursor cursor(contacts, QStringLiteral("CLIENTIDNAMEKEY"));
    cursor.setRange({ clientId });
    QList<Record> rows;
    Record r;
    Status st;
    if (clientId != 0) {
        while ((st = cursor.next(r)))
            rows << r;
    }
    beginResetModel();
    m_clientId = clientId;
    m_rows = st.isError() ? QList<Record>() : rows;
    endResetModel();
    return st.isNotFound() ? Status::ok() : st;
}

int ContactListModel::rowOf(qint32 contactId) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).toLong("ContactID") == contactId)
            return i;
    }
    return -1;
}

void ContactListModel::setTag(qint32 contactId, bool tagged)
{
    if (tagged)
        m_tags.insert(contactId);
    else
        m_tags.remove(contactId);
    const int row = rowOf(contactId);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int ContactListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ContactListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 6;
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = { "Contact", "Position", "Tel", "Email", "Dept", "Status" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 6)
        return {};
    return QString::fromLatin1(titles[section]);
}

QVariant ContactListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Record &c = m_rows.at(index.row());
    switch (role) {
    case TaggedRole:
        return m_tags.contains(c.toLong("ContactID"));
    case ActiveRole:
        // The list's filter "(CON:ClientID AND CON:Status = 'Active')".
        return c.toLong("ClientID") != 0 && c.text("Status").trimmed() == QLatin1String("Active");
    case PrimaryRole:
        return c.toLong("Primary") != 0;
    case Qt::DisplayRole:
        break;
    default:
        return {};
    }
    static const char *const fields[] = { "Name", "Position", "Tel", "Email", "Dept", "Status" };
    if (index.column() < 0 || index.column() >= 6)
        return {};
    return c.text(QLatin1String(fields[index.column()])).trimmed();
}

} // namespace signups
