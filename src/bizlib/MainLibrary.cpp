#include "bizlib/MainLibrary.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/quote/PricingModel.h"

#include <QDir>
#include <QFileInfo>

namespace bizlib {

namespace {

QString sqlColumn(const TableDef &def, const char *field)
{
    return def.sqlColumn(def.fieldIndex(QLatin1String(field)));
}

QString taxTypeOf(const QString &accountType)
{
    const QString t = accountType.trimmed().toUpper();
    if (t == QLatin1String("CLI"))
        return QStringLiteral("Sales");
    if (t == QLatin1String("SUP"))
        return QStringLiteral("Purchase");
    return {};
}

} // namespace

MainLibrary::MainLibrary(Database &db)
    : m_db(db)
{ }

Status MainLibrary::taxRate(const QString &code, const QString &taxType, TaxRate *rate)
{
    const QString c = code.trimmed();
    if (c.isEmpty())
        return Status::notFound(QStringLiteral("No tax code given."));
    Table rates(m_db, QStringLiteral("TaxRates"));
    Record row = rates.newRecord();
    const Status st = rates.fetch(QStringLiteral("TAXCODEKEY"), { taxType, c }, row);
    if (!st)
        return st.isNotFound() ? Status::notFound(QStringLiteral("Tax code %1 is not in the tax-rate table.").arg(c))
                               : st;
    if (rate) {
        rate->code = c;
        rate->type = taxType;
        rate->district = row.text("TaxDistrict").trimmed();
        rate->description = row.text("Description").trimmed();
        rate->localRate = row.decimal("LTaxRate");
        rate->generalRate = row.decimal("GTaxRate");
        if (rate->localRate.isZero() && rate->generalRate.isZero())
            rate->generalRate = row.decimal("TaxRate");
    }
    return Status::ok();
}

MainLibrary::Location MainLibrary::officeLocation(qint32 officeId)
{
    Location l;
    if (officeId <= 0)
        return l;
    Table offices(m_db, QStringLiteral("Offices"));
    Record o = offices.newRecord();
    if (offices.fetch(QStringLiteral("OFFICEIDKEY"), { officeId }, o)) {
        l.county = o.text("County").trimmed();
        l.country = o.text("Country").trimmed();
        l.found = true;
    }
    return l;
}

MainLibrary::Location MainLibrary::contactLocation(qint32 contactId)
{
    if (contactId <= 0)
        return {};
    Table contacts(m_db, QStringLiteral("Contacts"));
    Record c = contacts.newRecord();
    if (!contacts.fetch(QStringLiteral("CONTACTIDKEY"), { contactId }, c))
        return {};
    return officeLocation(c.toLong("OfficeID"));
}

MainLibrary::Location MainLibrary::clientLocation(qint32 clientId)
{
    Location l;
    if (clientId <= 0)
        return l;
    Table clients(m_db, QStringLiteral("Clients"));
    Record c = clients.newRecord();
    if (clients.fetch(QStringLiteral("CLIENTIDKEY"), { clientId }, c)) {
        l.county = c.text("County").trimmed();
        l.country = c.text("Country").trimmed();
        l.found = true;
    }
    return l;
}

QString MainLibrary::deliveryDistrict(const TaxCodeRequest &request)
{
    const Location candidates[] = { officeLocation(request.deliveryOfficeId),
        contactLocation(request.deliveryContactId), clientLocation(request.deliveryClientId),
        contactLocation(request.contactId), clientLocation(request.clientId) };
    for (const Location &l : candidates) {
        if (l.found && !(l.county.isEmpty() && l.country.isEmpty()))
            return l.county.isEmpty() ? l.country : l.county;
    }
    return {};
}

Status MainLibrary::assignTaxCode(const TaxCodeRequest &request, params::TaxCodeParams *result)
{
    const QString taxType = taxTypeOf(request.accountType);
    if (taxType.isEmpty())
        return Status::error(
            QStringLiteral("Tax codes are assigned to clients (CLI) and suppliers (SUP), not to \"%1\".")
                .arg(request.accountType.trimmed()));
    result->clear();

    Table clients(m_db, QStringLiteral("Clients"));
    Record client = clients.newRecord();
    bool haveClient = false;
    if (request.clientId > 0) {
        const Status st = clients.fetch(QStringLiteral("CLIENTIDKEY"), { request.clientId }, client);
        if (st.isError())
            return st;
        haveClient = st.isOk();
    }
    QString materialCode;
    if (request.rules.trimmed().compare(QLatin1String("MTL"), Qt::CaseInsensitive) == 0 && request.materialId > 0) {
        Table materials(m_db, QStringLiteral("Materials"));
        Record m = materials.newRecord();
        const Status st = materials.fetch(QStringLiteral("MATERIALIDKEY"), { request.materialId }, m);
        if (st.isError())
            return st;
        if (st)
            materialCode = m.text("TaxCode");
    }

    struct Candidate
    {
        QString code;
        bool forced;
    };
    QList<Candidate> candidates;
    if (request.keepCurrent)
        candidates.append({ request.currentCode, false });
    if (haveClient && client.toLong("TaxCodeForce") != 0)
        candidates.append({ client.text("TaxCode"), true });
    candidates.append({ materialCode, false });
    if (haveClient)
        candidates.append({ client.text("TaxCode"), false });
    candidates.append({ request.currentCode, false });

    TaxRate chosen;
    bool forced = false;
    bool found = false;
    for (const Candidate &c : candidates) {
        if (c.code.trimmed().isEmpty())
            continue;
        const Status st = taxRate(c.code, taxType, &chosen);
        if (st.isError())
            return st;
        if (st) {
            forced = c.forced;
            found = true;
            break;
        }
    }

    const QString district = deliveryDistrict(request);
    if (!found && !district.isEmpty()) {
        const TableDef &def = Dictionary::instance().require(QStringLiteral("TaxRates"));
        QSqlQuery q;
        const Status st = m_db.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? AND UPPER(TRIM(%4)) = ? ORDER BY %1")
                                        .arg(sqlColumn(def, "TaxCode"), def.sqlTable(), sqlColumn(def, "TaxType"),
                                            sqlColumn(def, "TaxDistrict")),
            { taxType, district.toUpper() }, &q);
        if (!st)
            return st;
        if (q.next()) {
            const QString code = q.value(0).toString();
            q.finish();
            const Status rs = taxRate(code, taxType, &chosen);
            if (rs.isError())
                return rs;
            found = rs.isOk();
        }
    }

