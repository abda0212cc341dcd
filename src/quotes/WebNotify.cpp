#include "quotes/WebNotify.h"

#include "bizlib/Table.h"
#include "bizlib/TableCursor.h"
#include "bizlib/mail/MailSender.h"
#include "config/ConsoleSettings.h"
#include "quotes/UserLookup.h"

#include <QThread>
#include <memory>

namespace quotes {

namespace {

bool sameUser(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

WebNotify::WebNotify(Services services)
    : m_services(std::move(services))
{ }

qint32 WebNotify::currentThreadNumber()
{
    return static_cast<qint32>(reinterpret_cast<quintptr>(QThread::currentThreadId()) & 0x7fffffff);
}

QString WebNotify::systemAddress()
{
    bizlib::Table syconf(*m_services.db, QStringLiteral("SYCONF"));
    bizlib::TableCursor first(syconf, syconf.def().primary().name);
    bizlib::Record row;
    return first.next(row) ? row.text("Email").trimmed() : QString();
}

bizlib::Status WebNotify::recipients(const bizlib::Record &client, bool automatic, QString *list)
{
    bizlib::Database &db = *m_services.db;
    const config::ConsoleSettings &settings = *m_services.settings;
    const QString rep = client.isValid() ? client.text("Rep").trimmed() : QString();
    const QString manager = client.isValid() ? client.text("Manager").trimmed() : QString();
    QStringList addresses;
    if (settings.autoEmailRep && !rep.isEmpty()) {
        const QString repAddress = UserLookup::email(db, rep);
        if (!repAddress.isEmpty())
            addresses << repAddress;
        if (settings.autoEmailManager && !manager.isEmpty() && !sameUser(manager, rep)) {
            const QString managerAddress = UserLookup::email(db, manager);
            if (!managerAddress.isEmpty())
                addresses << managerAddress;
        }
    } else if (settings.autoEmailManager && !manager.isEmpty()) {
        const QString managerAddress = UserLookup::email(db, manager);
        if (!managerAddress.isEmpty())
            addresses << managerAddress;
    }
    if (addresses.isEmpty() && automatic) {
        QString fallback = settings.adminEmail.trimmed();
        if (fallback.isEmpty())
            fallback = systemAddress();
        if (fallback.isEmpty())
            fallback = !m_services.user.email.trimmed().isEmpty() ? m_services.user.email.trimmed()
                                                                  : UserLookup::email(db, m_services.user.userCode);
        if (!fallback.isEmpty())
            addresses << fallback;
    }
    *list = addresses.join(u';').left(kAddressListWidth);
    return bizlib::Status::ok();
}

bizlib::mail::EmailResult WebNotify::sendTo(
    const QString &to, const QString &text, const QString &subject, const bizlib::Record &client)
{
    auto send = std::make_unique<bizlib::params::EmailParams>();
    send->setText("ToAddress", to);
    send->setText("Format", QStringLiteral("Text"));
    send->setLong("Dialog", 0);
    send->setText("OutputTo", QStringLiteral("Email"));
    send->setText("CountryCode", client.isValid() ? client.text("CountryCode") : QString());
    send->setText("Subject", subject);
    send->setText("MessageText", text);
    send->setText("Template", QString());
    send->setLong("ThreadNo", currentThreadNumber());
    send->setLong("Notify", 0);
    send->setLong("DomainID", -1);
    return m_services.mail->emailDialog(*send, bizlib::params::EmailLinks());
}

QList<bizlib::mail::EmailResult> WebNotify::send(const QString &text, const QString &subject, bool automatic,
    const bizlib::Record &client, const bizlib::Record &contact)
{
    QList<bizlib::mail::EmailResult> results;
    if (!m_services.mail)
        return results;
    QString list;
    if (recipients(client, automatic, &list) && !list.isEmpty())
        results << sendTo(list, text, subject, client);

    if (contact.isValid() && contact.toLong("LinkedContactID") != 0 && contact.toLong("NotifyLinked") == 1) {
        bizlib::Table contacts(*m_services.db, QStringLiteral("Contacts"));
        bizlib::Record linked = contacts.newRecord();
        if (contacts.fetch(QStringLiteral("CONTACTIDKEY"), { contact.toLong("LinkedContactID") }, linked)
            && !linked.text("Email").trimmed().isEmpty())
            results << sendTo(linked.text("Email").trimmed(), text, subject, client);
    }
    return results;
}

} // namespace quotes
