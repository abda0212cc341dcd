#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

inline constexpr auto kDocumentOutputLayout = makeLayout("LOCP", 4330,
    {
        field::String("Originator", 10),
        field::Byte("Automated"),
        field::String("OutputFrom", 50),
        field::String("OutputTo", 20),
        field::Byte("SkipPreview"),
        field::String("Description", 101),
        field::String("Filename", 512),
        field::Byte("SendDialog"),
        field::String("EmailTemplate", 512),
        field::String("OtherTemplate", 512),
        field::String("FaxTemplate", 512),
        field::String("SMSTemplate", 512),
        field::String("NotifyTemplate", 512),
        field::Byte("Hardcopy"),
        field::Byte("Overwrite"),
        field::Byte("DisplayProgress"),
        field::Byte("SetPrinted"),
        field::Byte("Attachments"),
        field::Byte("IncludeArtwork"),
        field::Byte("IncludeDoc"),
        field::Byte("EmailNotice"),
        field::CString("EmailFrom", 11),
        field::CString("EmailFromAddress", 101),
        field::Byte("EmailDialog"),
        field::Byte("SMSNotice"),
        field::Byte("CCRep"),
        field::Byte("CCMgr"),
        field::Byte("CCOwner"),
        field::String("CCOtherAddress", 257),
        field::String("BCCOtherAddress", 257),
        field::Long("DefaultLayout"),
        field::Long("OtherLayout"),
        field::Long("SavedLayout"),
        field::Byte("Detailed"),
        field::Byte("RetainTags"),
        field::Long("Starting"),
        field::Long("Ending"),
        field::CString("OwnerID", 21),
        field::CString("Client_Filter", 21),
        field::CString("Office_Filter", 21),
        field::CString("Product_Filter", 51),
        field::CString("Order_Filter", 21),
        field::CString("JobType_Filter", 21),
        field::CString("TranType_Filter", 21),
        field::CString("Status_Filter", 21),
        field::CString("Rep_Filter", 11),
        field::CString("Sort_Order", 51),
        field::CString("Param1", 51),
        field::CString("Param2", 51),
        field::CString("Param3", 51),
    });
static_assert(kDocumentOutputLayout.fields.size() == 50);

// Document output parameters (`LOCP:`), taken by the library's PDFQUOTES operation, which produces
// a document such as a quote letter as a PDF file and optionally e-mails it.
class DocumentOutputParams : public ParamRecord
{
public:
    static constexpr int kSize = kDocumentOutputLayout.size;
    DocumentOutputParams()
        : ParamRecord(kDocumentOutputLayout)
    { }
};

} // namespace bizlib::params
