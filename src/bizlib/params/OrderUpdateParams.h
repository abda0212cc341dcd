#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kOrderUpdateLayout = makeLayout("UPDP", 220,
    {
        field::Long("FileRequest"), // a FileRequest value
        field::Long("RecordID"),
        field::Long("ParentID"),
        field::Long("ProjectID"),
        field::Long("ProjectItemNo"),
        field::Long("ClientID"),
        field::Long("ContactID"),
        field::Long("OfficeID"),
        field::Long("QuoteID"),
        field::Long("MaterialID"),
        field::Long("OrderItemID"),
        field::CString("OrderForm", 21),
        field::CString("OrderType", 16),
        field::CString("OrderNo", 36),
        field::Date("DueDate"),
        field::Time("DueTime"),
        field::Long("Quantity"),
        field::CString("QuantityText", 81),
        field::Byte("QuantityIndex"),
        field::Byte("OrderFromQuote"),
        field::Byte("OrderFromWeb"),
        field::Byte("SyncQuote"),
        field::Byte("NewThread"),
        field::Long("ThreadNo"),
        field::Byte("BatchProcess"),
    });

// Order update parameters (`UPDP:`), taken by the library's UPDATEORDER operation.
class OrderUpdateParams : public ParamRecord
{
public:
    static constexpr int kSize = kOrderUpdateLayout.size;
    OrderUpdateParams()
        : ParamRecord(kOrderUpdateLayout)
    { }
};

} // namespace bizlib::params
