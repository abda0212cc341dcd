#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using config::IniFile;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// A settings file the way the service's Windows tools leave it: byte order mark, CRLF,
// letter case of their own, comments of both kinds, UTF-8 text.
const QByteArray kWindowsFile = "\xEF\xBB\xBF; web monitor settings\r\n"
                                "\r\n"
                                "[SETTINGS]\r\n"
                                "weburl=https://shop.example.com/\r\n"
                                "# written by the service\r\n"
                                "WEBVERSION = 6.3 \r\n"
                                "AdminEmail=Jos\xC3\xA9 <admin@example.com>\r\n"
                                "MaxWebtasks=twelve\r\n"
                                "ProxyPort= 8080 \r\n"
                                "\r\n"
                                "; layouts chosen on the server\r\n"
                                "[layouts]\r\n"
                                "quotelayout=4\r\n"
                                "; end of file\r\n";

class IniFileTest : public testing::Test
{
protected:
    QString file(const QString &name = QStringLiteral("webmon.ini")) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, windowsFile_isReadWithoutRegardToCaseLineEndsOrComments)
{
    writeAll(file(), kWindowsFile);
    const IniFile ini(file());
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(ini.text("Settings", "WebURL"), "https://shop.example.com/");
    EXPECT_EQ(ini.text("settings", "webversion"), "6.3");
    EXPECT_EQ(ini.decimal("Settings", "WebVersion", bizlib::Decimal(), 2).toString(), "6.30");
    EXPECT_EQ(ini.text("Settings", "AdminEmail"), QString::fromUtf8("Jos\xC3\xA9 <admin@example.com>"));
    EXPECT_EQ(ini.number("Settings", "ProxyPort", 1), 8080);
    EXPECT_EQ(ini.number("Layouts", "QuoteLayout"), 4);
    // Comment lines are never keys.
    EXPECT_FALSE(ini.contains("Settings", "# written by the service"));
}

TEST_F(IniFileTest, absentFileSectionOrKey_giveTheDefault_butAnEmptyValueStaysEmpty)
{
    const IniFile missing(file("none.ini"));
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.text("Settings", "WebURL", "dflt"), "dflt");
    EXPECT_EQ(missing.number("Settings", "RefreshInterval", 30), 30);

    writeAll(file(), "[Settings]\nEdocHotFolder=\nRefreshInterval=\n");
    const IniFile ini(file());
    EXPECT_EQ(ini.text("Other", "EdocHotFolder", "dflt"), "dflt");
    EXPECT_EQ(ini.text("Settings", "HotFolder", "dflt"), "dflt");
    EXPECT_EQ(ini.text("Settings", "EdocHotFolder", "dflt"), "");
    EXPECT_TRUE(ini.contains("Settings", "EdocHotFolder"));
    EXPECT_EQ(ini.number("Settings", "RefreshInterval", 30), 0);
}

TEST_F(IniFileTest, numbersAndTexts_followTheReadingRules)
{
    EXPECT_EQ(IniFile::parseNumber("twelve"), 0);
    EXPECT_EQ(IniFile::parseNumber(" 42 "), 42);
    EXPECT_EQ(IniFile::parseNumber("12abc"), 12);
    EXPECT_EQ(IniFile::parseNumber("-5"), -5);
    EXPECT_EQ(IniFile::parseNumber("+7"), 7);
    EXPECT_EQ(IniFile::parseNumber(""), 0);
    EXPECT_EQ(IniFile::parseNumber("99999999999999999999999"), std::numeric_limits<qint64>::max());

    writeAll(file(), kWindowsFile);
    const IniFile ini(file());
    EXPECT_EQ(ini.number("Settings", "MaxWebtasks", 1), 0);
    EXPECT_EQ(ini.decimal("Settings", "AdminEmail", bizlib::Decimal(630, 2), 2).toString(), "0.00");
    EXPECT_EQ(ini.text("Settings", "WebURL", {}, 12), "https://shop");
    // A character outside the basic plane is not cut in half.
    const QString clef = QString::fromUtf8("ab\xF0\x9D\x84\x9E");
    EXPECT_EQ(IniFile::cut(clef, 3), "ab");
    EXPECT_EQ(IniFile::cut(clef, 4), clef);
}

