#pragma once

#include "bizlib/DatabaseConfig.h"

namespace config {
class IniFile;
}

namespace app {

// Reads the "Database" section of the workstation INI file:
//   Driver (QSQLITE or QPSQL, default QSQLITE), File (SQLite; relative to the INI file's folder,
//   default "business.db"), Host, Port, Name, User, Password (PostgreSQL).
bizlib::DatabaseConfig databaseConfigFromIni(const config::IniFile &ini);

} // namespace app
