#include "bizlib/Table.h"
#include "config/BizlibSystemTables.h"
#include "config/SystemConfigFile.h"
#include "config/TraceLog.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>

using namespace config;
using testsupport::DataTest;

namespace {

class SystemTablesDb : public DataTest
{
protected:
    void insert(const QString &tableName, const QList<QPair<QString, QVariant>> &values)
    {
        bizlib::Table table(db(), tableName);
        bizlib::Record r;
        ASSERT_TRUE(table.prime(r).isOk());
        for (const auto &[field, value] : values)
            r.setValue(field, value);
        ASSERT_TRUE(table.insert(r).isOk());
    }
};

TEST_P(SystemTablesDb, emptyTables_giveNoCompanyDefaults_andAFreshBrevixRecord)
{
    BizlibSystemTables tables(db());
    EXPECT_FALSE(tables.readCompanyDefaults().has_value());
    tables.readBrevixRecord();
    ASSERT_TRUE(tables.brevixRecord().isValid());
    EXPECT_EQ(tables.brevixRecord().toLong("BrevixID"), 0);
    EXPECT_EQ(tables.brevixRecord().text("GlobalPath"), "");
}

TEST_P(SystemTablesDb, firstRecords_areRead_andTheMailDefaultsFillAbsentKeys)
{
    insert("DEFAULTS",
        { { "EmailServer", "smtp.example.com" }, { "EmailPort", "587" }, { "EmailHelo", "print.example.com" },
            { "EmailFrom", "office@example.com" }, { "EmailEncryption", "TLS" }, { "EmailServerTimeout", 45 },
            { "EmailUsername", "office" }, { "EmailPassword", "pw" } });
    insert("DEFAULTS", { { "EmailServer", "second.example.com" } });
    insert("BREVIX", { { "GlobalPath", "/srv/brevix" } });

    BizlibSystemTables tables(db());
    const std::optional<CompanyMailDefaults> mail = tables.readCompanyDefaults();
    ASSERT_TRUE(mail.has_value());
    EXPECT_EQ(mail->emailServer, "smtp.example.com");
    EXPECT_EQ(mail->emailPort, "587");
    EXPECT_EQ(mail->emailServerTimeout, 45);
    tables.readBrevixRecord();
    EXPECT_EQ(tables.brevixRecord().text("GlobalPath"), "/srv/brevix");

    QTemporaryDir dir;
    SettingsFiles files { dir.filePath("webmon.ini"), dir.filePath("webconsole.ini") };
    QFile local(files.localIni);
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.write("[Email]\nEmailFrom=me@example.com\n");
    local.close();
    TraceOptions quiet;
    quiet.debugOutputOff = true;
    TraceLog trace(quiet);
    SystemConfig config;
    ConsoleSettings settings;
    ASSERT_TRUE(reloadSystemConfig(config, settings, files, tables, 2, trace, dir.path()));
    EXPECT_EQ(config.emailServer, "smtp.example.com");
    EXPECT_EQ(config.emailEncryption, "TLS");
    EXPECT_EQ(config.emailPassword, "pw");
    EXPECT_EQ(config.emailFrom, "me@example.com");
    EXPECT_EQ(config.companyNo, 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, SystemTablesDb, testsupport::allEngines(), testsupport::engineName);

} // namespace
