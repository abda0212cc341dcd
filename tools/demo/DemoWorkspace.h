#pragma once

#include <QString>

namespace demo {

// What createWorkspace() does besides the standard demo data.
struct WorkspaceOptions
{
    bool force = false; // make an existing workspace anew
    int extraQuotes = 0; // further pending web quote requests (speed tests)
    int extraOrders = 0; // further pending web orders (speed tests)
    // An INI file whose [Database] section names an empty PostgreSQL database: the demo data goes
    // there instead of "business.db", and the workstation INI file gets that section.
    QString databaseIni;
};

// The files of a workspace in `folder`.
QString workstationIniPath(const QString &folder); // "webconsole.ini"
QString webMonitorSettingsPath(const QString &folder); // "webmon.ini" in the global folder (company 0)
QString businessDatabasePath(const QString &folder); // "business.db"
// The marker file ".webconsole-demo" that createWorkspace() writes first: the demo tools touch
// only a folder that holds it, so that they never change or delete a real workspace.
QString markerPath(const QString &folder);
// The folder where the demo's attachment files are: "uploads" in the data folder ("data/uploads"),
// one of the folders from which the console copies an attachment's local file.
QString uploadFolder(const QString &folder);

// True when `folder` holds a workspace (its workstation INI file exists).
bool workspaceExists(const QString &folder);
// True when `folder` was made by createWorkspace() (it holds the marker file).
bool isDemoWorkspace(const QString &folder);
// The message for a folder that holds a workspace (or the files of one) without the marker.
QString notADemoWorkspace(const QString &folder);

// Creates a demo workspace in `folder`: the workstation INI file "webconsole.ini", the web
// monitor settings file "webmon.ini" (company 0, in the global folder), the folders global,
// data, local, resources, hot, edoc and sounds (with the alert chimes "enquiry.wav" and
// "signup.wav" that the settings point at), and a SQLite business database "business.db" filled
// with demo data; the demo's attachments are real files in uploadFolder(). Refuses to touch an
// existing workspace (or an existing database) unless `force` is set, in which case the database
// and both INI files are made anew; other files in the folder are never touched. A folder that
// holds any of those files without the marker is refused, with `force` as well: it is not a demo
// workspace. The marker is written before anything else, the INI files last, so a failed run leaves no
// workstation INI file behind (and no database either). With `databaseIni` the data goes into a
// PostgreSQL database in one transaction: one that holds data already is refused (also with
// `force`), and a failure leaves it as it was.
// Returns false with a message in *error on failure.
bool createWorkspace(const QString &folder, bool force, QString *error);
bool createWorkspace(const QString &folder, const WorkspaceOptions &options, QString *error);

} // namespace demo
