#pragma once

#include "bizlib/params/ParamRecord.h"

namespace bizlib::params {

// Eleven pairs of a record identifier and its state; the names carry no prefix.
inline constexpr auto kEmailLinksLayout = makeLayout("", 66,
    {
        field::Long("EMAILQUOTEID"),
        field::UShort("EMAILQUOTESTATE"),
        field::Long("EMAILORDERID"),
        field::UShort("EMAILORDERSTATE"),
        field::Long("EMAILSPECID"),
        field::UShort("EMAILSPECSTATE"),
        field::Long("EMAILHEADERID"),
        field::UShort("EMAILHEADERSTATE"),
        field::Long("EMAILITEMID"),
        field::UShort("EMAILITEMSTATE"),
        field::Long("EMAILCLIENTID"),
        field::UShort("EMAILCLIENTSTATE"),
        field::Long("EMAILSUPPLIERID"),
        field::UShort("EMAILSUPPLIERSTATE"),
        field::Long("EMAILCONTACTID"),
        field::UShort("EMAILCONTACTSTATE"),
        field::Long("EMAILOFFICEID"),
        field::UShort("EMAILOFFICESTATE"),
        field::Long("EMAILACTIVITYID"),
        field::UShort("EMAILACTIVITYSTATE"),
        field::Long("EMAILCURRENCYID"),
        field::UShort("EMAILCURRENCYSTATE"),
    });

// E-mail link record, the second argument of EMAILDIALOG: the business records that the sent
// e-mail is filed against.
class EmailLinks : public ParamRecord
{
public:
    static constexpr int kSize = kEmailLinksLayout.size;
    EmailLinks()
        : ParamRecord(kEmailLinksLayout)
    { }
};

} // namespace bizlib::params
