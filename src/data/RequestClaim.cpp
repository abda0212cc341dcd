#include "data/RequestClaim.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"

#include <stdexcept>

namespace data {

namespace {

// A lost race (the status changed between the read and the write) is tried again on the row as
// it then is; more than a few in a row means something rewrites the row all the time.
constexpr int kAttempts = 5;

struct Target
{
    const bizlib::TableDef *def = nullptr;
    int idField = -1;
    int statusField = -1;
};

Target targetOf(const ClaimVariant &variant)
{
    Target t;
    t.def = &bizlib::Dictionary::instance().require(variant.table);
    t.idField = t.def->primary().fields.first();
    t.statusField = t.def->fieldIndex(QStringLiteral("Status"));
    if (t.statusField < 0)
        throw std::logic_error(QStringLiteral("%1 has no status field").arg(variant.table).toStdString());
    return t;
}

// "SET status = ?, field = ?" and its parameters.
void assignments(bizlib::Database &db, const Target &t, const QString &status, const RequestClaim::Assignments &extra,
    QStringList *sets, QVariantList *params)
{
    *sets << t.def->sqlColumn(t.statusField) + QStringLiteral(" = ?");
    *params << db.toSql(t.def->fields[t.statusField], status);
    for (const auto &[name, value] : extra) {
        const int i = t.def->fieldIndex(name);
        if (i < 0)
            throw std::logic_error(QStringLiteral("no field %1 in %2").arg(name, t.def->name).toStdString());
        bizlib::Record scratch(*t.def);
        scratch.setValue(i, value); // cut to the field's width as any write is
        *sets << t.def->sqlColumn(i) + QStringLiteral(" = ?");
        *params << db.toSql(t.def->fields[i], scratch.valueAt(i));
    }
}

bool isProcessing(const QString &status, ClaimVariant::Test test)
{
    QString s = status;
    if (test == ClaimVariant::Test::Trimmed) {
        while (s.endsWith(u' '))
            s.chop(1);
    }
    return s == QLatin1String(RequestClaim::kProcessing);
}

} // namespace

RequestClaim::RequestClaim(bizlib::Database &db, const ClaimVariant &variant, qint32 requestId,
    bizlib::Prompter *prompter, std::function<void()> changeNotice)
    : m_db(db)
    , m_variant(variant)
    , m_requestId(requestId)
    , m_prompter(prompter)
    , m_changeNotice(std::move(changeNotice))
{ }

RequestClaim::~RequestClaim()
{
    if (m_held)
        release();
}

QString RequestClaim::statusTest(const QString &column) const
{
    return m_variant.test == ClaimVariant::Test::Trimmed ? QStringLiteral("RTRIM(%1) = ?").arg(column)
                                                         : QStringLiteral("%1 = ?").arg(column);
}

void RequestClaim::notice()
{
    if (m_changeNotice)
        m_changeNotice();
}

bizlib::Status RequestClaim::readStatus(QString *status, bool *found)
{
    const Target t = targetOf(m_variant);
    QSqlQuery q;
    const bizlib::Status st
        = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                        .arg(t.def->sqlColumn(t.statusField), t.def->sqlTable(), t.def->sqlColumn(t.idField)),
            { m_requestId }, &q);
    if (!st)
        return st;
    *found = q.next();
    *status = *found ? q.value(0).toString() : QString();
    return bizlib::Status::ok();
}

