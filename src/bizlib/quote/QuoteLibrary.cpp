#include "bizlib/quote/QuoteLibrary.h"

#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/NumberCounter.h"


// QUOTE library: the copy, the quote number, the signatory and the commission. Pricing is in
// QuoteLibraryPricing.cpp, quantities and specification in QuoteLibrarySpec.cpp.

namespace bizlib {

namespace {

constexpr qint32 kNoSignatory = 99999999;

QString column(const TableDef &def, const QString &field)
{
    return def.sqlColumn(def.fieldIndex(field));
}

} // namespace

QuoteLibrary::QuoteLibrary(Database &db, const Session &session)
    : m_db(db)
    , m_session(session)
{ }

QList<qint64> QuoteLibrary::quantities(const Record &quote)
{
    QList<qint64> list;
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        const qint64 q = quote.toLong(PricingModel::column(QStringLiteral("Quantity"), i));
        if (q <= 0)
            break;
        list.append(q);
    }
    return list;
}

Status QuoteLibrary::readWorkings(qint32 quoteId, QList<Record> *lines)
{
    lines->clear();
    Table workings(m_db, QStringLiteral("QuoteWorkings"));
    TableCursor cursor(workings, QStringLiteral("QUOTEIDKEY"));
    cursor.setRange({ quoteId });
    Record line;
    Status st;
    while ((st = cursor.next(line)))
        lines->append(line);
    return st.isNotFound() ? Status::ok() : st;
}

Status QuoteLibrary::deleteRows(const QString &table, const QString &where, const QVariantList &params)
{
    const TableDef &def = Dictionary::instance().require(table);
    return m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(def.sqlTable(), where), params);
}

Status QuoteLibrary::copyRows(const QString &tableName, const QString &keyName, qint32 sourceId, qint32 targetId,
    const std::function<void(Record &)> &adjust)
{
    Table table(m_db, tableName);
    const TableDef &def = table.def();
    QList<Record> rows;
    {
        TableCursor cursor(table, keyName);
        cursor.setRange({ sourceId });
        Record row;
        Status st;
        while ((st = cursor.next(row)))
            rows.append(row);
        if (!st.isNotFound())
            return st;
    }
    Status st = deleteRows(tableName, column(def, QStringLiteral("QuoteID")) + QStringLiteral(" = ?"), { targetId });
    if (!st)
        return st;
    for (const Record &row : rows) {
        Record copy;
        st = table.prime(copy);
        if (!st)
            return st;
        const qint32 id = copy.toLong(def.autoNumberField);
        copy = row;
        copy.setLong(def.autoNumberField, id);
        copy.setLong("QuoteID", targetId);
        if (adjust)
            adjust(copy);
        st = table.insert(copy);
        if (!st)
            return Status::error(
                QStringLiteral("Copying %1 of quote %2 failed: %3").arg(tableName).arg(sourceId).arg(st.message()));
    }
    return Status::ok();
}

Status QuoteLibrary::copyQuote(qint32 sourceId, qint32 targetId, const CopyOptions &options)
{
    if (options.mode.trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) != 0)
        return Status::error(QStringLiteral("Quotes are copied onto a new quote (mode \"N\"), not in mode \"%1\".")
                                 .arg(options.mode.trimmed()));
    if (targetId <= 0 || targetId == sourceId)
        return Status::error(QStringLiteral("Quote %1 cannot be copied onto quote %2.").arg(sourceId).arg(targetId));
    Table quotes(m_db, QStringLiteral("Quotes"));
    Record source = quotes.newRecord();
    const Status found = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { sourceId }, source);
    if (found.isNotFound())
        return Status::notFound(QStringLiteral("Quote %1 does not exist.").arg(sourceId));
    if (!found)
        return found;

    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    Status st = copyRows(QStringLiteral("SpecTexts"), QStringLiteral("QUOTEIDKEY"), sourceId, targetId,
        [](Record &r) { r.setLong("OrderID", 0); });
    if (st)
        st = copyRows(QStringLiteral("TabTexts"), QStringLiteral("QUOTEIDTABIDKEY"), sourceId, targetId, [](Record &r) {
            r.setLong("WebQuoteID", 0);
            r.setLong("OrderID", 0);
            r.setLong("WebOrderID", 0);
        });
    if (st && options.workings)
        st = copyRows(QStringLiteral("QuoteWorkings"), QStringLiteral("QUOTEIDKEY"), sourceId, targetId, {});
    if (st && options.workings)
        st = copyRows(QStringLiteral("QuoteQuantities"), QStringLiteral("QUOTEIDKEY"), sourceId, targetId, {});
    const auto ownedByQuote = [targetId](Record &r) {
        r.setLong("OrderID", 0);
        r.setText("ParentType", QStringLiteral("QTE"));
        r.setLong("ParentID", targetId);
    };
    if (st && options.notes)
        st = copyRows(QStringLiteral("Notes"), QStringLiteral("QUOTEIDKEY"), sourceId, targetId, ownedByQuote);
    if (st && options.attachments)
        st = copyRows(QStringLiteral("Attachments"), QStringLiteral("QUOTEIDKEY"), sourceId, targetId,
            [&ownedByQuote](Record &r) {
                ownedByQuote(r);
                r.setLong("OrderItemID", 0);
            });
    if (!st)
        return st; // rolled back: nothing of the copy stays
    return tx.commit();
}

