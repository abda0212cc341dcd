#pragma once

#include <QString>

namespace config {

// The two files the console settings live in.
struct SettingsFiles
{
    // The web monitor service's settings file (see webMonitorIniPath()).
    QString webMonitorIni;
    // The workstation INI file (see resolveLocalIniPath()).
    QString localIni;
};

} // namespace config