RequestClaim::Outcome RequestClaim::claim(bool automatic, const Assignments &alsoSet, const QString &statusAsRead)
{
    if (m_tried)
        return m_outcome;
    const Target t = targetOf(m_variant);
    const QString statusColumn = t.def->sqlColumn(t.statusField);
    const QString processing = QString::fromLatin1(kProcessing);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        QString current;
        bool found = false;
        if (attempt == 0 && !statusAsRead.isNull() && !isProcessing(statusAsRead, m_variant.test)) {
            current = statusAsRead;
            found = true;
        } else {
            m_lastStatus = readStatus(&current, &found);
            if (!m_lastStatus)
                return m_outcome = Outcome::Failed;
        }
        if (!found) {
            m_tried = true;
            return m_outcome = Outcome::Gone;
        }
        if (isProcessing(current, m_variant.test))
            break;
        QStringList sets;
        QVariantList params;
        assignments(m_db, t, processing, alsoSet, &sets, &params);
        params << m_requestId << current << processing;
        QSqlQuery q;
        m_lastStatus = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4 = ? AND NOT (%5)")
                                     .arg(t.def->sqlTable(), sets.join(QStringLiteral(", ")),
                                         t.def->sqlColumn(t.idField), statusColumn, statusTest(statusColumn)),
            params, &q);
        if (!m_lastStatus)
            return m_outcome = Outcome::Failed;
        if (q.numRowsAffected() == 1) {
            m_tried = m_held = true;
            m_saved = current;
            notice();
            return m_outcome = Outcome::Claimed;
        }
        // Another workstation changed the row between the read and the write: look again.
    }

    m_tried = true;
    if (automatic && m_variant.whenAutomatic == ClaimVariant::WhenAutomatic::Silent)
        return m_outcome = Outcome::Declined;
    // Esc means Cancel: taking over another workstation's claim needs the button itself.
    if (!m_prompter
        || m_prompter->alert(m_variant.message, caption(), bizlib::Prompter::Icon::Exclamation, buttons(), 1, 1) != 2)
        return m_outcome = Outcome::Declined;
    m_held = m_unlocked = true;
    m_saved = QString::fromLatin1(kPending);
    notice();
    return m_outcome = Outcome::Unlocked;
}

bizlib::Status RequestClaim::writeWhileProcessing(const QString &status, const Assignments &alsoSet, int *rows)
{
    const Target t = targetOf(m_variant);
    QStringList sets;
    QVariantList params;
    assignments(m_db, t, status, alsoSet, &sets, &params);
    params << m_requestId << QString::fromLatin1(kProcessing);
    QSqlQuery q;
    m_lastStatus = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4")
                                 .arg(t.def->sqlTable(), sets.join(QStringLiteral(", ")), t.def->sqlColumn(t.idField),
                                     statusTest(t.def->sqlColumn(t.statusField))),
        params, &q);
    *rows = m_lastStatus ? q.numRowsAffected() : 0;
    return m_lastStatus;
}

bizlib::Status RequestClaim::release(const Assignments &alsoSet)
{
    if (!m_held)
        return bizlib::Status::ok();
    m_held = false;
    int rows = 0;
    if (writeWhileProcessing(m_saved, alsoSet, &rows) && rows > 0)
        notice();
    return m_lastStatus;
}

bizlib::Status RequestClaim::removeRequest()
{
    if (!m_held)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The request is not claimed by this window."));
    const Target t = targetOf(m_variant);
    bizlib::Transaction tx(m_db);
    if (!tx.status())
        return m_lastStatus = tx.status();
    QSqlQuery q;
    m_lastStatus = m_db.exec(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3")
            .arg(t.def->sqlTable(), t.def->sqlColumn(t.idField), statusTest(t.def->sqlColumn(t.statusField))),
        { m_requestId, QString::fromLatin1(kProcessing) }, &q);
    if (!m_lastStatus)
        return m_lastStatus;
    if (q.numRowsAffected() != 1)
        return m_lastStatus = bizlib::Status::notFound(
                   QStringLiteral("The web request was processed or released by another workstation meanwhile."));
    bizlib::Table table(m_db, *t.def);
    bizlib::Record request = table.newRecord();
    request.setLong(t.idField, m_requestId);
    m_lastStatus = table.removeRelatedRows(request);
    if (!m_lastStatus)
        return m_lastStatus;
    return m_lastStatus = tx.commit();
}

bizlib::Status RequestClaim::handOn(const QString &status, const Assignments &alsoSet)
{
    if (!m_held)
        return m_lastStatus = bizlib::Status::error(QStringLiteral("The request is not claimed by this window."));
    int rows = 0;
    if (writeWhileProcessing(status, alsoSet, &rows) && rows != 1)
        m_lastStatus = bizlib::Status::notFound(
            QStringLiteral("The web request was processed or released by another workstation meanwhile."));
    return m_lastStatus;
}

void RequestClaim::settle()
{
    m_held = false;
}

} // namespace data