    if (found) {
        result->setText("TaxCode", chosen.code);
        result->setText("TaxDistrict", chosen.district.isEmpty() ? district : chosen.district);
        result->setLong("TaxCodeForce", forced ? 1 : 0);
    } else {
        result->setText("TaxDistrict", district);
    }
    return Status::ok();
}

Status MainLibrary::calcTax(const QString &taxCode, const Decimal &amount, bool amountIncludesTax,
    params::TaxAmounts *result, const QString &taxType)
{
    result->clear();
    TaxRate rate;
    Status st = Status::ok();
    if (!taxCode.trimmed().isEmpty()) {
        st = taxRate(taxCode, taxType, &rate);
        if (st.isError())
            return st;
    }
    if (!st) // unknown code: zero rates, reported
        return st;
    const PricingModel::TaxSplit split = amountIncludesTax
        ? PricingModel::taxInGross(amount, rate.localRate, rate.generalRate)
        : PricingModel::taxOnNet(amount, rate.localRate, rate.generalRate);
    const bool fits = result->setDecimal("LTaxRate", rate.localRate) && result->setDecimal("GTaxRate", rate.generalRate)
        && result->setDecimal("TaxRate", rate.rate()) && result->setDecimal("LTax", split.local)
        && result->setDecimal("GTax", split.general) && result->setDecimal("Tax", split.tax);
    if (!fits) {
        result->clear();
        return Status::error(QStringLiteral("The tax on %1 is too large to be recorded.").arg(amount.toString()));
    }
    return Status::ok();
}

