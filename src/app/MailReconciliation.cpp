#include "app/MailReconciliation.h"

#include "config/IniFile.h"
#include "config/SystemConfigKey.h"

namespace app {

namespace {

// The workstation's keys of one section that the defaults record also has.
template<class F> void forMatchingKeys(const char *section, const bizlib::Record &defaults, F &&f)
{
    for (const config::SystemConfigKey &k : config::SystemConfigKey::all()) {
        if (qstrcmp(k.ini.section, section) != 0)
            continue;
        const int field = defaults.table().fieldIndex(k.ini.keyName());
        if (field >= 0)
            f(k.ini, field);
    }
}

bool same(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

MailReconciliation reconcileMailSettings(bizlib::Record &def, config::SystemConfig &ws)
{
    MailReconciliation r;
    if (def.text("EmailTransport").trimmed().isEmpty()) {
        if (!def.text("EmailServer").trimmed().isEmpty()) {
            def.setText("EmailTransport", QStringLiteral("SMTP"));
            def.setText("EmailFormat", QStringLiteral("Html"));
            def.setLong("EmailBrevixDialog", 1);
        } else {
            def.setText("EmailTransport", QStringLiteral("MAPI"));
            def.setText("EmailFormat", QStringLiteral("Text"));
            def.setLong("EmailBrevixDialog", ws.emailBrevixDialog);
        }
        def.setLong("EmailNotify", ws.emailNotify);
        if (def.text("EmailDefaultTemplate").trimmed().isEmpty() && !ws.emailDefaultTemplate.trimmed().isEmpty())
            def.setText("EmailDefaultTemplate", ws.emailDefaultTemplate.left(256));
        if (def.text("SMSProvider").trimmed().isEmpty() && !ws.smsProvider.trimmed().isEmpty())
            forMatchingKeys("SMS", def, [&](const auto &key, int field) { def.setText(field, key.format(ws)); });
        ws.emailCustom = 0;
        r.defaultsCompleted = true;
    }
    r.differed = !same(ws.emailTransport, def.text("EmailTransport")) || !same(ws.emailFormat, def.text("EmailFormat"))
                 || !same(ws.smsProvider, def.text("SMSProvider"));
    if (ws.emailCustom == 0) {
        forMatchingKeys("Email", def, [&](const auto &key, int field) { key.assign(ws, def.text(field)); });
        r.emailCopied = true;
    }
    if (ws.smsCustom == 0) {
        forMatchingKeys("SMS", def, [&](const auto &key, int field) { key.assign(ws, def.text(field)); });
        r.smsCopied = true;
    }
    return r;
}

bool writeMailKeys(const MailReconciliation &r, const config::SystemConfig &ws, const QString &localIni, QString *error)
{
    if (!r.differed)
        return true;
    QList<config::IniFile::Entry> entries;
    if (r.emailCopied)
        entries << config::IniFile::Entry{QStringLiteral("Email"), QStringLiteral("EmailTransport"), ws.emailTransport}
                << config::IniFile::Entry{QStringLiteral("Email"), QStringLiteral("EmailFormat"), ws.emailFormat}
                << config::IniFile::Entry{QStringLiteral("Email"), QStringLiteral("EmailBrevixDialog"),
                                          QString::number(ws.emailBrevixDialog)};
    if (r.smsCopied)
        entries << config::IniFile::Entry{QStringLiteral("SMS"), QStringLiteral("SMSProvider"), ws.smsProvider}
                << config::IniFile::Entry{QStringLiteral("SMS"), QStringLiteral("SMSAccount"), ws.smsAccount}
                << config::IniFile::Entry{QStringLiteral("SMS"), QStringLiteral("SMSPassword"), ws.smsPassword};
    if (entries.isEmpty())
        return true;
    config::IniFile ini(localIni);
    if (ini.write(entries))
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}

} // namespace app
