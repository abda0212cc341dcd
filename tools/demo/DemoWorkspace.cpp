#include "DemoWorkspace.h"

#include "DemoData.h"
#include "DemoSounds.h"
#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "config/ConsoleSettingsFile.h"
#include "config/DatabaseIni.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace demo {

namespace {

const char *const kFolders[] = { "global", "data", "local", "resources", "hot", "edoc", "sounds" };

QString absoluteFolder(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString sub(const QString &folder, const char *name)
{
    return absoluteFolder(folder) + u'/' + QString::fromLatin1(name);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bizlib::Status requireEmpty(bizlib::Database &db)
{
    for (const auto &def : bizlib::Dictionary::instance().tables()) {
        bizlib::Table table(db, *def);
        qint64 rows = 0;
        bizlib::Status st = table.count(&rows);
        if (st && rows > 0)
            st = bizlib::Status::error(QStringLiteral("the database already holds data (%1 rows in %2); the demo "
                                                      "fills only an empty one")
                                           .arg(rows)
                                           .arg(def->name));
        if (!st)
            return st;
    }
    return bizlib::Status::ok();
}

// Removes a file that a forced run replaces; false when it exists and cannot be removed.
bool removeIfPresent(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    return fail(error, QStringLiteral("Cannot remove %1: %2").arg(path, file.errorString()));
}

// Marks `root` as made by webconsole-demo (see markerPath()).
bool writeMarker(const QString &root, QString *error)
{
    QSaveFile file(markerPath(root));
    const QByteArray text = "This folder is a demo workspace made by webconsole-demo. webconsole-demo --force and "
                            "webmon-demo work only on a folder that holds this file.\n";
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    return fail(error, QStringLiteral("Cannot write %1: %2").arg(markerPath(root), file.errorString()));
}

bool writeIni(const QString &path, const QList<config::IniFile::Entry> &entries, QString *error)
{
    config::IniFile ini(path);
    if (ini.write(entries))
        return true;
    return fail(error, QStringLiteral("Cannot write %1: %2").arg(path, ini.errorString()));
}

// The web monitor settings file starts with how to turn on automatic processing, as comments in
// its "Settings" section that the writes after it keep. Readable by its owner only, like every
// new settings file (it may come to hold the proxy's password).
bool writeWebMonitorComments(const QString &path, QString *error)
{
    static const char text[]
        = "; The demo workspace's web monitor settings: webmon-demo and every console of the workspace\n"
          "; read them.\n"
          ";\n"
          "; Automatic processing is off. To turn it on, take the \";\" off the keys wanted below and\n"
          "; start the console again; at each refresh of its General tab it then processes, without a user:\n"
          ";   AutoProcessQuotes=1  requests from a template or a previous quote that the website priced\n"
          ";                        (they become quotes, saved as unchecked, with their quote letter);\n"
          ";   AutoProcessRFQs=1    requests for quotation (passed to the estimator queue; RFQEstimator\n"
          ";                        names the estimator, RFQNotify=1 tells the estimator by e-mail);\n"
          ";   AutoEmailRep=1, AutoEmailManager=1  e-mail the client's sales representative and account\n"
          ";                        manager about each such quote (e-mail is off in the demo workspace).\n"
          "[Settings]\n"
          ";AutoProcessQuotes=1\n"
          ";AutoProcessRFQs=1\n"
          ";RFQEstimator=AB\n"
          ";RFQNotify=1\n"
          ";AutoEmailRep=1\n"
          ";AutoEmailManager=1\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(text, qint64(sizeof text) - 1) != qint64(sizeof text) - 1)
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

bool fillDatabase(
    const bizlib::DatabaseConfig &config, const WorkspaceOptions &options, const QString &uploads, QString *error)
{
    bizlib::Database db(config);
    bizlib::Status st = db.open();
    if (st) {
        // One transaction around everything, so that a shared server is never left half filled.
        bizlib::Transaction tx(db);
        st = tx.status();
        if (st)
            st = db.ensureSchema(bizlib::Dictionary::instance());
        if (st && config.isPostgres())
            st = requireEmpty(db);
        if (st) {
            DemoData data(db);
            data.setUploadFolder(uploads);
            st = data.fillAll();
            if (st)
                st = data.addWebQuotes(options.extraQuotes);
            if (st)
                st = data.addWebOrders(options.extraOrders);
        }
        if (st)
            st = tx.commit();
    }
    db.close();
    if (st)
        return true;
    return fail(error, QStringLiteral("Cannot fill the demo database (%1): %2").arg(config.describe(), st.message()));
}

// The [Database] section of `iniPath` when it names a PostgreSQL database.
bool postgresSection(const QString &iniPath, bizlib::DatabaseConfig *config, QList<config::IniFile::Entry> *section,
    QString *error)
{
    const config::IniFile ini(iniPath);
    if (!ini.exists())
        return fail(error, QStringLiteral("The INI file %1 does not exist.").arg(iniPath));
    *config = config::databaseConfigFromIni(ini);
    if (!config->isPostgres())
        return fail(error, QStringLiteral("The [Database] section of %1 does not say Driver=QPSQL.").arg(iniPath));
    const QString name = QStringLiteral("Database");
    for (const QString &key : config::databaseIniKeys())
        if (ini.contains(name, key))
            section->append({ name, key, ini.text(name, key) });
    return true;
}

} // namespace

QString workstationIniPath(const QString &folder)
{
    return sub(folder, "webconsole.ini");
}

QString webMonitorSettingsPath(const QString &folder)
{
    return config::webMonitorIniPath(sub(folder, "global"), 0);
}

QString businessDatabasePath(const QString &folder)
{
    return sub(folder, "business.db");
}

QString markerPath(const QString &folder)
{
    return sub(folder, ".webconsole-demo");
}

QString uploadFolder(const QString &folder)
{
    return sub(sub(folder, "data"), "uploads");
}

bool workspaceExists(const QString &folder)
{
    return QFileInfo::exists(workstationIniPath(folder));
}

bool isDemoWorkspace(const QString &folder)
{
    return QFileInfo(markerPath(folder)).isFile();
}

QString notADemoWorkspace(const QString &folder)
{
    return QStringLiteral("%1 holds a workspace that webconsole-demo did not make (it has no marker file %2). The "
                          "demo tools never change a real workspace. A demo workspace made by an older "
                          "webconsole-demo: delete the folder and make it anew.")
        .arg(absoluteFolder(folder), QFileInfo(markerPath(folder)).fileName());
}

bool createWorkspace(const QString &folder, bool force, QString *error)
{
    WorkspaceOptions options;
    options.force = force;
    return createWorkspace(folder, options, error);
}

bool createWorkspace(const QString &folder, const WorkspaceOptions &options, QString *error)
{
    if (folder.trimmed().isEmpty())
        return fail(error, QStringLiteral("No workspace folder given."));
    if (options.extraQuotes < 0 || options.extraOrders < 0)
        return fail(error, QStringLiteral("The number of extra web quote requests and orders cannot be negative."));
    const QString root = absoluteFolder(folder);
    const QString iniPath = workstationIniPath(root);
    const QString webmonPath = webMonitorSettingsPath(root);
    const QString dbPath = businessDatabasePath(root);

    if (QFileInfo::exists(root) && !QFileInfo(root).isDir())
        return fail(error, QStringLiteral("%1 exists and is not a folder.").arg(root));
    const QStringList replaced { iniPath, webmonPath, dbPath, dbPath + QStringLiteral("-journal"),
        dbPath + QStringLiteral("-wal"), dbPath + QStringLiteral("-shm") };
    if (!isDemoWorkspace(root)) {
        for (const QString &path : replaced) {
            if (QFileInfo::exists(path))
                return fail(error, notADemoWorkspace(root));
        }
    }
    if (!options.force) {
        if (QFileInfo::exists(iniPath))
            return fail(
                error, QStringLiteral("A workspace already exists in %1; use --force to make it anew.").arg(root));
        if (QFileInfo::exists(dbPath))
            return fail(error, QStringLiteral("%1 already exists; use --force to replace it.").arg(dbPath));
    }
    if (!QDir().mkpath(root))
        return fail(error, QStringLiteral("Cannot create the folder %1.").arg(root));
    if (!writeMarker(root, error))
        return false;
    for (const char *name : kFolders) {
        if (!QDir().mkpath(sub(root, name)))
            return fail(error, QStringLiteral("Cannot create the folder %1.").arg(sub(root, name)));
    }
    for (const QString &path : replaced) {
        if (!removeIfPresent(path, error))
            return false;
    }

    using E = config::IniFile::Entry;
    QList<E> databaseSection { { QStringLiteral("Database"), QStringLiteral("Driver"), QStringLiteral("QSQLITE") },
        { QStringLiteral("Database"), QStringLiteral("File"), QStringLiteral("business.db") } };
    bizlib::DatabaseConfig database;
    database.file = dbPath;
    database.create = true;
    if (!options.databaseIni.isEmpty()) {
        databaseSection.clear();
        if (!postgresSection(QFileInfo(options.databaseIni).absoluteFilePath(), &database, &databaseSection, error))
            return false;
    }
    if (!fillDatabase(database, options, uploadFolder(root), error)) {
        if (!database.isPostgres())
            QFile::remove(dbPath);
        return false;
    }

    if (!writeDemoSounds(sub(root, "sounds"), error))
        return false;

    const QString company = QString::fromLatin1(DemoData::kCompanyName);
    const QList<E> webmon {
        { QStringLiteral("Settings"), QStringLiteral("WebURL"), QStringLiteral("https://print.example.com/") },
        { QStringLiteral("Settings"), QStringLiteral("RefreshInterval"), QStringLiteral("30") },
        { QStringLiteral("Settings"), QStringLiteral("HotFolder"), sub(root, "hot") },
        { QStringLiteral("Settings"), QStringLiteral("EdocHotFolder"), sub(root, "edoc") },
        // The demo web monitor works on up to three webtasks at once and retries a failed one twice.
        { QStringLiteral("Settings"), QStringLiteral("MaxWebtasks"), QStringLiteral("3") },
        { QStringLiteral("Settings"), QStringLiteral("MaxAttempts"), QStringLiteral("2") },
        // The demo's report layouts, numbered in this order (1 = "Quote letter").
        { QStringLiteral("Layouts"), QStringLiteral("QuoteLayout"), QStringLiteral("1") },
        { QStringLiteral("Layouts"), QStringLiteral("ServiceOrderLayout"), QStringLiteral("2") },
        { QStringLiteral("Layouts"), QStringLiteral("ProductOrderLayout"), QStringLiteral("3") },
        { QStringLiteral("Layouts"), QStringLiteral("ProofLayout"), QStringLiteral("4") },
        { QStringLiteral("Layouts"), QStringLiteral("DeliveryLayout"), QStringLiteral("5") },
        { QStringLiteral("Layouts"), QStringLiteral("InvoiceLayout"), QStringLiteral("6") },
    };
    const QList<E> workstation = databaseSection + QList<E> {
        { QStringLiteral("General"), QStringLiteral("GlobalPath"), sub(root, "global") },
        { QStringLiteral("General"), QStringLiteral("GlobalData"), sub(root, "data") },
        { QStringLiteral("General"), QStringLiteral("ConfigData"), sub(root, "data") },
        { QStringLiteral("General"), QStringLiteral("LocalData"), sub(root, "local") },
        { QStringLiteral("General"), QStringLiteral("ResourcePath"), sub(root, "resources") },
        { QStringLiteral("Multicompany"), QStringLiteral("CompanyNo"), QStringLiteral("0") },
        { QStringLiteral("Multicompany"), QStringLiteral("CompanyName"), company },
        { QStringLiteral("Email"), QStringLiteral("EmailDisable"), QStringLiteral("1") },
        // The demo's own chimes (DemoSounds).
        { QStringLiteral("Web"), QStringLiteral("EnquirySound"), sub(sub(root, "sounds"), "enquiry.wav") },
        { QStringLiteral("Web"), QStringLiteral("SignupSound"), sub(sub(root, "sounds"), "signup.wav") },
        // The demo web monitor writes the files of arriving attachments here (webmon-demo's default
        // upload folder): processing may copy local attachments from it, besides the data folders.
        { QStringLiteral("WebConsole"), QStringLiteral("AttachmentFolders"), uploadFolder(root) },
    };
    // The workstation INI file last: its presence marks a finished workspace.
    return writeWebMonitorComments(webmonPath, error) && writeIni(webmonPath, webmon, error)
        && writeIni(iniPath, workstation, error);
}

} // namespace demo
