#include "data/ClaimBook.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/DateText.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSysInfo>
#include <QUuid>

namespace data {

using bizlib::Record;
using bizlib::Status;

namespace {

const QString kClaims = QStringLiteral("wc_claims");
const QString kItems = QStringLiteral("wc_claimitems");

const bizlib::TableDef &claimsDef()
{
    return bizlib::Dictionary::instance().require(kClaims);
}

QString col(const bizlib::TableDef &def, const char *field)
{
    return def.sqlColumn(def.fieldIndex(QLatin1String(field)));
}

ClaimHolder fromRecord(const Record &r)
{
    ClaimHolder h;
    h.owner = r.text("Owner");
    h.requestTable = r.text("RequestTable");
    h.requestId = r.toLong("RequestID");
    h.savedStatus = r.text("SavedStatus");
    h.savedTemplate = r.toLong("SavedTemplate");
    h.savedPrevious = r.toLong("SavedPrevious");
    h.session = r.text("Session");
    h.workstation = r.text("Workstation");
    h.userCode = r.text("UserCode");
    h.processId = r.toLong("ProcessID");
    h.startedOn = r.toLong("StartedOn");
    h.startedAt = r.toLong("StartedAt");
    h.seenOn = r.toLong("SeenOn");
    h.seenAt = r.toLong("SeenAt");
    h.state = r.text("State");
    return h;
}

const char *kindName(RunItem::Kind kind)
{
    switch (kind) {
    case RunItem::Kind::Row:
        return "Row";
    case RunItem::Kind::File:
        return "File";
    case RunItem::Kind::Move:
        return "Move";
    case RunItem::Kind::Set:
        return "Set";
    case RunItem::Kind::Gone:
        return "Gone";
    }
    return "Row";
}

// Texts are stored as texts, an empty one too (the columns take no NULL).
QString text(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

QMutex g_liveMutex;
QSet<QString> g_live;

} // namespace

const ClaimSession &ClaimSession::thisProcess()
{
    static const ClaimSession self { QUuid::createUuid().toString(QUuid::WithoutBraces),
        QSysInfo::machineHostName().left(64), QCoreApplication::applicationPid() };
    return self;
}

QString ClaimHolder::describe() const
{
    QString who = userCode.trimmed();
    if (!workstation.trimmed().isEmpty())
        who += (who.isEmpty() ? QString() : QStringLiteral(" on ")) + workstation.trimmed();
    if (who.isEmpty())
        who = QStringLiteral("another workstation");
    if (startedOn == 0)
        return who;
    const QDateTime since(bizlib::DateTime::toDate(startedOn), bizlib::DateTime::toTime(startedAt));
    return QStringLiteral("%1 since %2").arg(who, bizlib::DateText().dateTime(since));
}

qint64 ClaimHolder::minutesUnseen(qint32 today, qint32 now) const
{
    const qint32 day = seenOn != 0 ? seenOn : startedOn;
    const qint32 time = seenOn != 0 ? seenAt : startedAt;
    if (day == 0)
        return std::numeric_limits<qint32>::max();
    // TIME values are hundredths of a second plus one.
    const qint64 then = qint64(day) * 8640000 + qMax(time - 1, 0);
    const qint64 at = qint64(today) * 8640000 + qMax(now - 1, 0);
    return (at - then) / 6000;
}

ClaimBook::ClaimBook(bizlib::Database &db)
    : m_db(db)
{ }

Status ClaimBook::insert(const ClaimHolder &h)
{
    bizlib::Table claims(m_db, kClaims);
    Record r = claims.newRecord();
    r.setText("Owner", text(h.owner));
    r.setText("RequestTable", text(h.requestTable));
    r.setLong("RequestID", h.requestId);
    r.setText("SavedStatus", text(h.savedStatus));
    r.setLong("SavedTemplate", h.savedTemplate);
    r.setLong("SavedPrevious", h.savedPrevious);
    r.setText("Session", text(h.session));
    r.setText("Workstation", text(h.workstation));
    r.setText("UserCode", text(h.userCode));
    r.setLong("ProcessID", qint32(h.processId));
    r.setLong("StartedOn", h.startedOn);
    r.setLong("StartedAt", h.startedAt);
    r.setLong("SeenOn", h.seenOn);
    r.setLong("SeenAt", h.seenAt);
    r.setText("State", text(h.state.isEmpty() ? QString::fromLatin1(ClaimHolder::kRunning) : h.state));
    return claims.insert(r);
}

Status ClaimBook::holderOf(const QString &requestTable, qint32 requestId, ClaimHolder *holder)
{
    bizlib::Table claims(m_db, kClaims);
    Record r = claims.newRecord();
    const Status st = claims.fetch(QStringLiteral("REQUESTKEY"), { requestTable, requestId }, r);
    if (st)
        *holder = fromRecord(r);
    return st;
}

Status ClaimBook::byOwner(const QString &owner, ClaimHolder *holder)
{
    bizlib::Table claims(m_db, kClaims);
    Record r = claims.newRecord();
    const Status st = claims.fetch(QStringLiteral("OWNERKEY"), { owner }, r);
    if (st)
        *holder = fromRecord(r);
    return st;
}

Status ClaimBook::all(QList<ClaimHolder> *holders)
{
    bizlib::Table claims(m_db, kClaims);
    bizlib::TableCursor cursor(claims, QStringLiteral("REQUESTKEY"));
    Record r;
    Status st;
    while ((st = cursor.next(r)))
        holders->append(fromRecord(r));
    return st.isNotFound() ? Status::ok() : st;
}

Status ClaimBook::confirm(const QString &owner)
{
    const bizlib::TableDef &def = claimsDef();
    int affected = 0;
    const Status st
        = m_db.execCounted(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE %4 = ?")
                               .arg(def.sqlTable(), col(def, "SeenOn"), col(def, "SeenAt"), col(def, "Owner")),
            { bizlib::DateTime::today(), bizlib::DateTime::now(), owner }, &affected);
    if (!st)
        return st;
    return affected == 1 ? Status::ok() : Status::notFound();
}

Status ClaimBook::takeOver(const QString &oldOwner, const ClaimHolder &h)
{
    const bizlib::TableDef &def = claimsDef();
    QStringList sets;
    for (const char *f : { "Owner", "Session", "Workstation", "UserCode", "ProcessID", "StartedOn", "StartedAt",
             "SeenOn", "SeenAt", "State" })
        sets << col(def, f) + QStringLiteral(" = ?");
    int affected = 0;
    const Status st = m_db.execCounted(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                           .arg(def.sqlTable(), sets.join(QStringLiteral(", ")), col(def, "Owner")),
        { text(h.owner), text(h.session), text(h.workstation), text(h.userCode), qint32(h.processId), h.startedOn,
            h.startedAt, h.seenOn, h.seenAt, QString::fromLatin1(ClaimHolder::kRunning), oldOwner },
        &affected);
    if (!st)
        return st;
    return affected == 1 ? Status::ok() : Status::notFound();
}

Status ClaimBook::fence(const ClaimHolder &seen, const QString &newOwner)
{
    const bizlib::TableDef &def = claimsDef();
    int affected = 0;
    Status st = m_db.execCounted(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ? AND %3 = ? AND %4 = ?")
                                     .arg(def.sqlTable(), col(def, "Owner"), col(def, "SeenOn"), col(def, "SeenAt")),
        { newOwner, seen.owner, seen.seenOn, seen.seenAt }, &affected);
    if (!st)
        return st;
    if (affected != 1)
        return Status::notFound(QStringLiteral("The claim was seen again, taken over or released meanwhile."));
    const bizlib::TableDef &items = bizlib::Dictionary::instance().require(kItems);
    return m_db.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(items.sqlTable(), col(items, "Owner")),
        { newOwner, seen.owner });
}

Status ClaimBook::setState(const QString &owner, const QString &state)
{
    const bizlib::TableDef &def = claimsDef();
    int affected = 0;
    const Status st = m_db.execCounted(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(def.sqlTable(), col(def, "State"), col(def, "Owner")),
        { state, owner }, &affected);
    if (!st)
        return st;
    return affected == 1 ? Status::ok() : Status::notFound();
}

Status ClaimBook::lock(const QString &owner)
{
    const bizlib::TableDef &def = claimsDef();
    QSqlQuery q;
    const Status st = m_db.exec(
        QStringLiteral("UPDATE %1 SET %2 = %2 WHERE %3 = ?").arg(def.sqlTable(), col(def, "State"), col(def, "Owner")),
        { owner }, &q);
    if (!st)
        return st;
    return q.numRowsAffected() == 1 ? Status::ok() : Status::notFound();
}

Status ClaimBook::close(const QString &owner)
{
    const bizlib::TableDef &def = claimsDef();
    int affected = 0;
    Status st = m_db.execCounted(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(def.sqlTable(), col(def, "Owner")), { owner }, &affected);
    if (!st)
        return st;
    const bool found = affected == 1;
    st = removeItems(owner);
    if (!st)
        return st;
    return found ? Status::ok() : Status::notFound();
}

Status ClaimBook::record(const QString &owner, int seq, const RunItem &item)
{
    bizlib::Table items(m_db, kItems);
    Record r = items.newRecord();
    r.setText("Owner", text(owner));
    r.setLong("Seq", seq);
    r.setText("Kind", text(QLatin1String(kindName(item.kind))));
    r.setText("ItemTable", text(item.table));
    r.setLong("ItemKey", item.key);
    r.setText("Path", text(item.path));
    const int widest = items.def().field(QStringLiteral("Path"))->maxChars();
    // Values to put back may be long (a specification section, a tab text): they go whole into
    // the text column; a cut value would put back something else.
    const bool saved
        = (item.kind == RunItem::Kind::Set || item.kind == RunItem::Kind::Gone) && item.target.size() > widest;
    r.setText("Target", saved ? QString() : text(item.target));
    r.setText("Saved", saved ? item.target : QString());
    // A path cut to the field's width would name another file: such a run must not go on.
    if (item.path.size() > widest || (!saved && item.target.size() > widest))
        return Status::error(QStringLiteral("The path %1 is too long to be recorded.").arg(item.path));
    return items.insert(r);
}

RunItem RunItem::set(const QString &table, qint32 key, const QString &field, const QString &was, const QString &now)
{
    const QJsonObject values { { QStringLiteral("was"), was }, { QStringLiteral("now"), now } };
    return { Kind::Set, table, key, field, QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)) };
}

