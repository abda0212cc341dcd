#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace bizlib;

// Opening a database that cannot be used says what is wrong and never crashes.
TEST(DatabaseOpen, unusableSqliteFiles_giveAClearMessage)
{
    QTemporaryDir dir;
    DatabaseConfig cfg;
    cfg.file = dir.filePath(QStringLiteral("missing.db"));
    Database missing(cfg);
    Status st = missing.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("does not exist"))) << st.message().toStdString();
    EXPECT_FALSE(QFile::exists(cfg.file)); // nothing created behind the user's back

    cfg.file = dir.filePath(QStringLiteral("notes.txt"));
    QFile f(cfg.file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("These are my notes, not a database.\n").repeated(200));
    f.close();
    Database garbage(cfg);
    st = garbage.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("not a database"))) << st.message().toStdString();

    cfg.file = dir.filePath(QStringLiteral("no/such/folder/business.db"));
    cfg.create = true;
    Database noFolder(cfg);
    EXPECT_TRUE(noFolder.open().isError());
}

TEST(DatabaseOpen, postgresDownOrRefusing_givesAClearMessage)
{
    DatabaseConfig cfg;
    cfg.driver = QStringLiteral("QPSQL");
    cfg.host = QStringLiteral("127.0.0.1");
    // A port that is certainly closed: take a free one and release it.
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        cfg.port = probe.serverPort();
    }
    cfg.name = QStringLiteral("business");
    cfg.user = QStringLiteral("nobody");
    Database down(cfg);
    Status st = down.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("127.0.0.1"))) << st.message().toStdString();

    DatabaseConfig real;
    if (!testsupport::TestDatabase::postgresConfig(&real))
        GTEST_SKIP() << "no PostgreSQL server configured";
    real.password += QStringLiteral("-wrong");
    Database refused(real);
    st = refused.open();
    EXPECT_TRUE(st.isError());
    EXPECT_TRUE(st.message().contains(QStringLiteral("password"), Qt::CaseInsensitive)) << st.message().toStdString();
}

class SchemaUpgrade : public testsupport::DataTest
{};

// Starting again on an existing database keeps its rows; a column that an older version lacked is added.
TEST_P(SchemaUpgrade, ensureSchemaAgain_keepsRowsAndAddsMissingColumns)
{
    Table notes(db(), QStringLiteral("WebNotes"));
    Record n;
    ASSERT_TRUE(notes.prime(n).isOk());
    n.setText("Subject", QStringLiteral("kept"));
    ASSERT_TRUE(notes.insert(n).isOk());
    ASSERT_TRUE(db().exec(QStringLiteral("ALTER TABLE \"webnotes\" DROP COLUMN \"alert\"")).isOk());
    // The database of a current version is left alone; one of an older version is brought up to date.
    ASSERT_TRUE(db().ensureSchema(Dictionary::instance()).isOk());
    QStringList before;
    ASSERT_TRUE(db().columnNames(QStringLiteral("WebNotes"), &before).isOk());
    EXPECT_FALSE(before.contains(QStringLiteral("alert")));
    ASSERT_TRUE(db().exec(QStringLiteral("UPDATE \"wc_schema\" SET \"value\" = 'older' WHERE \"name\" = 'fingerprint'")).isOk());

    ASSERT_TRUE(db().ensureSchema(Dictionary::instance()).isOk());
    QStringList columns;
    ASSERT_TRUE(db().columnNames(QStringLiteral("WebNotes"), &columns).isOk());
    EXPECT_TRUE(columns.contains(QStringLiteral("alert")));
    Record back;
    ASSERT_TRUE(notes.fetch(QStringLiteral("NOTEIDKEY"), {n.toLong("NoteID")}, back).isOk());
    EXPECT_EQ(back.text("Subject"), QStringLiteral("kept"));
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaUpgrade, testsupport::allEngines(), testsupport::engineName);
