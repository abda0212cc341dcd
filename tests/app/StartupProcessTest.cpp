#include "bizlib/Database.h"
#include "bizlib/Dictionary.h"
#include "bizlib/Table.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace bizlib;

namespace {

// A workstation with its INI file and a SQLite business database, and the start-up probe run
// as real processes against it.
class StartupProcess : public testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = m_dir.filePath(QStringLiteral("webconsole.ini"));
        config::IniFile ini(m_ini);
        ini.write({{QStringLiteral("Database"), QStringLiteral("File"), QStringLiteral("business.db")},
                   {QStringLiteral("General"), QStringLiteral("GlobalPath"), m_dir.filePath(QStringLiteral("global"))},
                   {QStringLiteral("General"), QStringLiteral("ResourcePath"), m_dir.filePath(QStringLiteral("res"))}});
        DatabaseConfig cfg;
        cfg.file = m_dir.filePath(QStringLiteral("business.db"));
        cfg.create = true;
        Database db(cfg);
        ASSERT_TRUE(db.open().isOk());
        ASSERT_TRUE(db.ensureSchema(Dictionary::instance()).isOk());
        setSystemRecord(db, 1);
        QDir().mkpath(runtime());
    }

    void setSystemRecord(Database &db, int upgradeCompleted)
    {
        Table t(db, QStringLiteral("SYCONF"));
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setText("CompanyName", QStringLiteral("Northgate Print Ltd"));
        r.setLong("UpgradeCompleted", upgradeCompleted);
        ASSERT_TRUE(t.insert(r).isOk());
    }

    QString runtime() const { return m_dir.filePath(QStringLiteral("run")); }
    QString release() const { return m_dir.filePath(QStringLiteral("release")); }

    std::unique_ptr<QProcess> start(const QStringList &args, const QString &program = QStringLiteral(STARTUP_PROBE_PATH),
                                    const QString &frame = {}, const QString &runtimeFolder = {})
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!frame.isEmpty())
            env.insert(QStringLiteral("STARTUP_PROBE_FRAME"), frame);
        env.insert(QStringLiteral("WEBCONSOLE_INI"), m_ini);
        env.insert(QStringLiteral("STARTUP_PROBE_RUNTIME"), runtimeFolder.isEmpty() ? runtime() : runtimeFolder);
        env.insert(QStringLiteral("STARTUP_PROBE_RELEASE"), release());
        for (auto it = m_env.cbegin(); it != m_env.cend(); ++it)
            env.insert(it.key(), it.value());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(program, args);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }

    // Reads the process's output until `marker` appears or the process ends.
    static QString waitFor(QProcess &p, const QString &marker)
    {
        QString out;
        for (int i = 0; i < 200 && !out.contains(marker); ++i) {
            if (p.waitForReadyRead(50))
                out += QString::fromUtf8(p.readAll());
            else if (p.state() == QProcess::NotRunning)
                break;
        }
        return out;
    }

    static QString finish(QProcess &p, QString out = {})
    {
        EXPECT_TRUE(p.waitForFinished(15000));
        return out + QString::fromUtf8(p.readAll());
    }

    void releaseFrames()
    {
        QFile f(release());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_dir;
    QString m_ini;
    QMap<QString, QString> m_env; // further environment of the started processes
};

