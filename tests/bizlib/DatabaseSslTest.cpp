#include "bizlib/Database.h"
#include "support/TestDatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using bizlib::Database;
using bizlib::DatabaseConfig;

namespace {

TEST(DatabaseSsl, modeAndRootCertificate_becomeTheDriversOptions_quotedForLibpq)
{
    DatabaseConfig cfg;
    QString problem;
    EXPECT_TRUE(cfg.sslConnectOptions(&problem).isEmpty()); // libpq's own choice
    EXPECT_TRUE(problem.isEmpty());

    cfg.sslMode = QStringLiteral(" Verify-Full ");
    cfg.sslRootCert = QStringLiteral("/etc/web console/it's\\ca.pem");
    EXPECT_EQ(cfg.sslConnectOptions(&problem),
        QStringList({ QStringLiteral("sslmode=verify-full"),
            QStringLiteral("sslrootcert='/etc/web console/it\\'s\\\\ca.pem'") }));
    EXPECT_TRUE(problem.isEmpty());

    cfg.sslMode = QStringLiteral("always");
    EXPECT_TRUE(cfg.sslConnectOptions(&problem).isEmpty());
    EXPECT_TRUE(problem.contains(QStringLiteral("SslMode \"always\""))) << problem.toStdString();

    cfg.sslMode = QStringLiteral("require");
    cfg.sslRootCert = QStringLiteral("/etc/ssl/a;b.pem");
    EXPECT_TRUE(cfg.sslConnectOptions(&problem).isEmpty());
    EXPECT_TRUE(problem.contains(QStringLiteral("SslRootCert"))) << problem.toStdString();
}

// The test server speaks no TLS (and a server that does cannot show a certificate signed by a
// file that does not exist): a connection that must be encrypted and checked is refused, one
// that says "disable" goes through.
TEST(DatabaseSsl, aConnectionThatMustBeVerified_isNotMadeWithoutTls)
{
    DatabaseConfig cfg;
    if (!testsupport::TestDatabase::postgresConfig(&cfg)) {
        if (testsupport::TestDatabase::postgresRequired())
            FAIL() << "WEBCONSOLE_TEST_PG is not set";
        GTEST_SKIP() << "no PostgreSQL server (WEBCONSOLE_TEST_PG)";
    }
    QTemporaryDir dir;
    cfg.sslMode = QStringLiteral("verify-full");
    cfg.sslRootCert = dir.filePath(QStringLiteral("no-such-ca.pem"));
    Database strict(cfg);
    const bizlib::Status st = strict.open();
    ASSERT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("SSL"), Qt::CaseInsensitive)
        || st.message().contains(QStringLiteral("root certificate")))
        << st.message().toStdString();

    cfg.sslMode = QStringLiteral("nonsense");
    Database wrong(cfg);
    const bizlib::Status refused = wrong.open();
    ASSERT_TRUE(refused.isError());
    EXPECT_TRUE(refused.message().contains(QStringLiteral("SslMode"))) << refused.message().toStdString();

    cfg.sslMode = QStringLiteral("disable");
    cfg.sslRootCert.clear();
    Database plain(cfg);
    const bizlib::Status ok = plain.open();
    EXPECT_TRUE(ok.isOk()) << ok.message().toStdString();
}

} // namespace
