#include "app/CommandLine.h"
#include "app/MailReconciliation.h"
#include "app/SingleInstance.h"
#include "bizlib/Dictionary.h"
#include "config/IniFile.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using app::SingleInstance;

TEST(SingleInstanceName, followsTheAlgorithmAndItsLimits)
{
    EXPECT_EQ(SingleInstance::baseText(QStringLiteral("/opt/wc/webconsole"), 0), QStringLiteral("/OPT/WC/WEBCONSOLE-00"));
    EXPECT_EQ(SingleInstance::baseText(QStringLiteral("/x"), 7), QStringLiteral("/X-07"));
    EXPECT_EQ(SingleInstance::baseText(QStringLiteral("/x"), 123), QStringLiteral("/X-123"));

    // "A": position 1, code 65 -> (1+65) % 16 = 2 -> "1". Past the text the code is 0:
    // position 2 -> 2 -> "1", position 7 -> 7 -> "6", position 8 -> 8 -> "7" then "-",
    // position 12 -> "B" then "-", position 16 -> remainder 0 -> "F".
    const QString name = SingleInstance::name(QStringLiteral("A"));
    EXPECT_TRUE(name.startsWith(QStringLiteral("{11234567-89AB-CDEF"))) << name.toStdString();
    EXPECT_EQ(name.size(), 58); // 50 characters, 6 dashes, two braces
    EXPECT_TRUE(name.endsWith(u'}'));

    // A base text whose every character gives 8: each is followed by a dash, the name reaches
    // 63 characters and loses its closing brace.
    QString eights;
    for (int i = 1; i <= 50; ++i)
        eights += QChar(64 + ((8 - i) % 16 + 16) % 16);
    const QString capped = SingleInstance::name(eights);
    EXPECT_EQ(capped.size(), 63);
    EXPECT_TRUE(capped.startsWith(QStringLiteral("{7-7-7-")));
    EXPECT_FALSE(capped.endsWith(u'}'));

    // Letter case of the path does not matter; company and folder do.
    const QString a = SingleInstance::name(SingleInstance::baseText(QStringLiteral("/opt/WC/webconsole"), 0));
    EXPECT_EQ(a, SingleInstance::name(SingleInstance::baseText(QStringLiteral("/OPT/wc/WebConsole"), 0)));
    EXPECT_NE(a, SingleInstance::name(SingleInstance::baseText(QStringLiteral("/opt/wc/webconsole"), 1)));
    EXPECT_NE(a, SingleInstance::name(SingleInstance::baseText(QStringLiteral("/opt/wd/webconsole"), 0)));
}

TEST(SingleInstanceName, ofTwoCompaniesUnderALongPath_differ)
{
    // The company number lies beyond the 50th character and folds onto the first positions.
    const QString longPath = QStringLiteral("/opt/print-company/applications/web-console/release-2024/bin/webconsole");
    for (const auto &[a, b] : { std::pair { 1, 2 }, std::pair { 9, 10 }, std::pair { 19, 20 }, std::pair { 0, 16 } }) {
        const QString nameA = SingleInstance::name(SingleInstance::baseText(longPath, a));
        const QString nameB = SingleInstance::name(SingleInstance::baseText(longPath, b));
        EXPECT_NE(nameA, nameB) << a << " " << b;
        EXPECT_TRUE(nameA.endsWith(u'}'));
    }
    // Where the company number folds onto the last positions, dashes must not push it off the end:
    // the first 47 positions all give 8, so every one would take a dash.
    QString base;
    for (int i = 1; i <= 50; ++i)
        base += QChar(64 + ((8 - i) % 16 + 16) % 16);
    base += QString(47, u'0') + u'-';
    const QString one = SingleInstance::name(base + QStringLiteral("01"));
    const QString two = SingleInstance::name(base + QStringLiteral("02"));
    EXPECT_NE(one, two);
    EXPECT_LE(one.size(), 63);
    EXPECT_TRUE(one.endsWith(u'}'));
}

TEST(SingleInstanceName, everyCompanysLockIsItsOwn_underAShortOrALongPath)
{
    for (const QString &path : { QStringLiteral("/usr/bin/webconsole"),
             QStringLiteral("/opt/print-company/applications/web-console/release-2024/bin/webconsole") }) {
        QSet<QString> names;
        for (int company = 0; company < 1000; ++company)
            names.insert(SingleInstance::lockName(path, company));
        EXPECT_EQ(names.size(), 1000) << path.toStdString();
    }
}

TEST(SingleInstanceLock, isHeldUntilReleasedAndTakenOverWhenStale)
{
    QTemporaryDir dir;
    {
        SingleInstance first;
        ASSERT_EQ(first.acquire(QStringLiteral("{ABC}"), dir.path()), SingleInstance::Result::Acquired);
        SingleInstance second;
        EXPECT_EQ(second.acquire(QStringLiteral("{ABC}"), dir.path()), SingleInstance::Result::HeldElsewhere);
        SingleInstance other;
        EXPECT_EQ(other.acquire(QStringLiteral("{ABD}"), dir.path()), SingleInstance::Result::Acquired);
    }
    SingleInstance again;
    EXPECT_EQ(again.acquire(QStringLiteral("{ABC}"), dir.path()), SingleInstance::Result::Acquired);
}