Status QuoteLibrary::assignQuoteNumber(Record &quote)
{
    if (quote.toLong("Number") > 0)
        return Status::ok();
    qint32 number = 0;
    const Status st = quoteNumbers(m_db).take(&number);
    if (!st)
        return st;
    quote.setLong("Number", number);
    return Status::ok();
}

Status QuoteLibrary::releaseQuoteNumber(qint32 number)
{
    return quoteNumbers(m_db).release(number);
}

NumberCounter QuoteLibrary::quoteNumbers(Database &db)
{
    return NumberCounter(db, QStringLiteral("LastQuoteNo"), QStringLiteral("Quotes"), QStringLiteral("Number"),
        QStringLiteral("quote number"));
}

Status QuoteLibrary::fetchUser(const QString &initials, Record *user)
{
    const QString code = initials.trimmed();
    if (code.isEmpty())
        return Status::notFound();
    Table users(m_db, QStringLiteral("Users"));
    *user = users.newRecord();
    return users.fetch(QStringLiteral("USERKEY"), { code }, *user);
}

Status QuoteLibrary::assignSignatory(Record &quote, int source)
{
    if (quote.toLong("SignatoryID") == kNoSignatory)
        return Status::ok();
    QString initials;
    switch (source) {
    case SignLoggedOnUser:
        break;
    case SignRep:
        initials = quote.text("Rep");
        break;
    case SignEstimator:
        initials = quote.text("Estimator");
        break;
    default:
        return Status::error(QStringLiteral("Unknown signatory choice %1.").arg(source));
    }
    Record user;
    Status st = fetchUser(initials, &user);
    if (st.isError())
        return st;
    if (!st)
        st = fetchUser(m_session.userCode, &user);
    if (st.isError())
        return st;
    if (st) {
        quote.setLong("SignatoryID", user.toLong("UserID"));
        quote.setText("Signatory", user.text("FullName").trimmed());
        return Status::ok();
    }
    if (m_session.userId <= 0 && m_session.userName.trimmed().isEmpty())
        return Status::notFound(QStringLiteral("Nobody is logged on to sign the quote."));
    quote.setLong("SignatoryID", m_session.userId);
    quote.setText("Signatory", m_session.userName.trimmed());
    return Status::ok();
}

Status QuoteLibrary::assignCommission(const QString &recordType, Record &quote)
{
    if (recordType.trimmed().compare(QLatin1String("QTE"), Qt::CaseInsensitive) != 0)
        return Status::error(
            QStringLiteral("Commission is assigned to quotes (QTE), not to \"%1\".").arg(recordType.trimmed()));
    Record q = quote;
    Record rep;
    const Status st = fetchUser(q.text("Rep"), &rep);
    if (st.isError())
        return st;
    if (st) {
        q.setText("RepCode", rep.text("RepCode"));
        if (rep.toLong("IsRep") == 0)
            q.setDecimal("CommissionRate", Decimal());
    } else {
        q.setText("RepCode", QString());
        q.setDecimal("CommissionRate", Decimal());
    }
    QList<PricingModel::TaxSplit> splits;
    const Status ts = taxSplits(q, &splits);
    if (!ts)
        return ts;
    for (int i = 1; i <= PricingModel::kQuantities; ++i) {
        const Decimal commission
            = i <= splits.size() ? PricingModel::percentOf(splits[i - 1].net, q.decimal("CommissionRate")) : Decimal();
        q.setDecimal(PricingModel::column(QStringLiteral("Commission"), i), commission);
    }
    if (const Status fits = checkAmounts(q); !fits)
        return fits;
    quote = q;
    return Status::ok();
}

Status QuoteLibrary::selectIncludes(Record &quote, bool automatic)
{
    if (!automatic)
        return Status::error(QStringLiteral("The optional workings lines can only be included all together here; "
                                            "choosing them one by one is not available."));
    QList<Record> lines;
    Status st = readWorkings(quote.toLong("QuoteID"), &lines);
    if (!st)
        return st;
    Table workings(m_db, QStringLiteral("QuoteWorkings"));
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    bool changed = false;
    for (Record &line : lines) {
        if (line.toLong("Optional") == 0 || line.toLong("Included") != 0)
            continue;
        line.setLong("Included", 1);
        st = workings.update(line);
        if (!st)
            return st;
        changed = true;
    }
    st = tx.commit();
    if (!st)
        return st;
    if (changed)
        quote.setLong("Calculate", 1);
    return Status::ok();
}

Status QuoteLibrary::removeQuote(qint32 quoteId)
{
    if (quoteId <= 0)
        return Status::error(QStringLiteral("There is no quote %1 to remove.").arg(quoteId));
    Table quotes(m_db, QStringLiteral("Quotes"));
    Record quote = quotes.newRecord();
    quote.setLong("QuoteID", quoteId);
    Transaction tx(m_db);
    if (!tx.status())
        return tx.status();
    Status st = quotes.removeRelatedRows(quote);
    if (st) {
        st = quotes.remove(quote);
        if (st.isNotFound())
            st = Status::ok();
    }
    return st ? tx.commit() : st;
}

Status QuoteLibrary::writeQuote(const Record &quote)
{
    Table quotes(m_db, QStringLiteral("Quotes"));
    Record probe = quotes.newRecord();
    const Status st = quotes.fetch(QStringLiteral("QUOTEIDKEY"), { quote.toLong("QuoteID") }, probe);
    if (st)
        return quotes.update(quote);
    if (st.isNotFound())
        return quotes.insert(quote);
    return st;
}

} // namespace bizlib
