#pragma once

#include "bizlib/Database.h"
#include "config/IniFile.h"
#include "config/ConsoleSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

// A workspace on a test database for webconsole-auto: the workstation INI file with the
// database, the folders, e-mail off and the service's logon (user AB, the demo password in a file
// only its owner reads), and the web monitor settings with automatic processing on.
namespace autotest {

inline QString writeWorkspace(const QString &root, const bizlib::DatabaseConfig &c, int refreshSeconds = 1)
{
    for (const char *sub : { "global", "data", "local", "resources" })
        QDir().mkpath(QDir(root).filePath(QLatin1String(sub)));
    const QString ini = QDir(root).filePath(QStringLiteral("webconsole.ini"));
    using E = config::IniFile::Entry;
    QList<E> entries { { QStringLiteral("Database"), QStringLiteral("Driver"), c.driver } };
    if (c.isPostgres()) {
        entries << E { QStringLiteral("Database"), QStringLiteral("Host"), c.host }
                << E { QStringLiteral("Database"), QStringLiteral("Port"), QString::number(c.port) }
                << E { QStringLiteral("Database"), QStringLiteral("Name"), c.name }
                << E { QStringLiteral("Database"), QStringLiteral("User"), c.user }
                << E { QStringLiteral("Database"), QStringLiteral("Password"), c.password }
                << E { QStringLiteral("Database"), QStringLiteral("Schema"), c.schema };
    } else {
        entries << E { QStringLiteral("Database"), QStringLiteral("File"), c.file };
    }
    const auto sub = [&root](const char *name) { return QDir(root).filePath(QLatin1String(name)); };
    entries << E { QStringLiteral("General"), QStringLiteral("GlobalPath"), sub("global") }
            << E { QStringLiteral("General"), QStringLiteral("GlobalData"), sub("data") }
            << E { QStringLiteral("General"), QStringLiteral("ConfigData"), sub("data") }
            << E { QStringLiteral("General"), QStringLiteral("LocalData"), sub("local") }
            << E { QStringLiteral("General"), QStringLiteral("ResourcePath"), sub("resources") }
            << E { QStringLiteral("Multicompany"), QStringLiteral("CompanyNo"), QStringLiteral("0") }
            << E { QStringLiteral("Email"), QStringLiteral("EmailDisable"), QStringLiteral("1") }
            << E { QStringLiteral("AutoProcessing"), QStringLiteral("User"), QStringLiteral("AB") }
            << E { QStringLiteral("AutoProcessing"), QStringLiteral("PasswordFile"), QStringLiteral("auto.password") };
    config::IniFile(ini).write(entries);
    config::IniFile(config::webMonitorIniPath(sub("global"), 0))
        .write({ { QStringLiteral("Settings"), QStringLiteral("WebURL"), QStringLiteral("https://print.example.com") },
            { QStringLiteral("Settings"), QStringLiteral("RefreshInterval"), QString::number(refreshSeconds) },
            { QStringLiteral("Settings"), QStringLiteral("AutoProcessQuotes"), QStringLiteral("1") },
            { QStringLiteral("Settings"), QStringLiteral("AutoProcessRFQs"), QStringLiteral("1") } });
    QFile pw(QDir(root).filePath(QStringLiteral("auto.password")));
    pw.open(QIODevice::WriteOnly);
    pw.write("demo\n");
    pw.close();
    pw.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return ini;
}

} // namespace autotest
