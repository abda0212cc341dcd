#include "config/LocalIniPath.h"

#include <QDir>
#include <gtest/gtest.h>

using config::resolveLocalIniPath;

namespace {

QProcessEnvironment env(std::initializer_list<QPair<QString, QString>> values)
{
    QProcessEnvironment e;
    for (const auto &[name, value] : values)
        e.insert(name, value);
    return e;
}

TEST(LocalIniPath, commandLineWins_thenEnvironment_thenXdgFolder)
{
    const auto all = env({ { "WEBCONSOLE_INI", "/etc/webconsole/shared.ini" }, { "XDG_CONFIG_HOME", "/home/ann/.cfg" },
        { "HOME", "/home/ann" } });
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "--ini", "/tmp/a.ini" }, all), "/tmp/a.ini");
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "/ForceRun", "--ini=/tmp/b.ini" }, all), "/tmp/b.ini");
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "--ini", "/tmp/a.ini", "--ini", "/tmp/c.ini" }, all), "/tmp/c.ini");
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "/SETUP" }, all), "/etc/webconsole/shared.ini");
    // The program name itself is never taken for an option, and a dangling option is ignored.
    EXPECT_EQ(resolveLocalIniPath({ "--ini", "/tmp/x.ini" }, all), "/etc/webconsole/shared.ini");
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "--ini" }, all), "/etc/webconsole/shared.ini");

    EXPECT_EQ(resolveLocalIniPath(
                  { "webconsole" }, env({ { "XDG_CONFIG_HOME", "/home/ann/.cfg" }, { "HOME", "/home/ann" } })),
        "/home/ann/.cfg/webconsole/webconsole.ini");
    EXPECT_EQ(resolveLocalIniPath({ "webconsole" }, env({ { "WEBCONSOLE_INI", "" }, { "HOME", "/home/ann" } })),
        "/home/ann/.config/webconsole/webconsole.ini");
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and ignored.
    EXPECT_EQ(resolveLocalIniPath({ "webconsole" }, env({ { "XDG_CONFIG_HOME", "cfg" }, { "HOME", "/home/ann" } })),
        "/home/ann/.config/webconsole/webconsole.ini");
}

TEST(LocalIniPath, relativeFile_isTakenFromTheCurrentFolder)
{
    EXPECT_EQ(resolveLocalIniPath({ "webconsole", "--ini", "conf/w.ini" }, env({})),
        QDir::current().absoluteFilePath("conf/w.ini"));
    EXPECT_EQ(resolveLocalIniPath({ "webconsole" }, env({ { "WEBCONSOLE_INI", "w.ini" } })),
        QDir::current().absoluteFilePath("w.ini"));
}

} // namespace
