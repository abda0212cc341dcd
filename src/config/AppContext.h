#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/Session.h"
#include "bizlib/TagSets.h"
#include "config/ConsoleSettings.h"
#include "config/ModalWindows.h"
#include "config/SettingsFiles.h"
#include "config/SystemConfig.h"

#include <QPointer>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace config {

class FrameEvents;
class TraceLog;

// The process-wide group of the business libraries: company, logged-on user, phrase toolbox.
struct NonThreaded
{
    qint32 companyNo = 0;
    QString companyName; // at most 50 characters
    bizlib::Session user;
    bizlib::TagSets tags; // this workstation's marks on records (NEWTAG / SETTAG)
    // The running phrase toolbox's number, 0 when none runs. Only the toolbox sets it (when it
    // runs), and only a processing window that closes the toolbox clears it besides the toolbox
    // itself (notes::PhraseToolbox says how).
    qint32 phraseToolboxThread = 0;
    QPointer<QObject> phraseToolbox; // the running toolbox's window (the list of running windows)
    QString phraseType; // the phrase group the toolbox shows ("All" when none)
    QString phraseField; // the text field the phrases are for (blank: any)
};

// The web group: where the web monitor's settings file is, the website's version, and the
// monitor window while it runs.
struct WebGroup
{
    QString webMonitorIni;
    bizlib::Decimal webVersion;
    qint32 consoleThread = 0;
};

// Files of the workstation besides the settings files.
struct AppPaths
{
    QString localIni;       // the workstation INI file
    QString windowIni;      // window sizes and positions, beside the workstation INI file
    QString defaultIni;     // the business system's default INI file (section "Multicompany")
    QString accountsFile;   // "accounts.xml" in GlobalData
    QString listFormatFile; // "ListFormats.tps" in LocalData
    QString workingFolder;  // the folder the program started in
    // Where the attachment downloaders this console starts leave word of how they ended
    // (config::DownloaderReport); empty: they leave none.
    QString downloaderReports;
};

// Everything the windows and services share, passed to them explicitly. Nothing here is a
// hidden singleton: a test builds a context of its own.
struct AppContext
{
    AppPaths paths;
    NonThreaded glo;
    WebGroup web;
    ConsoleSettings settings;
    SystemConfig brevix;
    bool mapiAvailable = false;
    bool closeConfirmed = false; // the frame's close-confirmed flag
    bool setupSwitch = false;    // "/SETUP" was given
    ModalWindows modalWindows;   // the monitor's tick waits while one is open

    bizlib::Database *db = nullptr;
    TraceLog *trace = nullptr;
    bizlib::Prompter *prompter = nullptr;
    FrameEvents *frame = nullptr; // the application frame while it is open

    SettingsFiles settingsFiles() const { return {web.webMonitorIni, paths.localIni}; }
};

} // namespace config
