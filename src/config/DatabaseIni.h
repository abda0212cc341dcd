#pragma once

#include "bizlib/DatabaseConfig.h"

#include <QStringList>

namespace config {

class IniFile;

// Reads the "Database" section of the workstation INI file:
//   Driver (QSQLITE or QPSQL, default QSQLITE), File (SQLite; relative to the INI file's folder,
//   default "business.db"), Host, Port, Name, User, Password, Schema (PostgreSQL; Schema, when
//   given, is the schema that holds the tables, so that one database can hold several), SslMode
//   and SslRootCert (PostgreSQL's TLS, see bizlib::DatabaseConfig; a relative SslRootCert is
//   relative to the INI file's folder), and the
//   time limits in seconds ConnectTimeout, StatementTimeout, LockTimeout, KeepaliveIdle,
//   KeepaliveInterval, KeepaliveCount, TcpUserTimeout (defaults and meaning: bizlib::DatabaseConfig).
// Shared by every program that works on the workstation's business database.
bizlib::DatabaseConfig databaseConfigFromIni(const IniFile &ini);
// The keys of the "Database" section that databaseConfigFromIni() reads, for copying a section.
QStringList databaseIniKeys();

} // namespace config
