#pragma once

#include "config/ConsoleSettings.h"
#include "config/SettingsFiles.h"

namespace config {

class TraceLog;

// Path of the web monitor service's settings file: in the folder `globalPath` (trailing
// blanks ignored; an empty folder means the working folder), "webmon.ini" for company 0,
// otherwise "webmon" followed by the company number in at least two digits ("webmon07.ini",
// "webmon123.ini").
QString webMonitorIniPath(const QString &globalPath, int companyNo);

// Reads every console setting ("GetINISettings"): sections "Settings" and "Layouts" of the
// web monitor settings file and section "Web" of the workstation INI file. Absent files,
// sections and keys give the defaults. On top of the plain reading:
// - one trailing "/" of "WebURL" (after trailing blanks) is removed;
// - "WebVersion" is held with two decimals;
// - "MaxWebtasks" (default 1) is kept within 0..50;
// - "HotFolder" defaults to `resourcePath`/preflight, "EdocHotFolder" to `resourcePath`/artwork;
//   an empty "EdocHotFolder" takes the value of "HotFolder", which is written to the file at
//   once; each hot folder that does not exist is created (a failure is not reported; a folder
//   that is not an absolute path is not made, as it would land in the working folder);
// - "SessionCleanerTimer" below 600 is raised to 600;
// - the sounds default to "enquiry.wav" and "signup.wav" in `workingFolder` (empty: the
//   current folder).
// Entry and exit are reported to `trace` under the name "GetINISettings".
ConsoleSettings getIniSettings(
    const SettingsFiles &files, const QString &resourcePath, TraceLog &trace, const QString &workingFolder = {});

// Writes the console settings of the same three sections back ("PutINISettings"), leaving every
// other key of both files as it is on disk. Before "WebURL" is written up to three trailing "/"
// are removed from it, in `settings` too. "WebVersion" is written with two decimals. Returns
// false when either file could not be written.
// With `asRead` (the settings as they were before this workstation's edits), a key is written
// only when its value differs from `asRead`, or when the file does not hold it yet: both files
// are read again just before the write, so a key that another workstation or the web monitor
// service changed in the meantime keeps its new value unless this workstation changed it too.
// Without `asRead` every key is written.
// Entry and exit are reported to `trace` under the name "PutINISettings".
bool putIniSettings(
    ConsoleSettings &settings, const SettingsFiles &files, TraceLog &trace, const ConsoleSettings *asRead = nullptr);

} // namespace config
