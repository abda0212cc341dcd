#pragma once

#include "bizlib/DatabaseConfig.h"

namespace config {

class IniFile;

// Reads the "Database" section of the workstation INI file:
//   Driver (QSQLITE or QPSQL, default QSQLITE), File (SQLite; relative to the INI file's folder,
//   default "business.db"), Host, Port, Name, User, Password (PostgreSQL), and the time limits
//   in seconds ConnectTimeout, StatementTimeout, LockTimeout, KeepaliveIdle, KeepaliveInterval,
//   KeepaliveCount, TcpUserTimeout (defaults and meaning: bizlib::DatabaseConfig).
// Shared by every program that works on the workstation's business database.
bizlib::DatabaseConfig databaseConfigFromIni(const IniFile &ini);

} // namespace config
