#include "config/LocalIniPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace config {

QString resolveLocalIniPath(const QStringList &args, const QProcessEnvironment &env)
{
    const QString option = QStringLiteral("--ini");
    QString chosen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == option && i + 1 < args.size())
            chosen = args.at(++i);
        else if (arg.startsWith(option + QLatin1Char('=')))
            chosen = arg.mid(option.size() + 1);
    }
    if (chosen.isEmpty())
        chosen = env.value(QStringLiteral("WEBCONSOLE_INI"));
    if (!chosen.isEmpty())
        return QFileInfo(chosen).absoluteFilePath();

    QString base = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        const QString home = env.value(QStringLiteral("HOME"));
        base = home.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                              : home + QStringLiteral("/.config");
    }
    return QDir::cleanPath(base + QStringLiteral("/webconsole/webconsole.ini"));
}

} // namespace config
