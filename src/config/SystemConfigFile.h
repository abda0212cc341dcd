#pragma once

#include "config/CompanyMailDefaults.h"
#include "config/ConsoleSettings.h"
#include "config/SettingsFiles.h"
#include "config/SystemConfig.h"

namespace config {

class IniFile;
class SystemTables;
class TraceLog;

// Reads every key of the system configuration from `ini`, section by section. Absent keys
// take the defaults of SystemConfig, except:
// - "ConfigData" defaults to the "GlobalData" value just read, and "ReportFilename",
//   "LayoutFilename", "QueryWizard", "ReportWizard", "ViewWizard" to "report.tps",
//   "layout.tps", "queries.tps", "Wizrept.tps", "Wizview.tps" in that folder;
// - "CompanyNo" defaults to `currentCompany`;
// - the e-mail server keys default to the same-named settings of `mail`.
SystemConfig readSystemConfig(const IniFile &ini, const CompanyMailDefaults &mail, qint32 currentCompany);

// Reads only the e-mail server keys ("EmailServer", "EmailPort", "EmailHelo", "EmailFrom",
// "EmailEncryption", "EmailServerTimeout", "EmailUsername", "EmailPassword") into `config`; a key
// absent from `ini` takes the same-named setting of `mail`. Start-up runs it once the company
// defaults record has been read, as a reload would.
void readMailServerKeys(SystemConfig &config, const IniFile &ini, const CompanyMailDefaults &mail);

// Writes every key of `config` to the workstation INI file, section by section, numbers in
// decimal and texts as held; keys of other sections and programs stay as they are on disk.
// Returns false (with the reason in `error`, when given) when the file could not be written.
bool writeSystemConfig(const SystemConfig &config, const QString &localIni, QString *error = nullptr);

// Reloads the settings, in this order: the console settings (getIniSettings() with the
// resource folder `config` holds now), the company defaults record, the BREVIX record, then
// every key of the system configuration from `files.localIni`. When the company defaults
// cannot be read the reload stops after the console settings, leaves `config` unchanged and
// returns false.
bool reloadSystemConfig(SystemConfig &config, ConsoleSettings &settings, const SettingsFiles &files,
    SystemTables &tables, qint32 currentCompany, TraceLog &trace, const QString &workingFolder = {});

} // namespace config
