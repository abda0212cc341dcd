#include "bizlib/ClientLibrary.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"
#include "bizlib/Table.h"

#include <QSet>
#include <QSqlQuery>

namespace bizlib {

ClientLibrary::ClientLibrary(Database &db, const Session &session)
    : m_db(db)
    , m_session(session)
{ }

Status ClientLibrary::assignAccountCode(const QString &name, const QString &tablePrefix, QString *code)
{
    if (tablePrefix.trimmed().toUpper() != QLatin1String("CLI"))
        return Status::error(QStringLiteral("Account codes are assigned for clients (CLI) only, not for %1.")
                                 .arg(tablePrefix.trimmed()));
    QString stem;
    for (const QChar c : name.toUpper()) {
        if (stem.size() == 6)
            break;
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            stem += c;
    }
    if (stem.isEmpty())
        stem = QStringLiteral("CLIENT");
    Table clients(m_db, QStringLiteral("Clients"));
    const TableDef &def = clients.def();
    const QString column = def.sqlColumn(def.fieldIndex(QStringLiteral("Code")));
    // The codes already built on this stem, read once: probing 9,999 numbers one by one would not do.
    QSqlQuery q;
    Status st = m_db.exec(QStringLiteral("SELECT RTRIM(%1) FROM %2 WHERE %1 LIKE ?").arg(column, def.sqlTable()),
        { stem + QLatin1Char('%') }, &q);
    if (!st)
        return st;
    QSet<QString> taken;
    while (q.next())
        taken.insert(q.value(0).toString().toUpper());
    for (int digits = 2; digits <= kMaxCodeLength - int(stem.size()) && digits <= 4; ++digits) {
        int limit = 1;
        for (int i = 0; i < digits; ++i)
            limit *= 10;
        // Three and four digits go on where two ended (HARBOU99, HARBOU100), never back to 001.
        for (int n = digits == 2 ? 1 : limit / 10; n < limit; ++n) {
            const QString candidate = stem + QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
            if (!taken.contains(candidate)) {
                *code = candidate;
                return Status::ok();
            }
        }
    }
    return Status::error(QStringLiteral("No free account code is left for %1.").arg(stem));
}

Status ClientLibrary::validateCode(const QString &code)
{
    if (code.trimmed().isEmpty())
        return Status::error(QStringLiteral("The client code is empty."));
    if (code.size() > kMaxCodeLength)
        return Status::error(
            QStringLiteral("The client code %1 is longer than %2 characters.").arg(code).arg(kMaxCodeLength));
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : code) {
        if (c.isSpace() || c.category() == QChar::Other_Control || forbidden.contains(c))
            return Status::error(QStringLiteral("The client code %1 may not contain blanks or any of / \\ : * ? \" < > |.")
                                     .arg(code));
    }
    return Status::ok();
}

Status ClientLibrary::validateNominal(const QString &nominal, const QString &nominalType, Record *record)
{
    Table nominals(m_db, QStringLiteral("NominalCodes"));
    Record row = nominals.newRecord();
    const Status st = nominals.fetch(QStringLiteral("NOMINALKEY"), { nominal.trimmed() }, row);
    if (st.isError())
        return st;
    if (st.isNotFound() || row.text("NominalType").trimmed().compare(nominalType, Qt::CaseInsensitive) != 0)
        return Status::notFound(
            QStringLiteral("%1 is not a nominal code of the type %2.").arg(nominal.trimmed(), nominalType));
    if (record)
        *record = row;
    return Status::ok();
}

Status ClientLibrary::validateTaxCode(const QString &taxCode, const QString &taxType)
{
    Table rates(m_db, QStringLiteral("TaxRates"));
    Record row = rates.newRecord();
    const Status st = rates.fetch(QStringLiteral("TAXCODEKEY"), { taxType, taxCode.trimmed() }, row);
    if (st.isNotFound())
        return Status::notFound(
            QStringLiteral("%1 is not a tax code of the type %2.").arg(taxCode.trimmed(), taxType));
    return st;
}

Status ClientLibrary::clientUpdates(
    UpdateAction action, Record &client, const Record &previous, bool silent, bool batch)
{
    Q_UNUSED(previous);
    Q_UNUSED(silent);
    Q_UNUSED(batch);
    client.setText("NameCaps", client.text("Name").trimmed().toUpper());
    if (const qint32 contactId = client.toLong("ContactID"); contactId != 0) {
        Table contacts(m_db, QStringLiteral("Contacts"));
        Record contact = contacts.newRecord();
        const Status st = contacts.fetch(QStringLiteral("CONTACTIDKEY"), { contactId }, contact);
        if (st.isError())
            return st;
        if (st)
            client.setText("Contact", contact.text("Name"));
    }
    if (action == UpdateAction::Inserted) {
        if (client.toLong("CreatedOn") == 0)
            client.setLong("CreatedOn", DateTime::today());
        if (client.text("CreatedBy").trimmed().isEmpty())
            client.setText("CreatedBy", m_session.userCode.left(3));
    }
    return Status::ok();
}

} // namespace bizlib
