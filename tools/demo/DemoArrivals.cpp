#include "DemoData.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"

#include <QSqlQuery>
#include <stdexcept>

// Requests arriving one by one while the demo web monitor runs. They reuse the samples of the
// demo data, so that what arrives looks like what is already there.

namespace demo {

std::pair<qint32, qint32> DemoData::nextNumbers(const QString &table)
{
    const int gap = 1 + roll(4);
    return { takeNumbers(table, QStringLiteral("Number"), 1) + 1,
        takeNumbers(table, QStringLiteral("WebID"), gap) + gap };
}

qint32 DemoData::takeNumbers(const QString &table, const QString &field, qint32 count)
{
    const bizlib::TableDef &def = bizlib::Dictionary::instance().require(table);
    const int column = def.fieldIndex(field);
    if (column < 0)
        throw std::logic_error(QStringLiteral("%1 has no field %2").arg(table, field).toStdString());
    // Beside the record counters of the table layer, under a name of the demo's own. The
    // counter never falls behind the table, so rows written before it existed are skipped too.
    const QString name = QStringLiteral("demo:%1.%2").arg(table, field).toLower();
    bizlib::Status st = m_db.exec(QStringLiteral("INSERT INTO \"wc_counters\" (\"name\", \"value\") VALUES (?, 0) "
                                                 "ON CONFLICT (\"name\") DO NOTHING"),
        { name });
    QSqlQuery q;
    if (st)
        st = m_db.exec(
            QStringLiteral("UPDATE \"wc_counters\" SET \"value\" = %1 + ? WHERE \"name\" = ? RETURNING \"value\"")
                .arg(m_db.greatest(QStringLiteral("\"value\""),
                    QStringLiteral("(SELECT COALESCE(MAX(%1), 0) FROM %2)")
                        .arg(def.sqlColumn(column), def.sqlTable()))),
            { count, name }, &q);
    if (st && !q.next())
        st = bizlib::Status::error(QStringLiteral("the counter %1 did not answer").arg(name));
    if (!st)
        throw std::runtime_error(st.message().toStdString());
    return static_cast<qint32>(q.value(0).toLongLong() - count);
}

bizlib::Status DemoData::addArrivingQuote(QuoteKind kind, const QDateTime &when, qint32 *id)
{
    return inTransaction([&] {
        m_catalog.load(m_db); // the console may have added clients since
        if (m_catalog.clients().isEmpty())
            throw std::runtime_error("web quote requests need clients in the business data");
        const auto [number, webId] = nextNumbers(QStringLiteral("WebQuotes"));
        *id = addWebQuote(randomQuotePattern(kind), Arrival::Live, number, webId, when);
    });
}

bizlib::Status DemoData::addArrivingOrder(bool service, bool consumer, const QDateTime &when, qint32 *id)
{
    return inTransaction([&] {
        m_catalog.load(m_db);
        if (m_catalog.clients().isEmpty())
            throw std::runtime_error("web orders need clients in the business data");
        // A consumer registers and orders in one visit; the order follows the sign-up by two minutes.
        const qint32 signupId = consumer ? addSignup(randomSignupPattern(true), Arrival::Live, when.addSecs(-120)) : 0;
        const auto [number, webId] = nextNumbers(QStringLiteral("WebOrders"));
        *id = addWebOrder(randomOrderPattern(service, consumer), Arrival::Live, number, webId, when, signupId);
    });
}

bizlib::Status DemoData::addArrivingSignup(const QDateTime &when, qint32 *id)
{
    return inTransaction([&] {
        m_catalog.load(m_db);
        *id = addSignup(randomSignupPattern(false), Arrival::Live, when);
    });
}

} // namespace demo