TEST_F(StartupProcess, secondCopyForSameProgramAndCompany_isRefusedUnlessForced)
{
    auto first = start({});
    const QString firstOut = waitFor(*first, QStringLiteral("FRAME"));
    ASSERT_TRUE(firstOut.contains(QStringLiteral("FRAME company=0 name=Northgate Print Ltd"))) << firstOut.toStdString();

    auto second = start({});
    const QString secondOut = finish(*second);
    EXPECT_EQ(second->exitCode(), 0);
    const QString base = (QStringLiteral(STARTUP_PROBE_PATH) + QStringLiteral("-00")).toUpper();
    EXPECT_TRUE(secondOut.contains(QStringLiteral("MESSAGE Already running!: ") + base
                                   + QStringLiteral("|Sorry, you are only allowed to run one copy of this program, press "
                                                    "ALT-TAB to switch tasks.")))
        << secondOut.toStdString();
    EXPECT_FALSE(secondOut.contains(QStringLiteral("FRAME")));
    EXPECT_TRUE(secondOut.contains(QStringLiteral("LIBS \n")) || secondOut.endsWith(QStringLiteral("LIBS \n")))
        << "no library may be initialised: " << secondOut.toStdString();

    auto forced = start({QStringLiteral("/forcerun")});
    const QString forcedOut = waitFor(*forced, QStringLiteral("FRAME"));
    EXPECT_TRUE(forcedOut.contains(QStringLiteral("FRAME"))) << forcedOut.toStdString();

    // Another company and another program file run beside the first.
    auto otherCompany = start({QStringLiteral("--company"), QStringLiteral("7")});
    EXPECT_TRUE(waitFor(*otherCompany, QStringLiteral("FRAME")).contains(QStringLiteral("FRAME company=7")));
    const QString copy = m_dir.filePath(QStringLiteral("elsewhere/startup_probe"));
    QDir().mkpath(QFileInfo(copy).absolutePath());
    ASSERT_TRUE(QFile::copy(QStringLiteral(STARTUP_PROBE_PATH), copy));
    auto otherFolder = start({}, copy);
    EXPECT_TRUE(waitFor(*otherFolder, QStringLiteral("FRAME")).contains(QStringLiteral("FRAME")));

    releaseFrames();
    const QString initKill = QStringLiteral("LIBS DATA:INIT,MAIN:INIT,ORDER:INIT,QUOTE:INIT,REPORT:INIT,STOCK:INIT,"
                                            "DATA:KILL,MAIN:KILL,ORDER:KILL,QUOTE:KILL,REPORT:KILL,STOCK:KILL");
    for (QProcess *p : {first.get(), forced.get(), otherCompany.get(), otherFolder.get()}) {
        const QString out = finish(*p);
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_TRUE(out.contains(initKill)) << out.toStdString();
    }
}

TEST_F(StartupProcess, incompleteUpgradeOrMissingSystemRecord_endsBeforeAnyLibrary)
{
    {
        DatabaseConfig cfg;
        cfg.file = m_dir.filePath(QStringLiteral("business.db"));
        Database db(cfg);
        ASSERT_TRUE(db.open().isOk());
        ASSERT_TRUE(db.exec(QStringLiteral("UPDATE \"syconf\" SET \"upgradecompleted\" = 0")).isOk());
    }
    auto p = start({});
    QString out = finish(*p);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("You have not successfully completed the upgrade process, please re-run the "
                                            "\"Brevup\" program as detailed in your upgrade instructions.")))
        << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("FRAME")));
    EXPECT_FALSE(out.contains(QStringLiteral("INIT")));

    {
        DatabaseConfig cfg;
        cfg.file = m_dir.filePath(QStringLiteral("business.db"));
        Database db(cfg);
        ASSERT_TRUE(db.open().isOk());
        ASSERT_TRUE(db.exec(QStringLiteral("DELETE FROM \"syconf\"")).isOk());
    }
    p = start({});
    out = finish(*p);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_FALSE(out.contains(QStringLiteral("MESSAGE"))) << "a silent end: " << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("FRAME")));
}

