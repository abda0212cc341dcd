#include "app/Startup.h"

#include "app/MailReconciliation.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Libraries.h"
#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "config/BizlibSystemTables.h"
#include "config/ConsoleSettingsFile.h"
#include "config/DatabaseIni.h"
#include "config/IniFile.h"
#include "config/LocalIniPath.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace app {

namespace {

QString inFolder(const QString &folder, const QString &file)
{
    const QString f = QString(folder).remove(QRegularExpression(QStringLiteral("\\s+$")));
    return f.isEmpty() ? file : QDir(f).filePath(file);
}

// The first record of a table in the order of its primary key.
bizlib::Status firstRecord(bizlib::Database &db, const QString &table, bizlib::Record *record)
{
    bizlib::Table t(db, table);
    bizlib::TableCursor c(t, t.def().primary().name);
    return c.next(*record);
}

} // namespace

Startup::Startup(CommandLine commandLine, Environment environment, const QProcessEnvironment &processEnvironment)
    : m_commandLine(std::move(commandLine)), m_env(std::move(environment)), m_processEnvironment(processEnvironment)
{
}

Startup::~Startup()
{
    if (m_libraries)
        m_libraries->kill();
}

QStringList Startup::startBanner()
{
    return {QStringLiteral("Network library template version 1.0"), QStringLiteral("Network library template build 1"),
            QStringLiteral("Network library object version 9.28")};
}

QStringList Startup::endBanner()
{
    return {QStringLiteral("Network library template version 1.0"), QStringLiteral("Network library template build 1"),
            QStringLiteral("Network library object version 9.28 closed")};
}

QStringList Startup::libraryLog() const
{
    return m_libraries ? m_libraries->log() : QStringList();
}

bool Startup::prepareContext(int *exitCode)
{
    config::AppContext &ctx = m_context;
    ctx.prompter = m_env.prompter;
    ctx.setupSwitch = m_commandLine.setup;
    ctx.paths.workingFolder = m_env.workingFolder;

    QStringList args{m_env.programPath};
    if (!m_commandLine.iniFile.isEmpty())
        args << QStringLiteral("--ini") << m_commandLine.iniFile;
    ctx.paths.localIni = config::resolveLocalIniPath(args, m_processEnvironment);
    const QFileInfo iniInfo(ctx.paths.localIni);
    if (!iniInfo.exists()) {
        m_env.prompter->alert(missingIniText(ctx.paths.localIni), QStringLiteral("Web console"),
                              bizlib::Prompter::Icon::Exclamation);
        *exitCode = 1;
        return false;
    }
    {
        QFile probe(ctx.paths.localIni);
        if (!probe.open(QIODevice::ReadOnly)) {
            m_env.prompter->alert(QStringLiteral("The workstation settings file %1 cannot be read: %2")
                                      .arg(QDir::toNativeSeparators(ctx.paths.localIni), probe.errorString()),
                                  QStringLiteral("Web console"), bizlib::Prompter::Icon::Hand);
            *exitCode = 1;
            return false;
        }
    }
    const QString iniFolder = iniInfo.absolutePath();
    ctx.paths.windowIni = QDir(iniFolder).filePath(QStringLiteral("windows.ini"));
    ctx.paths.defaultIni = QDir(iniFolder).filePath(QStringLiteral("default.ini"));

    const config::IniFile local(ctx.paths.localIni);
    ctx.glo.companyNo = m_commandLine.company >= 0
                            ? m_commandLine.company
                            : static_cast<qint32>(local.number(QStringLiteral("Multicompany"), QStringLiteral("CompanyNo"), 0));
    // The system configuration as the business libraries hold it when the program starts.
    ctx.brevix = config::readSystemConfig(local, {}, ctx.glo.companyNo);
    // Beside the window settings: a downloader still running when the console ends is heard of at
    // the next start.
    ctx.paths.downloaderReports
        = QDir(iniFolder).filePath(QStringLiteral("downloader-reports-%1").arg(ctx.glo.companyNo, 2, 10, QChar(u'0')));
    return true;
}

