#include "console/RequestRef.h"

#include "bizlib/Record.h"

namespace console {

RequestRef RequestRef::quote(const bizlib::Record &quote)
{
    return { Kind::Quote, quote.toLong("QuoteID"), quote.toLong("WebID") };
}

RequestRef RequestRef::order(const bizlib::Record &order)
{
    return { Kind::Order, order.toLong("OrderID"), order.toLong("WebID") };
}

RequestRef RequestRef::forDetails(RequestLists::Focus current, const bizlib::Record *quote, const bizlib::Record *order)
{
    if (current == RequestLists::Focus::Quotes && quote && quote->toLong("QuoteID") != 0)
        return RequestRef::quote(*quote);
    if (order)
        return RequestRef::order(*order);
    return { Kind::Order, 0, 0 };
}

RequestRef RequestRef::forNew(RequestLists::Focus current, const bizlib::Record *quote, const bizlib::Record *order)
{
    if (current == RequestLists::Focus::Quotes && quote)
        return RequestRef::quote(*quote);
    if (current == RequestLists::Focus::Orders && order)
        return RequestRef::order(*order);
    return {};
}

} // namespace console