TEST_F(IniFileTest, write_changesOnlyItsKey_andKeepsCommentsOrderBomAndLineEnds)
{
    writeAll(file(), kWindowsFile);
    IniFile ini(file());
    ASSERT_TRUE(
        ini.write({ { "Settings", "WebURL", "https://new.example.com" }, { "Layouts", "InvoiceLayout", "9" } }));

    const QByteArray after = readAll(file());
    EXPECT_TRUE(after.startsWith("\xEF\xBB\xBF; web monitor settings\r\n"));
    EXPECT_FALSE(after.contains("\r\r")) << after.constData();
    EXPECT_EQ(after.count("\n"), after.count("\r\n")) << "every line ends in CRLF";
    // The key keeps the spelling it has in the file, and its place.
    EXPECT_TRUE(after.contains("[SETTINGS]\r\nweburl=https://new.example.com\r\n")) << after.constData();
    for (const char *kept : { "# written by the service", "WEBVERSION = 6.3 \r\n", "MaxWebtasks=twelve",
             "; layouts chosen on the server", "; end of file", "Jos\xC3\xA9" })
        EXPECT_TRUE(after.contains(kept)) << kept;
    EXPECT_LT(after.indexOf("weburl="), after.indexOf("WEBVERSION ="));
    EXPECT_LT(after.indexOf("quotelayout=4"), after.indexOf("InvoiceLayout=9"));
    EXPECT_LT(after.indexOf("InvoiceLayout=9"), after.indexOf("; end of file"));

    const IniFile again(file());
    EXPECT_EQ(again.text("Settings", "WebURL"), "https://new.example.com");
    EXPECT_EQ(again.number("Layouts", "InvoiceLayout"), 9);
    EXPECT_EQ(again.number("Layouts", "QuoteLayout"), 4);
}

TEST_F(IniFileTest, write_keepsWhatAnotherProgramWroteSinceOurRead)
{
    writeAll(file(), "[Settings]\nWebURL=https://a.example.com\nPollsiteTimer=1\n");
    IniFile ours(file());
    // Another program changes the file after we read it.
    writeAll(file(),
        "[Settings]\nWebURL=https://a.example.com\nPollsiteTimer=5\n; added by the service\n"
        "[Service]\nStarted=1\n");
    ASSERT_TRUE(ours.writeNumber("Settings", "RefreshInterval", 45));

    const IniFile check(file());
    EXPECT_EQ(check.number("Settings", "PollsiteTimer"), 5);
    EXPECT_EQ(check.number("Service", "Started"), 1);
    EXPECT_EQ(check.number("Settings", "RefreshInterval"), 45);
    EXPECT_TRUE(readAll(file()).contains("; added by the service"));
    // Our own object sees the merged file too.
    EXPECT_EQ(ours.number("Settings", "PollsiteTimer"), 5);
}

TEST_F(IniFileTest, write_createsFolderAndFile_withLfAndOneLineValues)
{
    const QString path = m_dir.filePath("deep/er/webconsole.ini");
    IniFile ini(path);
    EXPECT_FALSE(ini.exists());
    ASSERT_TRUE(ini.write({ { "Web", "EnquirySound", "line one\r\nline two\nthree" }, { "Web", "SignupAlert", "1" } }));
    const QByteArray data = readAll(path);
    EXPECT_FALSE(data.contains('\r'));
    EXPECT_FALSE(data.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(data.contains("EnquirySound=line one line two three\n")) << data.constData();
    EXPECT_EQ(IniFile(path).number("Web", "SignupAlert"), 1);
    // No temporary or lock file is left behind.
    EXPECT_EQ(QDir(m_dir.filePath("deep/er")).entryList(QDir::Files), QStringList { "webconsole.ini" });
}

TEST_F(IniFileTest, write_makesANewFileReadableByItsOwnerOnly_andKeepsAnExistingFilesPermissions)
{
    const auto mode = [](const QString &path) { return QFileInfo(path).permissions(); };
    const QFileDevice::Permissions ownerOnly
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;

    IniFile fresh(file(QStringLiteral("new/webconsole.ini")));
    ASSERT_TRUE(fresh.writeText("Database", "Password", "s3cret"));
    EXPECT_EQ(mode(fresh.path()), ownerOnly);

    // A file that was given wider rights keeps them through every write.
    writeAll(file(), "[Settings]\nProxyPassword=old\n");
    const QFileDevice::Permissions shared = ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(file(), shared));
    IniFile existing(file());
    ASSERT_TRUE(existing.writeText("Settings", "ProxyPassword", "new"));
    EXPECT_EQ(mode(file()), shared);
    EXPECT_EQ(IniFile(file()).text("Settings", "ProxyPassword"), "new");
}