TEST_F(StartupProcess, unusableDatabase_endsWithAMessageAndExitCodeOne)
{
    config::IniFile ini(m_ini);
    ASSERT_TRUE(ini.writeText(QStringLiteral("Database"), QStringLiteral("File"), QStringLiteral("gone.db")));
    auto p = start({});
    const QString out = finish(*p);
    EXPECT_EQ(p->exitCode(), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("gone.db"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("does not exist"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("INIT")));
}

TEST_F(StartupProcess, missingIniFile_saysWhereItLookedAndHowToGoOn)
{
    const QString xdg = m_dir.filePath(QStringLiteral("xdg"));
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), xdg);
    struct Case
    {
        QString iniVariable;
        QStringList args;
        QString says;
    };
    const QString missing = m_dir.filePath(QStringLiteral("missing.ini"));
    for (const Case &c : {Case{QString(), {}, xdg + QStringLiteral("/webconsole/webconsole.ini (not there)")},
                          Case{QString(), {QStringLiteral("--ini"), missing}, missing + QStringLiteral(", given with --ini")},
                          Case{missing, {}, missing + QStringLiteral(", named by the environment variable WEBCONSOLE_INI")}}) {
        m_ini = c.iniVariable;
        auto p = start(c.args);
        const QString out = finish(*p);
        EXPECT_EQ(p->exitCode(), 1);
        EXPECT_TRUE(out.contains(c.says)) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("webconsole-demo --workspace"))) << out.toStdString();
        EXPECT_FALSE(out.contains(QStringLiteral("INIT")));
    }
    EXPECT_FALSE(QFileInfo::exists(xdg)) << "a failed start creates no folder";
}

TEST_F(StartupProcess, networkBanner_followsTheSwitchRule)
{
    releaseFrames();
    auto quiet = start({QStringLiteral("/NETALL"), QStringLiteral("/netnolog")});
    EXPECT_FALSE(finish(*quiet).contains(QStringLiteral("DEBUG")));
    auto loud = start({QStringLiteral("/NetTalkLog")});
    const QString out = finish(*loud);
    EXPECT_EQ(out.count(QStringLiteral("DEBUG Network library")), 6) << out.toStdString();
    EXPECT_LT(out.indexOf(QStringLiteral("DEBUG")), out.indexOf(QStringLiteral("FRAME")));
}

TEST_F(StartupProcess, multiCompanyRecord_writesCompanyToTheDefaultIniAndNotConfiguredEndsWithZero)
{
    {
        DatabaseConfig cfg;
        cfg.file = m_dir.filePath(QStringLiteral("business.db"));
        Database db(cfg);
        ASSERT_TRUE(db.open().isOk());
        ASSERT_TRUE(db.exec(QStringLiteral("UPDATE \"syconf\" SET \"multicompany\" = 1")).isOk());
    }
    auto p = start({QStringLiteral("--company"), QStringLiteral("4")}, QStringLiteral(STARTUP_PROBE_PATH),
                   QStringLiteral("notconfigured"));
    const QString out = finish(*p);
    EXPECT_EQ(p->exitCode(), 0);
    // The frame ended before opening: the shutdown steps do not run.
    EXPECT_TRUE(out.contains(QStringLiteral("LIBS DATA:INIT,MAIN:INIT,ORDER:INIT,QUOTE:INIT,REPORT:INIT,STOCK:INIT\n")))
        << out.toStdString();
    const config::IniFile defaults(m_dir.filePath(QStringLiteral("default.ini")));
    EXPECT_EQ(defaults.text(QStringLiteral("Multicompany"), QStringLiteral("CompanyName")),
              QStringLiteral("Northgate Print Ltd"));
    EXPECT_EQ(defaults.number(QStringLiteral("Multicompany"), QStringLiteral("CompanyNo")), 4);

    // The company defaults record is the business system's: start-up never makes one up.
    DatabaseConfig cfg;
    cfg.file = m_dir.filePath(QStringLiteral("business.db"));
    Database db(cfg);
    ASSERT_TRUE(db.open().isOk());
    qint64 records = -1;
    ASSERT_TRUE(Table(db, QStringLiteral("DEFAULTS")).count(&records).isOk());
    EXPECT_EQ(records, 0);
}

