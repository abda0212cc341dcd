#pragma once

#include "bizlib/forms/QuoteUpdate.h"
#include "bizlib/params/PricingExtras.h"
#include "bizlib/quote/QuoteLibrary.h"

namespace bizlib {

// UPDATEQUOTE as the program runs it: the quote form whose recalculation (QUPDP:ForceCalc) is the
// QUOTE library's pricing of a quote as it stands: CALCQUOTE over the workings, then CALCPRICE with
// the quote's own markup method, target prices and tax flag, commission and totals included
// (CALCQUOTEAUTO without numbering or saving). A target price that the method uses (markup method
// "TP", or QTE:UseTargetPrice) is therefore the price the form shows. `library` must outlive the hooks.
inline forms::QuoteUpdate::Hooks pricedQuoteHooks(QuoteLibrary &library)
{
    forms::QuoteUpdate::Hooks hooks;
    hooks.recalculate = [&library](Record &quote) {
        return library.calcQuoteAuto(params::PricingExtras(), quote, false, true, false);
    };
    return hooks;
}

} // namespace bizlib
