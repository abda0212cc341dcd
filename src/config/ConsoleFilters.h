#pragma once

#include <QString>

namespace config {

class TraceLog;

// The monitor window's list filters, kept in section "WebConsole" of the workstation INI file.
struct ConsoleFilters
{
    bool accManager = false; // "AccManager": only clients whose account manager is the current user
    bool b2cOnly = false; // "B2COnly": only B2C orders
};

// Reads both keys (absent: off). Reported to `trace` as "GetWebConsoleFilters".
ConsoleFilters readConsoleFilters(const QString &localIni, TraceLog &trace);
// Writes both keys as 0/1, leaving the rest of the file as it is. Reported to `trace` as
// "PutWebConsoleFilters". Returns false when the file could not be written.
bool writeConsoleFilters(const QString &localIni, const ConsoleFilters &filters, TraceLog &trace);

} // namespace config