QString Startup::missingIniText(const QString &path) const
{
    const QString file = QDir::toNativeSeparators(path);
    QString where;
    if (!m_commandLine.iniFile.isEmpty())
        where = QStringLiteral("The workstation settings file %1, given with --ini, does not exist.").arg(file);
    else if (!m_processEnvironment.value(QStringLiteral("WEBCONSOLE_INI")).isEmpty())
        where = QStringLiteral("The workstation settings file %1, named by the environment variable WEBCONSOLE_INI, "
                               "does not exist.")
                    .arg(file);
    else
        where = QStringLiteral("No workstation settings file was found. It is looked for in this order:\n"
                               "  1. the file given with --ini FILE (none given),\n"
                               "  2. the file named by the environment variable WEBCONSOLE_INI (not set),\n"
                               "  3. %1 (not there).")
                    .arg(file);
    return where
           + QStringLiteral("\n\nTo try the program with demo data, make a demo workspace and start on it:\n"
                            "  webconsole-demo --workspace ~/webconsole-demo\n"
                            "  webconsole --ini ~/webconsole-demo/webconsole.ini\n\n"
                            "To work on your own business database, write its [Database] section into %1 "
                            "(\"webconsole --help\" lists the keys).")
                 .arg(file);
}

bool Startup::checkSingleInstance(int *exitCode)
{
    const QString base = SingleInstance::baseText(m_env.programPath, m_context.glo.companyNo);
    switch (
        m_instance.acquire(SingleInstance::lockName(m_env.programPath, m_context.glo.companyNo), m_env.runtimeFolder)) {
    case SingleInstance::Result::Acquired:
        return true;
    case SingleInstance::Result::HeldElsewhere:
        m_env.prompter->alert(
            QStringLiteral("Sorry, you are only allowed to run one copy of this program, press ALT-TAB to switch tasks."),
            QStringLiteral("Already running!: ") + base, bizlib::Prompter::Icon::Information);
        *exitCode = 0;
        return false;
    case SingleInstance::Result::Failed:
        break;
    }
    // Not another copy: telling the user one runs would send them looking for it.
    m_env.prompter->alert(QStringLiteral("The web console cannot check that it runs only once: %1.")
                              .arg(m_instance.errorString()),
                          QStringLiteral("Web console"), bizlib::Prompter::Icon::Hand);
    *exitCode = 1;
    return false;
}

bool Startup::openDatabase(int *exitCode)
{
    m_db = std::make_unique<bizlib::Database>(config::databaseConfigFromIni(config::IniFile(m_context.paths.localIni)));
    bizlib::Status st = m_db->open();
    if (st)
        st = m_db->ensureSchema(bizlib::Dictionary::instance());
    if (!st) {
        m_env.prompter->alert(QStringLiteral("The business database cannot be used.\n\n%1").arg(st.message()),
                              QStringLiteral("Web console"), bizlib::Prompter::Icon::Hand);
        *exitCode = 1;
        return false;
    }
    m_context.db = m_db.get();
    if (m_db->newerSchemaLevel() > 0)
        m_trace->message(QStringLiteral("The database was set up by a newer program (schema level %1); it is used as it "
                                        "is, without changes.")
                             .arg(m_db->newerSchemaLevel()));
    return true;
}

bool Startup::checkSystemRecord(int *exitCode)
{
    bizlib::Record syconf;
    if (!firstRecord(*m_db, QStringLiteral("SYCONF"), &syconf)) {
        *exitCode = 0; // no system record: the program ends without a word
        return false;
    }
    if (syconf.toLong("UpgradeCompleted") == 0) {
        m_env.prompter->alert(QStringLiteral("You have not successfully completed the upgrade process, please re-run the "
                                             "\"Brevup\" program as detailed in your upgrade instructions."),
                              QStringLiteral("Web console"), bizlib::Prompter::Icon::Exclamation);
        *exitCode = 0;
        return false;
    }
    config::AppContext &ctx = m_context;
    ctx.glo.companyName = syconf.text("CompanyName").left(50);
    ctx.brevix.companyName = ctx.glo.companyName;
    ctx.brevix.companyNo = ctx.glo.companyNo;
    if (syconf.toLong("MultiCompany") == 1) {
        config::IniFile defaults(ctx.paths.defaultIni);
        if (!defaults.write({{QStringLiteral("Multicompany"), QStringLiteral("CompanyName"), ctx.glo.companyName},
                             {QStringLiteral("Multicompany"), QStringLiteral("CompanyNo"), QString::number(ctx.glo.companyNo)}}))
            m_trace->message(QStringLiteral("Company not saved: ") + defaults.errorString());
    }
    return true;
}

