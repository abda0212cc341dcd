#include "config/DatabaseIni.h"

#include "config/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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
    cfg.sslMode = ini.text(section, QStringLiteral("SslMode")).trimmed();
    // A relative certificate path is taken from the INI file's folder, like the SQLite file.
    const QString rootCert = ini.text(section, QStringLiteral("SslRootCert")).trimmed();
    if (!rootCert.isEmpty())
        cfg.sslRootCert = QDir(QFileInfo(ini.path()).absolutePath()).absoluteFilePath(rootCert);
    // Time limits in seconds; a negative value counts as 0 (no limit).
    const auto seconds = [&](const char *key, int defaultValue) {
        return static_cast<int>(
            std::clamp<qint64>(ini.number(section, QString::fromLatin1(key), defaultValue), 0, 86400));
    };
    cfg.connectTimeout = seconds("ConnectTimeout", cfg.connectTimeout);
    cfg.statementTimeout = seconds("StatementTimeout", cfg.statementTimeout);
    cfg.lockTimeout = seconds("LockTimeout", cfg.lockTimeout);
    cfg.keepaliveIdle = seconds("KeepaliveIdle", cfg.keepaliveIdle);
    cfg.keepaliveInterval = seconds("KeepaliveInterval", cfg.keepaliveInterval);
    cfg.keepaliveCount = seconds("KeepaliveCount", cfg.keepaliveCount);
    cfg.tcpUserTimeout = seconds("TcpUserTimeout", cfg.tcpUserTimeout);
    // Minutes; at least 2, so that a holder that marks its claims seen every minute never looks gone.
    cfg.claimTimeout = static_cast<int>(
        std::clamp<qint64>(ini.number(section, QStringLiteral("ClaimTimeout"), cfg.claimTimeout), 2, 24 * 60));
    return cfg;
}

QStringList databaseIniKeys()
{
    return { QStringLiteral("Driver"), QStringLiteral("File"), QStringLiteral("Host"), QStringLiteral("Port"),
        QStringLiteral("Name"), QStringLiteral("User"), QStringLiteral("Password"), QStringLiteral("Schema"),
        QStringLiteral("SslMode"), QStringLiteral("SslRootCert"), QStringLiteral("ConnectTimeout"),
        QStringLiteral("StatementTimeout"), QStringLiteral("LockTimeout"), QStringLiteral("KeepaliveIdle"),
        QStringLiteral("KeepaliveInterval"), QStringLiteral("KeepaliveCount"), QStringLiteral("TcpUserTimeout"),
        QStringLiteral("ClaimTimeout") };
}

} // namespace config
