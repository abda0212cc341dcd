#pragma once

#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "config/AppContext.h"

#include <QProcessEnvironment>
#include <functional>
#include <memory>

namespace bizlib {
class Database;
class Libraries;
class Prompter;
} // namespace bizlib

namespace config {
class TraceLog;
}

namespace app {

// How the frame ended.
enum class FrameResult {
    Closed,       // the user closed the application
    Refused,      // the frame did not open (logon refused, system records unreadable)
    NotConfigured // no website address and no "/SETUP": end at once, without the shutdown steps
};

// The program's start-up and shutdown, step by step:
//  trace log start values; network banner lines (when a network switch but "/netnolog" is given);
//  the web monitor settings file's name; the console settings (which may create the hot folders);
//  the accounts and list-format file names; the interface font; the single-instance check (unless
//  "/ForceRun");
//  the business database; the first SYCONF record (none: silent end; upgrade not completed: the
//  upgrade message); the company name and number; the e-mail and SMS reconciliation with
//  DEFAULTS; the mail transport; INIT of the libraries DATA, MAIN, ORDER, QUOTE, REPORT, STOCK;
//  the frame; then KILL in the same order and the closing banner lines.
// Every early end is an orderly stop with exit code 0, except a missing or unreadable workstation
// INI file, a single-instance lock that cannot be made (an unwritable lock folder) or an unusable
// database, which end with exit code 1 after a message saying what failed.
class Startup
{
public:
    struct Environment
    {
        QString programPath;          // the running program file
        QString workingFolder;        // where sounds default to
        QString runtimeFolder;        // where the single-instance lock lives (empty: SingleInstance::defaultFolder())
        bizlib::Prompter *prompter = nullptr;
        std::function<void(const QString &)> debugLine; // the system debug output (banner lines)
        // Hands the interface font (system configuration, workstation INI file) to the windows,
        // before the single-instance check and so before any window shows.
        std::function<void(const config::SystemConfig &, const QString &)> interfaceFont;
    };

    Startup(CommandLine commandLine, Environment environment, const QProcessEnvironment &processEnvironment);
    ~Startup();

    // Runs start-up, then `frame`, then shutdown; returns the exit code.
    int run(const std::function<FrameResult(config::AppContext &)> &frame);

    config::AppContext &context() { return m_context; }
    // "DATA:INIT" ... "STOCK:KILL", in the order they ran (empty when no library was initialised).
    QStringList libraryLog() const;
    const SingleInstance &singleInstance() const { return m_instance; }

    static QStringList startBanner();
    static QStringList endBanner();

private:
    bool prepareContext(int *exitCode);
    // What a start without its workstation INI file tells the user: where it looked, how to go on.
    QString missingIniText(const QString &path) const;
    bool checkSingleInstance(int *exitCode);
    bool openDatabase(int *exitCode);
    bool checkSystemRecord(int *exitCode);
    void reconcileMail();
    void shutdown();

    CommandLine m_commandLine;
    Environment m_env;
    QProcessEnvironment m_processEnvironment;
    config::AppContext m_context;
    std::unique_ptr<config::TraceLog> m_trace;
    std::unique_ptr<bizlib::Database> m_db;
    std::unique_ptr<bizlib::Libraries> m_libraries;
    SingleInstance m_instance;
};

} // namespace app
