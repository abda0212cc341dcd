#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kQuoteUpdateLayout = makeLayout("QUPDP", 42,
    {
        field::Long("FileRequest"), // a FileRequest value
        field::Long("RecordID"),
        field::Long("ClientID"),
        field::Long("ContactID"),
        field::Long("OpportunityID"),
        field::Long("CampaignID"),
        field::Long("JobTypeID"),
        field::Byte("ForceCalc"),
        field::Byte("OrderProcess"),
        field::Byte("FromLibrary"),
        field::Long("TemplateID"),
        field::Byte("QuoteFromWeb"),
        field::Byte("NewThread"),
        field::Long("ThreadNo"),
        field::Byte("BatchProcess"),
    });

// Quote update parameters (`QUPDP:`), taken by the library's UPDATEQUOTE operation.
class QuoteUpdateParams : public ParamRecord
{
public:
    static constexpr int kSize = kQuoteUpdateLayout.size;
    QuoteUpdateParams()
        : ParamRecord(kQuoteUpdateLayout)
    { }
};

} // namespace bizlib::params