QString MainLibrary::formatAddress(qint32 countryId, const QString &postcode, const QString &county,
    const QString &town, const QString &line3, const QString &line2, const QString &line1)
{
    QStringList lines;
    for (const QString &l : { line1, line2, line3, town, county, postcode }) {
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    }
    if (countryId > 0) {
        Table countries(m_db, QStringLiteral("Countries"));
        Record c = countries.newRecord();
        if (countries.fetch(QStringLiteral("COUNTRYIDKEY"), { countryId }, c)
            && !c.text("CountryName").trimmed().isEmpty())
            lines << c.text("CountryName").trimmed();
    }
    return lines.join(QLatin1Char('\n'));
}

QString MainLibrary::searchReplace(
    const QString &text, const QString &find, const QString &replacement, int maxLength, Qt::CaseSensitivity cs)
{
    QString out = text;
    if (!find.isEmpty())
        out.replace(find, replacement, cs);
    if (maxLength > 0 && out.size() > maxLength)
        out.truncate(maxLength);
    return out;
}

Status MainLibrary::addListOption(const QString &field, const QString &value, const QString &parent, bool enabled,
    bool webEnable, bool userAdded, bool *added)
{
    if (added)
        *added = false;
    // Null texts would be bound as SQL NULL, which equals nothing; the columns hold empty texts.
    const QString v = value.trimmed();
    const QString f = field.trimmed();
    const QString p = parent.isNull() ? QStringLiteral("") : parent.trimmed();
    if (v.isEmpty())
        return Status::ok();
    if (f.isEmpty())
        return Status::error(QStringLiteral("A list option needs the name of its field."));

    Table options(m_db, QStringLiteral("ListOptions"));
    const TableDef &def = options.def();
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    // SQLite's write transaction already excludes other writers; PostgreSQL needs the table lock so
    // that a second workstation's check waits for this insert.
    if (m_db.isPostgres()) {
        const Status st = m_db.exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(def.sqlTable()));
        if (!st)
            return st;
    }
    const QString sameList
        = QStringLiteral("UPPER(%1) = ? AND %2 = ?").arg(sqlColumn(def, "FieldName"), sqlColumn(def, "Parent"));
    qint64 existing = 0;
    Status st = options.count(
        &existing, sameList + QStringLiteral(" AND %1 = ?").arg(sqlColumn(def, "Value")), { f.toUpper(), p, v });
    if (!st)
        return st;
    if (existing > 0)
        return tx.commit();

    QSqlQuery q;
    st = m_db.exec(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2 WHERE %3")
                       .arg(sqlColumn(def, "Sequence"), def.sqlTable(), sameList),
        { f.toUpper(), p }, &q);
    if (!st)
        return st;
    const qint64 sequence = q.next() ? q.value(0).toLongLong() + 1 : 1;
    q.finish();

    Record row;
    st = options.prime(row);
    if (!st)
        return st;
    row.setText("FieldName", f);
    row.setText("Parent", p);
    row.setText("Value", v);
    row.setLong("Sequence", sequence);
    row.setLong("Enabled", enabled ? 1 : 0);
    row.setLong("WebEnable", webEnable ? 1 : 0);
    row.setLong("UserAdded", userAdded ? 1 : 0);
    st = options.insert(row);
    if (!st)
        return st; // the transaction rolls back, the primed number with it
    st = tx.commit();
    if (st && added)
        *added = true;
    return st;
}

QString MainLibrary::localPath(const QString &path)
{
    QString p = path.trimmed();
    if (QDir::separator() == QLatin1Char('/'))
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::toNativeSeparators(p);
}

Status MainLibrary::createDirectory(const QString &path)
{
    const QString p = localPath(path);
    if (p.isEmpty())
        return Status::error(QStringLiteral("No folder name was given."));
    const QFileInfo info(p);
    if (info.isDir())
        return Status::ok();
    if (info.exists())
        return Status::error(
            QStringLiteral("The folder %1 cannot be created: a file of that name is in the way.").arg(p));
    if (!QDir().mkpath(p))
        return Status::error(
            QStringLiteral("The folder %1 cannot be created (no permission, or a file in the path).").arg(p));
    return Status::ok();
}

} // namespace bizlib
