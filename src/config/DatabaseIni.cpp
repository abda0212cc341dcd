#include "config/DatabaseIni.h"

#include "config/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace config {

bizlib::DatabaseConfig databaseConfigFromIni(const IniFile &ini)
{
    const QString section = QStringLiteral("Database");
    bizlib::DatabaseConfig cfg;
    cfg.driver = ini.text(section, QStringLiteral("Driver"), QStringLiteral("QSQLITE")).trimmed().toUpper();
    if (cfg.driver.isEmpty())
        cfg.driver = QStringLiteral("QSQLITE");
    const QString file = ini.text(section, QStringLiteral("File"), QStringLiteral("business.db")).trimmed();
    cfg.file = QDir(QFileInfo(ini.path()).absolutePath()).absoluteFilePath(file);
    cfg.host = ini.text(section, QStringLiteral("Host"), QStringLiteral("127.0.0.1")).trimmed();
    cfg.port = static_cast<int>(ini.number(section, QStringLiteral("Port"), 5432));
    cfg.name = ini.text(section, QStringLiteral("Name"), QStringLiteral("business")).trimmed();
    cfg.user = ini.text(section, QStringLiteral("User")).trimmed();
    cfg.password = ini.text(section, QStringLiteral("Password"));
    cfg.schema = ini.text(section, QStringLiteral("Schema")).trimmed();
    return cfg;
}

QStringList databaseIniKeys()
{
    return {QStringLiteral("Driver"), QStringLiteral("File"), QStringLiteral("Host"),    QStringLiteral("Port"),
            QStringLiteral("Name"),   QStringLiteral("User"), QStringLiteral("Password"), QStringLiteral("Schema")};
}

} // namespace config
