#pragma once

#include "bizlib/Database.h"
#include "bizlib/Record.h"
#include "config/SystemTables.h"

namespace config {

// The reload's database steps on the business database: the first record of DEFAULTS and
// of BREVIX, in the order of their identifier keys. Uses the calling thread's connection.
class BizlibSystemTables : public SystemTables
{
public:
    explicit BizlibSystemTables(bizlib::Database &db)
        : m_db(db)
    { }

    std::optional<CompanyMailDefaults> readCompanyDefaults() override;
    // The e-mail server settings of a DEFAULTS record.
    static CompanyMailDefaults mailDefaultsOf(const bizlib::Record &record);
    void readBrevixRecord() override;

    // The BREVIX record read by the last readBrevixRecord() (a fresh, empty one when the table
    // had none); invalid before the first call.
    const bizlib::Record &brevixRecord() const { return m_brevix; }

private:
    bizlib::Database &m_db;
    bizlib::Record m_brevix;
};

} // namespace config
