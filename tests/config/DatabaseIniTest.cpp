#include "config/DatabaseIni.h"

#include "config/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The time limits are read from the "Database" section under the names the README gives; a
// negative one means no limit.
TEST(DatabaseIni, timeLimitsAreReadByTheirDocumentedNames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("webconsole.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Database]\nDriver=QPSQL\nConnectTimeout=3\nStatementTimeout=7\nLockTimeout=-2\nKeepaliveIdle=11\n"
               "KeepaliveInterval=4\nKeepaliveCount=6\nTcpUserTimeout=9\n");
    file.close();
    const bizlib::DatabaseConfig cfg = config::databaseConfigFromIni(config::IniFile(path));
    EXPECT_EQ(cfg.connectTimeout, 3);
    EXPECT_EQ(cfg.statementTimeout, 7);
    EXPECT_EQ(cfg.lockTimeout, 0);
    EXPECT_EQ(cfg.keepaliveIdle, 11);
    EXPECT_EQ(cfg.keepaliveInterval, 4);
    EXPECT_EQ(cfg.keepaliveCount, 6);
    EXPECT_EQ(cfg.tcpUserTimeout, 9);
}

// TLS for PostgreSQL: SslMode as written, SslRootCert taken from the INI file's folder when relative.
TEST(DatabaseIni, sslModeAndRootCertificateAreRead_aRelativeCertificateBesideTheIniFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("webconsole.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Database]\nDriver=QPSQL\nSslMode=verify-full\nSslRootCert=certs/db-ca.pem\n");
    file.close();
    bizlib::DatabaseConfig cfg = config::databaseConfigFromIni(config::IniFile(path));
    EXPECT_EQ(cfg.sslMode, QStringLiteral("verify-full"));
    EXPECT_EQ(cfg.sslRootCert, dir.filePath(QStringLiteral("certs/db-ca.pem")));
    EXPECT_TRUE(config::databaseIniKeys().contains(QStringLiteral("SslMode")));
    EXPECT_TRUE(config::databaseIniKeys().contains(QStringLiteral("SslRootCert")));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Database]\nDriver=QPSQL\n");
    file.close();
    cfg = config::databaseConfigFromIni(config::IniFile(path));
    EXPECT_TRUE(cfg.sslMode.isEmpty());
    EXPECT_TRUE(cfg.sslRootCert.isEmpty());
}