TEST(CommandLineSwitches, matchWithoutCaseInBothForms)
{
    auto cl = app::CommandLine::parse({QStringLiteral("wc"), QStringLiteral("/FORCERUN"), QStringLiteral("--setup"),
                                       QStringLiteral("--ini=/tmp/a.ini"), QStringLiteral("--company"), QStringLiteral("7"),
                                       QStringLiteral("/bogus")});
    EXPECT_TRUE(cl.forceRun);
    EXPECT_TRUE(cl.setup);
    EXPECT_EQ(cl.iniFile, QStringLiteral("/tmp/a.ini"));
    EXPECT_EQ(cl.company, 7);
    EXPECT_EQ(cl.unknown, QStringList{QStringLiteral("/bogus")});
    EXPECT_FALSE(cl.writesNetBanner());
    EXPECT_TRUE(app::CommandLine::parse({QStringLiteral("wc"), QStringLiteral("-NetErrors")}).writesNetBanner());
    EXPECT_FALSE(app::CommandLine::parse({QStringLiteral("wc"), QStringLiteral("/netall"), QStringLiteral("/NETNOLOG")})
                     .writesNetBanner());
    EXPECT_TRUE(app::CommandLine::parse({QStringLiteral("wc"), QStringLiteral("--help")}).help);
    EXPECT_TRUE(app::CommandLine::parse({QStringLiteral("wc"), QStringLiteral("--Version")}).version);
}

class MailSettings : public testing::Test
{
protected:
    bizlib::Record defaults{bizlib::Dictionary::instance().require(QStringLiteral("DEFAULTS"))};
    config::SystemConfig ws;
};

TEST_F(MailSettings, defaultsWithoutTransportButWithServer_becomeSmtpHtmlWithDialog)
{
    defaults.setText("EmailServer", QStringLiteral("smtp.example.com"));
    ws.emailCustom = 1;
    ws.emailNotify = 1;
    ws.emailDefaultTemplate = QString(300, u't');
    ws.smsProvider = QStringLiteral("TextCo");
    ws.smsAccount = QStringLiteral("acct-9");
    const auto r = app::reconcileMailSettings(defaults, ws);
    EXPECT_TRUE(r.defaultsCompleted);
    EXPECT_EQ(defaults.text("EmailTransport"), QStringLiteral("SMTP"));
    EXPECT_EQ(defaults.text("EmailFormat"), QStringLiteral("Html"));
    EXPECT_EQ(defaults.toLong("EmailBrevixDialog"), 1);
    EXPECT_EQ(defaults.toLong("EmailNotify"), 1);
    EXPECT_EQ(defaults.text("EmailDefaultTemplate").size(), 256);
    EXPECT_EQ(defaults.text("SMSAccount"), QStringLiteral("acct-9"));
    // EmailCustom was cleared, so the defaults win on the workstation.
    EXPECT_EQ(ws.emailCustom, 0);
    EXPECT_EQ(ws.emailTransport, QStringLiteral("SMTP"));
    EXPECT_EQ(ws.emailServer, QStringLiteral("smtp.example.com"));
    EXPECT_TRUE(r.differed); // MAPI before, SMTP after
}

TEST_F(MailSettings, defaultsWithoutTransportOrServer_becomeMapiTextWithWorkstationDialog)
{
    ws.emailBrevixDialog = 1;
    app::reconcileMailSettings(defaults, ws);
    EXPECT_EQ(defaults.text("EmailTransport"), QStringLiteral("MAPI"));
    EXPECT_EQ(defaults.text("EmailFormat"), QStringLiteral("Text"));
    EXPECT_EQ(defaults.toLong("EmailBrevixDialog"), 1);
}

TEST_F(MailSettings, customWorkstationWithDefaultsTransport_keepsItsOwnAndWritesNothing)
{
    defaults.setText("EmailTransport", QStringLiteral("SMTP"));
    defaults.setText("EmailFormat", QStringLiteral("Html"));
    defaults.setText("EmailServer", QStringLiteral("smtp.example.com"));
    defaults.setText("SMSProvider", QStringLiteral("TextCo"));
    ws.emailCustom = 1;
    ws.emailServer = QStringLiteral("mine.example.com");
    const auto r = app::reconcileMailSettings(defaults, ws);
    EXPECT_FALSE(r.defaultsCompleted);
    EXPECT_TRUE(r.differed);
    EXPECT_FALSE(r.emailCopied);
    EXPECT_TRUE(r.smsCopied);
    EXPECT_EQ(ws.emailTransport, QStringLiteral("MAPI"));
    EXPECT_EQ(ws.emailServer, QStringLiteral("mine.example.com"));
    EXPECT_EQ(ws.smsProvider, QStringLiteral("TextCo"));

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ws.ini"));
    ASSERT_TRUE(app::writeMailKeys(r, ws, ini));
    const config::IniFile back(ini);
    EXPECT_FALSE(back.contains(QStringLiteral("Email"), QStringLiteral("EmailTransport")));
    EXPECT_EQ(back.text(QStringLiteral("SMS"), QStringLiteral("SMSProvider")), QStringLiteral("TextCo"));
}