RunItem RunItem::gone(const QString &table, qint32 key, const QList<QPair<QString, QString>> &fields)
{
    QJsonObject values;
    for (const auto &f : fields)
        values.insert(f.first, f.second);
    return { Kind::Gone, table, key, {}, QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)) };
}

bool RunItem::goneFields(QList<QPair<QString, QString>> *fields) const
{
    const QJsonDocument doc = QJsonDocument::fromJson(target.toUtf8());
    if (!doc.isObject())
        return false;
    const QJsonObject values = doc.object();
    for (auto it = values.begin(); it != values.end(); ++it)
        fields->append({ it.key(), it.value().toString() });
    return true;
}

bool RunItem::setValues(QString *was, QString *now) const
{
    const QJsonObject values = QJsonDocument::fromJson(target.toUtf8()).object();
    if (!values.contains(QStringLiteral("was")) || !values.contains(QStringLiteral("now")))
        return false;
    *was = values.value(QStringLiteral("was")).toString();
    *now = values.value(QStringLiteral("now")).toString();
    return true;
}

Status ClaimBook::items(const QString &owner, QList<RunItem> *out)
{
    bizlib::Table items(m_db, kItems);
    bizlib::TableCursor cursor(items, QStringLiteral("OWNERSEQKEY"));
    cursor.setRange({ owner });
    Record r;
    Status st;
    while ((st = cursor.next(r))) {
        RunItem item;
        const QString kind = r.text("Kind");
        item.kind = kind == QLatin1String("File") ? RunItem::Kind::File
            : kind == QLatin1String("Move")       ? RunItem::Kind::Move
            : kind == QLatin1String("Set")        ? RunItem::Kind::Set
            : kind == QLatin1String("Gone")       ? RunItem::Kind::Gone
                                                  : RunItem::Kind::Row;
        item.table = r.text("ItemTable");
        item.key = r.toLong("ItemKey");
        item.path = r.text("Path");
        item.target = r.text("Target");
        if (item.target.isEmpty())
            item.target = r.text("Saved");
        out->append(item);
    }
    return st.isNotFound() ? Status::ok() : st;
}