TEST_F(StartupProcess, customMailWorkstation_takesTheCompanyServerKeysItLeavesOut)
{
    {
        DatabaseConfig cfg;
        cfg.file = m_dir.filePath(QStringLiteral("business.db"));
        Database db(cfg);
        ASSERT_TRUE(db.open().isOk());
        Table t(db, QStringLiteral("DEFAULTS"));
        Record r;
        ASSERT_TRUE(t.prime(r).isOk());
        r.setText("EmailTransport", QStringLiteral("SMTP"));
        r.setText("EmailServer", QStringLiteral("smtp.company.example.com"));
        r.setText("EmailPort", QStringLiteral("587"));
        ASSERT_TRUE(t.insert(r).isOk());
    }
    config::IniFile ini(m_ini);
    ASSERT_TRUE(ini.write({{QStringLiteral("Email"), QStringLiteral("EmailCustom"), QStringLiteral("1")},
                           {QStringLiteral("Email"), QStringLiteral("EmailPort"), QStringLiteral("2525")}}));
    releaseFrames();
    auto p = start({});
    const QString out = finish(*p);
    EXPECT_TRUE(out.contains(QStringLiteral("mail=smtp.company.example.com:2525"))) << out.toStdString();
}

TEST_F(StartupProcess, interfaceFont_isHandedOverBeforeTheFrameAsksForTheLogon)
{
    config::IniFile ini(m_ini);
    ASSERT_TRUE(ini.write({{QStringLiteral("Interface"), QStringLiteral("FontName"), QStringLiteral("DejaVu Serif")},
                           {QStringLiteral("Interface"), QStringLiteral("FontSize"), QStringLiteral("11")}}));
    releaseFrames();
    auto p = start({});
    const QString out = finish(*p);
    const qsizetype font = out.indexOf(QStringLiteral("FONT DejaVu Serif 11"));
    EXPECT_GE(font, 0) << out.toStdString();
    EXPECT_LT(font, out.indexOf(QStringLiteral("FRAME")));
}

TEST_F(StartupProcess, lockFolderThatCannotBeMade_isAnErrorNotAnotherCopy)
{
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto p = start({}, QStringLiteral(STARTUP_PROBE_PATH), {}, m_dir.filePath(QStringLiteral("blocker/run")));
    const QString out = finish(*p);
    EXPECT_EQ(p->exitCode(), 1);
    EXPECT_FALSE(out.contains(QStringLiteral("Already running!"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("cannot check that it runs only once: the lock folder"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("FRAME")));
}

TEST_F(StartupProcess, companiesTwelveAndAHundredAndTwenty_runSideBySide)
{
    auto twelve = start({ QStringLiteral("--company"), QStringLiteral("12") });
    EXPECT_TRUE(waitFor(*twelve, QStringLiteral("FRAME")).contains(QStringLiteral("FRAME company=12")));
    auto hundredAndTwenty = start({ QStringLiteral("--company"), QStringLiteral("120") });
    const QString out = waitFor(*hundredAndTwenty, QStringLiteral("FRAME"));
    EXPECT_TRUE(out.contains(QStringLiteral("FRAME company=120"))) << out.toStdString();
    releaseFrames();
    finish(*twelve);
    finish(*hundredAndTwenty);
}

TEST_F(StartupProcess, withoutARuntimeFolder_theLockIsInAFolderOfTheUsersOwn)
{
    const QString home = m_dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    m_env.insert(QStringLiteral("STARTUP_PROBE_RUNTIME"), QString());
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString());
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), QString());
    m_env.insert(QStringLiteral("HOME"), home);
    auto p = start({});
    const QString out = waitFor(*p, QStringLiteral("FRAME"));
    EXPECT_TRUE(out.contains(QStringLiteral("FRAME"))) << out.toStdString();
    QStringList locks;
    QDir cache(home + QStringLiteral("/.cache"));
    for (const QString &folder : cache.entryList({ QStringLiteral("webconsole-locks-*") }, QDir::Dirs)) {
        const QFileInfo info(cache.filePath(folder));
        EXPECT_EQ(info.permissions()
                & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                    | QFileDevice::WriteOther | QFileDevice::ExeOther),
            QFileDevice::Permissions());
        locks << QDir(info.filePath()).entryList({ QStringLiteral("webconsole-*.lock") }, QDir::Files);
    }
    EXPECT_EQ(locks.size(), 1) << out.toStdString();
    releaseFrames();
    finish(*p);
}

} // namespace