void Startup::reconcileMail()
{
    bizlib::Table defaultsTable(*m_db, QStringLiteral("DEFAULTS"));
    bizlib::Record defaults = defaultsTable.newRecord();
    const bool exists = firstRecord(*m_db, QStringLiteral("DEFAULTS"), &defaults).isOk();
    // The e-mail server keys that the workstation's file leaves out are the company's, as after
    // any reload; a workstation that keeps its own settings ("EmailCustom") relies on that.
    if (exists)
        config::readMailServerKeys(m_context.brevix, config::IniFile(m_context.paths.localIni),
                                   config::BizlibSystemTables::mailDefaultsOf(defaults));
    const MailReconciliation r = reconcileMailSettings(defaults, m_context.brevix);
    // The defaults record is the business system's: an existing one is completed, a missing one
    // is never made up here (the frame then refuses to open, as it must without company defaults).
    if (r.defaultsCompleted && exists)
        defaultsTable.update(defaults);
    if (QString error; !writeMailKeys(r, m_context.brevix, m_context.paths.localIni, &error))
        m_trace->message(QStringLiteral("E-mail settings not saved: ") + error);
}

int Startup::run(const std::function<FrameResult(config::AppContext &)> &frame)
{
    int exitCode = 0;
    if (!prepareContext(&exitCode))
        return exitCode;
    config::AppContext &ctx = m_context;

    m_trace = std::make_unique<config::TraceLog>(config::TraceOptions{});
    ctx.trace = m_trace.get();
    const bool banner = m_commandLine.writesNetBanner();
    if (banner && m_env.debugLine)
        for (const QString &line : startBanner())
            m_env.debugLine(line);

    ctx.web.webMonitorIni = config::webMonitorIniPath(ctx.brevix.globalPath, ctx.glo.companyNo);
    ctx.settings = config::getIniSettings(ctx.settingsFiles(), ctx.brevix.resourcePath, *m_trace, m_env.workingFolder);
    ctx.web.webVersion = ctx.settings.webVersion;
    ctx.paths.accountsFile = inFolder(ctx.brevix.globalData, QStringLiteral("accounts.xml"));
    ctx.paths.listFormatFile = inFolder(ctx.brevix.localData, QStringLiteral("ListFormats.tps"));
    if (m_env.interfaceFont)
        m_env.interfaceFont(ctx.brevix, ctx.paths.localIni);

    if (!m_commandLine.forceRun && !checkSingleInstance(&exitCode))
        return exitCode;
    if (!openDatabase(&exitCode) || !checkSystemRecord(&exitCode))
        return exitCode;
    reconcileMail();

    const bool mapiWanted = ctx.brevix.emailDisable == 0 && ctx.brevix.emailTransport.trimmed().toUpper() == QLatin1String("MAPI");
    ctx.mapiAvailable = mapiWanted && (!QStandardPaths::findExecutable(QStringLiteral("sendmail")).isEmpty()
                                       || !QStandardPaths::findExecutable(QStringLiteral("sendmail"),
                                                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")})
                                               .isEmpty());

    m_libraries = std::make_unique<bizlib::Libraries>(*m_db);
    if (const bizlib::Status st = m_libraries->init(); !st) {
        m_env.prompter->alert(st.message(), QStringLiteral("Web console"), bizlib::Prompter::Icon::Hand);
        return 1;
    }

    const FrameResult result = frame(ctx);
    if (result == FrameResult::NotConfigured)
        return 0;
    shutdown();
    if (banner && m_env.debugLine)
        for (const QString &line : endBanner())
            m_env.debugLine(line);
    return 0;
}

void Startup::shutdown()
{
    if (m_libraries)
        m_libraries->kill();
    if (m_db)
        m_db->close();
    m_context.db = nullptr;
}

} // namespace app
