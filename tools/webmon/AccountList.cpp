#include "AccountList.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"

#include <QSaveFile>
#include <QXmlStreamWriter>
#include <functional>

namespace webmon {

namespace {

constexpr qint64 kSessionSeconds = 15 * 60;

// Every row of a table in primary key order, handed to `take`.
bizlib::Status eachRow(
    bizlib::Database &db, const QString &table, const std::function<void(const bizlib::Record &)> &take)
{
    bizlib::Table t(db, table);
    bizlib::TableCursor cursor(t, t.def().primary().name);
    bizlib::Record r;
    bizlib::Status st;
    while ((st = cursor.next(r)))
        take(r);
    return st.isNotFound() ? bizlib::Status::ok() : st;
}

QString signupStatus(const bizlib::Record &signup)
{
    const QString status = signup.text("Status").trimmed().toUpper();
    if (status == QLatin1String("REJECTED"))
        return QStringLiteral("Suspended");
    // A consumer's account is usable at once: they ordered with it.
    if (status == QLatin1String("ACCEPTED") || signup.text("Source").trimmed().toUpper() == QLatin1String("B2C"))
        return QStringLiteral("Active");
    return QStringLiteral("Pending");
}

} // namespace

AccountList::AccountList(QRandomGenerator &rng)
    : m_rng(rng)
{ }

bizlib::Status AccountList::refresh(bizlib::Database &db, const QDateTime &now)
{
    QList<Account> accounts;
    bizlib::Status st = eachRow(db, QStringLiteral("Contacts"), [&](const bizlib::Record &c) {
        if (c.text("Email").trimmed().isEmpty())
            return;
        const qint32 id = c.toLong("ContactID");
        // Some people have not used the website for a long time.
        accounts.append({ 10000 + id, c.text("Name").trimmed(), c.text("Email").trimmed(),
            id % 7 == 3 ? QStringLiteral("Inactive") : QStringLiteral("Active"), c.toLong("ClientID") });
    });
    int clientIndex = 0;
    if (st) {
        st = eachRow(db, QStringLiteral("Clients"), [&](const bizlib::Record &c) {
            if (clientIndex++ % 3 != 0)
                return;
            const QString email = c.text("Email").trimmed();
            const QString domain = email.section(u'@', 1);
            accounts.append({ 20000 + c.toLong("ClientID"),
                c.text("Name").trimmed() + QStringLiteral(" \u2013 accounts & purchasing"),
                domain.isEmpty() ? email : QStringLiteral("accounts@") + domain, QStringLiteral("Active"),
                c.toLong("ClientID") });
        });
    }
    if (st) {
        st = eachRow(db, QStringLiteral("WebSignup"), [&](const bizlib::Record &s) {
            accounts.append({ 50000 + s.toLong("WebSignupID"), s.text("FullName").trimmed(), s.text("Email").trimmed(),
                signupStatus(s), s.toLong("ClientID") });
        });
    }
    if (!st)
        return st;
    for (Account &account : accounts)
        play(account, now);
    m_accounts = accounts;
    return st;
}

void AccountList::play(Account &account, const QDateTime &now)
{
    const bool usable = account.status == QLatin1String("Active");
    auto known = m_sessions.find(account.id);
    if (known == m_sessions.end()) {
        Session first;
        if (account.status != QLatin1String("Pending")) {
            // Seen for the first time: a login some time ago, or, for a quarter of the users who
            // may log in, a few minutes ago.
            const bool online = usable && m_rng.bounded(4) == 0;
            first.lastLogin = online
                ? now.addSecs(-qint64(m_rng.bounded(600)))
                : now.addDays(-1 - qint64(m_rng.bounded(90))).addSecs(-qint64(m_rng.bounded(36000)));
            first.lastRequest = first.lastLogin.addSecs(qint64(m_rng.bounded(online ? 60 : 2400)));
            first.ip = randomAddress();
        }
        known = m_sessions.insert(account.id, first);
    } else if (usable) {
        Session &s = *known;
        const bool online = s.lastRequest.isValid() && s.lastRequest.secsTo(now) < kSessionSeconds;
        if (online && m_rng.bounded(2) == 0) {
            s.lastRequest = now;
        } else if (!online && m_rng.bounded(16) == 0) {
            s.lastLogin = now;
            s.lastRequest = now;
            s.ip = randomAddress();
        }
    }
    account.lastLogin = known->lastLogin;
    account.lastRequest = known->lastRequest;
    account.lastLoginIp = known->ip;
    account.active = usable && account.lastRequest.isValid() && account.lastRequest.secsTo(now) < kSessionSeconds;
}

QString AccountList::randomAddress()
{
    switch (m_rng.bounded(4)) {
    case 0:
        return QStringLiteral("203.0.113.%1").arg(1 + m_rng.bounded(254));
    case 1:
        return QStringLiteral("198.51.100.%1").arg(1 + m_rng.bounded(254));
    case 2:
        return QStringLiteral("192.0.2.%1").arg(1 + m_rng.bounded(254));
    default:
        return QStringLiteral("2001:db8:85a3::%1").arg(m_rng.bounded(0xffff), 0, 16);
    }
}

bool AccountList::write(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const auto date = [](const QDateTime &t) { return t.isValid() ? t.date().toString(Qt::ISODate) : QString(); };
    const auto time
        = [](const QDateTime &t) { return t.isValid() ? t.time().toString(QStringLiteral("HH:mm")) : QString(); };
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("accounts"));
    for (const Account &a : m_accounts) {
        xml.writeStartElement(QStringLiteral("account"));
        xml.writeTextElement(QStringLiteral("id"), QString::number(a.id));
        xml.writeTextElement(QStringLiteral("name"), a.name);
        xml.writeTextElement(QStringLiteral("email"), a.email);
        xml.writeTextElement(QStringLiteral("status"), a.status);
        xml.writeTextElement(QStringLiteral("username"), a.email);
        xml.writeTextElement(QStringLiteral("active"), a.active ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        xml.writeTextElement(QStringLiteral("lastrequestdate"), date(a.lastRequest));
        xml.writeTextElement(QStringLiteral("lastrequesttime"), time(a.lastRequest));
        xml.writeTextElement(QStringLiteral("lastlogindate"), date(a.lastLogin));
        xml.writeTextElement(QStringLiteral("lastlogintime"), time(a.lastLogin));
        xml.writeTextElement(QStringLiteral("lastloginip"), a.lastLoginIp);
        xml.writeTextElement(QStringLiteral("clientid"), QString::number(a.clientId));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace webmon
