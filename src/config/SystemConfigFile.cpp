#include "config/SystemConfigFile.h"

#include "config/ConsoleSettingsFile.h"
#include "config/IniFile.h"
#include "config/PathText.h"
#include "config/SystemConfigKey.h"
#include "config/SystemTables.h"

namespace config {

namespace {

void takeMailDefaults(SystemConfig &defaults, const CompanyMailDefaults &mail)
{
    defaults.emailServer = mail.emailServer;
    defaults.emailPort = mail.emailPort;
    defaults.emailHelo = mail.emailHelo;
    defaults.emailFrom = mail.emailFrom;
    defaults.emailEncryption = mail.emailEncryption;
    defaults.emailServerTimeout = mail.emailServerTimeout;
    defaults.emailUsername = mail.emailUsername;
    defaults.emailPassword = mail.emailPassword;
}

} // namespace

SystemConfig readSystemConfig(const IniFile &ini, const CompanyMailDefaults &mail, qint32 currentCompany)
{
    SystemConfig defaults;
    defaults.companyNo = currentCompany;
    takeMailDefaults(defaults, mail);

    SystemConfig config;
    for (const SystemConfigKey &key : SystemConfigKey::all()) {
        if (key.globalDataFile) {
            // "GlobalData" comes first in its section, so its value is already read here.
            const QString name = QString::fromLatin1(key.globalDataFile);
            const QString value = name.isEmpty() ? config.globalData : joinPath(config.globalData, name);
            defaults.*key.ini.text = value;
        }
        key.ini.read(ini, config, defaults);
    }
    return config;
}

void readMailServerKeys(SystemConfig &config, const IniFile &ini, const CompanyMailDefaults &mail)
{
    static const QStringList names = { QStringLiteral("EmailServer"), QStringLiteral("EmailPort"),
        QStringLiteral("EmailHelo"), QStringLiteral("EmailFrom"), QStringLiteral("EmailEncryption"),
        QStringLiteral("EmailServerTimeout"), QStringLiteral("EmailUsername"), QStringLiteral("EmailPassword") };
    SystemConfig defaults;
    takeMailDefaults(defaults, mail);
    for (const SystemConfigKey &key : SystemConfigKey::all()) {
        if (names.contains(key.ini.keyName()))
            key.ini.read(ini, config, defaults);
    }
}

bool writeSystemConfig(const SystemConfig &config, const QString &localIni, QString *error)
{
    QList<IniFile::Entry> entries;
    entries.reserve(SystemConfigKey::all().size());
    for (const SystemConfigKey &key : SystemConfigKey::all())
        entries.append(key.ini.entry(config));
    IniFile ini(localIni);
    const bool written = ini.write(entries);
    if (!written && error)
        *error = ini.errorString();
    return written;
}

bool reloadSystemConfig(SystemConfig &config, ConsoleSettings &settings, const SettingsFiles &files,
    SystemTables &tables, qint32 currentCompany, TraceLog &trace, const QString &workingFolder)
{
    settings = getIniSettings(files, config.resourcePath, trace, workingFolder);
    const std::optional<CompanyMailDefaults> mail = tables.readCompanyDefaults();
    if (!mail)
        return false;
    tables.readBrevixRecord();
    const IniFile ini(files.localIni);
    config = readSystemConfig(ini, *mail, currentCompany);
    return true;
}

} // namespace config
