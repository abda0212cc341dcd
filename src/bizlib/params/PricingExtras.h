#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kPricingExtrasLayout = makeLayout("EXTG", 36,
    {
        field::Decimal("Total", 13, 2, 5),
        field::Byte("DisplayQuote"),
    });

// Automatic pricing extras (`EXTG:`), taken by the library's CALCQUOTEAUTO operation: five totals
// (elements 0 to 4 of "Total") and a display flag. The same bytes make the ExtrasToAdd group of
// the price calculation parameters.
class PricingExtras : public ParamRecord
{
public:
    static constexpr int kSize = kPricingExtrasLayout.size;
    PricingExtras()
        : ParamRecord(kPricingExtrasLayout)
    { }
};

} // namespace bizlib::params
