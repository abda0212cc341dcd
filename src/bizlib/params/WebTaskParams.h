#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kWebTaskLayout = makeLayout("WTSKV", 743,
    {
        field::Long("DomainID"),
        field::Long("ParentID"),
        field::Long("WebID"),
        field::CString("TaskType", 51),
        field::CString("TaskRequest", 41),
        field::Long("TaskID"),
        field::Date("TaskDate"),
        field::Time("TaskTime"),
        field::CString("TaskUser", 81),
        field::CString("Description", 513),
        field::Byte("UploadImage"),
        field::Byte("UploadPDF"),
        field::Byte("UploadAttachments"),
        field::Long("Priority"),
        field::CString("Status", 20),
        field::Byte("Notify"),
        field::Date("WebHistory"),
        field::Byte("CheckedFlag"),
    });

// Webtask parameters (`WTSKV:`), taken by the library's WEBTASK operation to raise a webtask.
class WebTaskParams : public ParamRecord
{
public:
    static constexpr int kSize = kWebTaskLayout.size;
    WebTaskParams()
        : ParamRecord(kWebTaskLayout)
    { }
};

} // namespace bizlib::params
