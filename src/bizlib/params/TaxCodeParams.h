#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kTaxCodeLayout = makeLayout("TAXCG", 43,
    {
        field::CString("TaxCode", 11),
        field::CString("TaxDistrict", 31),
        field::Byte("TaxCodeForce"),
    });

// Tax code record (`TAXCG:`), used by the library's ASSIGNTAXCODE operation.
class TaxCodeParams : public ParamRecord
{
public:
    static constexpr int kSize = kTaxCodeLayout.size;
    TaxCodeParams()
        : ParamRecord(kTaxCodeLayout)
    { }
};

} // namespace bizlib::params
