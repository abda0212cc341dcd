#pragma once

#include "config/CompanyMailDefaults.h"

#include <optional>

namespace config {

// The business-database steps of reloading the system configuration.
class SystemTables
{
public:
    virtual ~SystemTables() = default;

    // The e-mail settings of the first record of the company defaults table; nullopt when no
    // record can be read.
    virtual std::optional<CompanyMailDefaults> readCompanyDefaults() = 0;
    // Reads the first record of the system table BREVIX into its buffer, or prepares a fresh,
    // empty record when the table has none.
    virtual void readBrevixRecord() = 0;
};

} // namespace config
