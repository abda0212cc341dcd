#pragma once

#include "bizlib/params/ParamRecord.h"
#include "bizlib/params/PricingExtras.h"

namespace bizlib::params {

inline constexpr auto kPriceCalcLayout = makeLayout("CALCP", 171,
    {
        field::Long("FileRequest"),
        field::Long("Qty"),
        field::CString("MarkupMethod", 11),
        // The TargetPrices group.
        field::Decimal("TargetPrice", 15, 2, 5),
        // The ExtrasToAdd group: an EXTG: record.
        field::Decimal("Total", 13, 2, 5),
        field::Byte("DisplayQuote"),
        field::Decimal("CommBasis", 13, 2, 5),
        field::Decimal("CommRate", 13, 4, 5),
        field::Byte("IncludeTax"),
        field::Byte("UseCurrency"),
        field::Byte("AdjustSplit"),
        field::Byte("CalcTotals"),
        field::Byte("CalcComm"),
        field::Byte("Silent"),
    });
static_assert(kPriceCalcLayout.endOf("TargetPrice") - kPriceCalcLayout.offsetOf("TargetPrice") == 40);
static_assert(kPriceCalcLayout.endOf("DisplayQuote") - kPriceCalcLayout.offsetOf("Total") == PricingExtras::kSize);

// Price calculation parameters (`CALCP:`), taken by the library's CALCPRICE operation. Array fields:
// "TargetPrice", "Total", "CommBasis" and "CommRate", five values each.
class PriceCalcParams : public ParamRecord
{
public:
    static constexpr int kSize = kPriceCalcLayout.size;
    PriceCalcParams()
        : ParamRecord(kPriceCalcLayout)
    { }

    // The ExtrasToAdd group as a record of its own, and back.
    PricingExtras extrasToAdd() const
    {
        PricingExtras extras;
        (void)extras.assign(block(kExtrasOffset, PricingExtras::kSize));
        return extras;
    }
    void setExtrasToAdd(const PricingExtras &extras) { setBlock(kExtrasOffset, extras.bytes()); }

private:
    static constexpr int kExtrasOffset = kPriceCalcLayout.offsetOf("Total");
};

} // namespace bizlib::params