Status ClaimBook::adopt(const QString &owner, const QString &table, qint32 key)
{
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(kItems);
    return m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ? AND %4 <> ?")
                         .arg(def.sqlTable(), col(def, "ItemTable"), col(def, "ItemKey"), col(def, "Owner")),
        { table, key, owner });
}

Status ClaimBook::removeItems(const QString &owner)
{
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(kItems);
    return m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(def.sqlTable(), col(def, "Owner")), { owner });
}

Status ClaimBook::heartbeat(const QSet<QString> &owners)
{
    if (owners.isEmpty())
        return Status::ok();
    const bizlib::TableDef &def = claimsDef();
    QStringList marks;
    QVariantList params { bizlib::DateTime::today(), bizlib::DateTime::now() };
    for (const QString &o : owners) {
        marks << QStringLiteral("?");
        params << o;
    }
    return m_db.exec(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE %4 IN (%5)")
                         .arg(def.sqlTable(), col(def, "SeenOn"), col(def, "SeenAt"), col(def, "Owner"),
                             marks.join(QStringLiteral(", "))),
        params);
}

namespace LiveClaims {

void add(const QString &owner)
{
    QMutexLocker lock(&g_liveMutex);
    g_live.insert(owner);
}

void remove(const QString &owner)
{
    QMutexLocker lock(&g_liveMutex);
    g_live.remove(owner);
}

QSet<QString> owners()
{
    QMutexLocker lock(&g_liveMutex);
    return g_live;
}

} // namespace LiveClaims

} // namespace data