TEST_F(IniFileTest, write_namingOneKeyTwice_keepsTheLastValueInOneLine)
{
    IniFile ini(file());
    ASSERT_TRUE(ini.write({ { "Web", "SignupAlert", "1" }, { "WEB", "signupalert", "0" } }))
        << ini.errorString().toStdString();
    EXPECT_EQ(readAll(file()), "[Web]\nSignupAlert=0\n");
}

TEST_F(IniFileTest, write_changesOnlyTheBytesOfEditedValues_inAWindows1252FileWithStrayLines)
{
    // The service writes its file in the Windows ANSI code page, and not every line is an entry.
    const QByteArray ansi = "[Settings]\r\n"
                            "AdminEmail = Caf\xe9 <admin@example.com>\r\n"
                            "this line has no equals sign\r\n"
                            "ProxyPassword=p\xa3ss\r\n"
                            "[unclosed\r\n"
                            "[Layouts]\r\n"
                            "QuoteLayout=2\r\n";
    writeAll(file(), ansi);
    IniFile ini(file());
    EXPECT_EQ(ini.text("Settings", "AdminEmail"), QString::fromUtf8("Caf\xC3\xA9 <admin@example.com>"));
    EXPECT_EQ(ini.text("Settings", "ProxyPassword"), QString::fromUtf8("p\xC2\xA3ss"));

    // Every key written back as read, one changed and one added: only those bytes change.
    ASSERT_TRUE(ini.write({ { "Settings", "AdminEmail", ini.text("Settings", "AdminEmail") },
        { "Settings", "ProxyPassword", ini.text("Settings", "ProxyPassword") },
        { "Settings", "ProxyUser", QString::fromUtf8("Zo\xC3\xAB") }, { "Layouts", "QuoteLayout", "3" } }))
        << ini.errorString().toStdString();
    EXPECT_EQ(readAll(file()),
        QByteArray("[Settings]\r\n"
                   "AdminEmail = Caf\xe9 <admin@example.com>\r\n"
                   "this line has no equals sign\r\n"
                   "ProxyPassword=p\xa3ss\r\n"
                   "ProxyUser=Zo\xeb\r\n"
                   "[unclosed\r\n"
                   "[Layouts]\r\n"
                   "QuoteLayout=3\r\n"));

    // A character the code page cannot hold is refused, not turned into another one.
    const QByteArray before = readAll(file());
    EXPECT_FALSE(ini.writeText("Settings", "ProxyUser", QString::fromUtf8("\xC5\x81\xC3\xB3" "d\xC5\xBA")));
    EXPECT_TRUE(ini.errorString().contains("Windows-1252")) << ini.errorString().toStdString();
    EXPECT_EQ(readAll(file()), before);
}

TEST_F(IniFileTest, write_doesNotOverwriteAFileItCannotRead)
{
    // A NUL byte: the reader cannot take its line, so writing the file would lose it.
    QByteArray withNul = "[Settings]\nWebURL=https://keep.example.com\nAdmin";
    withNul += '\0';
    withNul += "Email=x\n[Layouts]\nQuoteLayout=4\n";
    writeAll(file(), withNul);
    IniFile ini(file());
    EXPECT_EQ(ini.number("Layouts", "QuoteLayout"), 4) << "the lines after it are still read";
    EXPECT_FALSE(ini.writeText("Settings", "WebURL", "https://new.example.com"));
    EXPECT_TRUE(ini.errorString().contains("line 3 holds a NUL byte")) << ini.errorString().toStdString();
    EXPECT_EQ(readAll(file()), withNul);

    // A folder where the file should be: nothing is put in its place.
    const QString folder = file("folder.ini");
    ASSERT_TRUE(QDir().mkpath(folder + "/inside"));
    IniFile notAFile(folder);
    EXPECT_FALSE(notAFile.writeText("Settings", "WebURL", "https://new.example.com"));
    EXPECT_TRUE(notAFile.errorString().contains("it could not be read in full (it is a folder)"))
        << notAFile.errorString().toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/inside").isDir());

    // No right to read it (root reads any file, so this part needs an ordinary user).
    const QString locked = file("locked.ini");
    writeAll(locked, "[Settings]\nWebURL=https://keep.example.com\n");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (QFile f(locked); !f.open(QIODevice::ReadOnly)) {
        IniFile unreadable(locked);
        EXPECT_FALSE(unreadable.writeText("Settings", "AdminEmail", "x@example.com"));
        EXPECT_FALSE(unreadable.errorString().isEmpty());
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readAll(locked), "[Settings]\nWebURL=https://keep.example.com\n");
    }
}

} // namespace
