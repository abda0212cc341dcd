#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kTaxAmountsLayout = makeLayout("LOC", 36,
    {
        field::Decimal("LTaxRate", 9, 4),
        field::Decimal("GTaxRate", 9, 4),
        field::Decimal("TaxRate", 9, 4),
        field::Decimal("LTax", 13, 2),
        field::Decimal("GTax", 13, 2),
        field::Decimal("Tax", 13, 2),
    });

// Tax amounts (`LOC:`), used by the library's CALCTAX operation when an order's tax is calculated:
// the local, general and combined rates in per cent, then the matching amounts.
class TaxAmounts : public ParamRecord
{
public:
    static constexpr int kSize = kTaxAmountsLayout.size;
    TaxAmounts()
        : ParamRecord(kTaxAmountsLayout)
    { }
};

} // namespace bizlib::params
