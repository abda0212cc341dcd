#pragma once

#include "bizlib/forms/QuoteUpdate.h"
#include "bizlib/quote/QuoteLibrary.h"

namespace bizlib {

// UPDATEQUOTE as the program runs it: the quote form whose recalculation (QUPDP:ForceCalc) is the
// QUOTE library's pricing: CALCQUOTE over the workings, then CALCTOTALS. `library` must outlive
// the hooks.
inline forms::QuoteUpdate::Hooks pricedQuoteHooks(QuoteLibrary &library)
{
    forms::QuoteUpdate::Hooks hooks;
    hooks.recalculate = [&library](Record &quote) {
        const Status st = library.calcQuote(quote);
        return st ? library.calcTotals(quote) : st;
    };
    return hooks;
}

} // namespace bizlib
