#include "DemoData.h"

#include <stdexcept>

// Requests arriving one by one while the demo web monitor runs. They reuse the samples of the
// demo data, so that what arrives looks like what is already there.

namespace demo {

std::pair<qint32, qint32> DemoData::nextNumbers(const QString &table)
{
    return { maxOf(table, QStringLiteral("Number")) + 1, maxOf(table, QStringLiteral("WebID")) + 1 + roll(4) };
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
