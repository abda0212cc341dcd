#include "console/logs/WebAccounts.h"

#include <QFile>
#include <QXmlStreamReader>

namespace console {

bool WebAccount::isActive() const
{
    return active.trimmed().toUpper() == QLatin1String("TRUE");
}

namespace {

struct FieldOf
{
    const char *element;
    QString WebAccount::*field;
    int width;
};

const FieldOf kFields[] = {
    { "id", &WebAccount::accountId, 20 },
    { "name", &WebAccount::name, 100 },
    { "email", &WebAccount::email, 200 },
    { "status", &WebAccount::status, 20 },
    { "active", &WebAccount::active, 20 },
    { "lastrequestdate", &WebAccount::lastRequestDate, 20 },
    { "lastrequesttime", &WebAccount::lastRequestTime, 20 },
    { "lastlogindate", &WebAccount::lastLoginDate, 20 },
    { "lastlogintime", &WebAccount::lastLoginTime, 20 },
    { "lastloginip", &WebAccount::lastLoginIp, 40 },
    { "clientid", &WebAccount::clientId, 20 },
};

WebAccount readAccount(QXmlStreamReader &xml)
{
    WebAccount account;
    while (xml.readNextStartElement()) {
        const FieldOf *known = nullptr;
        for (const FieldOf &f : kFields) {
            if (xml.name().compare(QLatin1String(f.element), Qt::CaseInsensitive) == 0)
                known = &f;
        }
        if (!known) {
            xml.skipCurrentElement();
            continue;
        }
        account.*(known->field) = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().left(known->width);
    }
    return account;
}

} // namespace

bool WebAccounts::read(const QString &path, QList<WebAccount> *accounts)
{
    accounts->clear();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    return read(file, accounts);
}

bool WebAccounts::read(QIODevice &device, QList<WebAccount> *accounts)
{
    accounts->clear();
    QXmlStreamReader xml(&device);
    if (!xml.readNextStartElement() || xml.name().compare(QLatin1String("accounts"), Qt::CaseInsensitive) != 0)
        return false;
    QList<WebAccount> read;
    while (xml.readNextStartElement()) {
        if (xml.name().compare(QLatin1String("account"), Qt::CaseInsensitive) == 0)
            read << readAccount(xml);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return false;
    *accounts = read;
    return true;
}

} // namespace console
