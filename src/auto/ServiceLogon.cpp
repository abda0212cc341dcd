#include "auto/ServiceLogon.h"

#include "bizlib/security/Security.h"
#include "config/AppContext.h"
#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace autorun {

using bizlib::Status;

Status ServiceLogon::readPassword(const QString &path, QString *password)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Status::error(QStringLiteral("The password file %1 does not exist.").arg(path));
    if (!info.isFile())
        return Status::error(QStringLiteral("The password file %1 is not a regular file.").arg(path));
    if (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        return Status::error(QStringLiteral("The password file %1 may be read by others; only its owner may read it "
                                            "(chmod 600 %1).")
                                 .arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Status::error(QStringLiteral("The password file %1 cannot be read: %2").arg(path, f.errorString()));
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    if (line.isEmpty())
        return Status::error(QStringLiteral("The password file %1 holds no password on its first line.").arg(path));
    *password = line;
    return Status::ok();
}

Status ServiceLogon::logOn(config::AppContext &ctx)
{
    const QString section = QString::fromLatin1(kSection);
    const config::IniFile ini(ctx.paths.localIni);
    const QString user = ini.text(section, QStringLiteral("User")).trimmed();
    QString file = ini.text(section, QStringLiteral("PasswordFile")).trimmed();
    if (user.isEmpty() || file.isEmpty())
        return Status::error(QStringLiteral("The workstation INI file %1 names no user to log on as: its section [%2] "
                                            "needs User=INITIALS and PasswordFile=FILE.")
                                 .arg(ctx.paths.localIni, section));
    if (QFileInfo(file).isRelative())
        file = QFileInfo(ctx.paths.localIni).absoluteDir().filePath(file);
    QString password;
    if (Status st = readPassword(file, &password); !st)
        return st;
    bizlib::security::Security security(*ctx.db);
    if (Status st = security.loadQs(); !st)
        return st;
    Status st = security.authenticate(user, password, &ctx.glo.user);
    if (st.isNotFound())
        return Status::error(QStringLiteral("The user %1 of section [%2] cannot log on: %3")
                                 .arg(user, section, st.message()));
    return st;
}

} // namespace autorun
