#pragma once

#include "bizlib/Status.h"

#include <QString>

namespace bizlib {
class Database;
}

namespace console {

// The fields of the company defaults record (DEF:) that the Setup tab edits and the
// synchronisation hands to the website: the web defaults for new clients and the payment gateway.
// They live in the first row of DEFAULTS (in the order of its identifier).
struct CompanyDefaults
{
    static constexpr int WebMarkupWidth = 6;
    static constexpr int GatewayUrlWidth = 100;
    static constexpr int GatewayIdWidth = 80;
    static constexpr int GatewayWordWidth = 20;

    QString webMarkup; // markup profile for web enquiries
    qint32 webExpiry = 0; // days of web access for a new web user
    bool webEnable = false; // web-enable new client records
    bool webNotify = false; // web e-mail notifications for new clients
    qint32 webHistory = 0; // DATE from which a new client's web history is synchronised
    QString gatewayType; // "None" or "Paypal"
    QString gatewayUrl;
    QString gatewayId;
    QString gatewayMode; // "Production" or "Sandbox"

    bool operator==(const CompanyDefaults &) const = default;

    // Reads the fields from the defaults record. NotFound when the table has no record (*out
    // then holds empty values); Error when it cannot be read.
    static bizlib::Status read(bizlib::Database &db, CompanyDefaults *out);
    // Writes these fields, and only these, to the defaults record as it is in the database now;
    // with `asRead` (the values this edit started from) only the fields that differ from it, so
    // that another workstation's change of the others stays. The first record is made when the
    // table has none. The error says why when it fails.
    static bizlib::Status write(
        bizlib::Database &db, const CompanyDefaults &values, const CompanyDefaults *asRead = nullptr);
    // The identifier of the system configuration record (SYS:SyconfID of the first row), 0 when
    // there is none.
    static qint32 systemRecordId(bizlib::Database &db);
};

} // namespace console
