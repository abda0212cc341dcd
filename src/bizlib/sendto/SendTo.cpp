#include "bizlib/sendto/SendTo.h"

#include "bizlib/Prompter.h"
#include "bizlib/mail/MailSender.h"
#include "bizlib/params/EmailParams.h"
#include "bizlib/sendto/ListWriter.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace bizlib::sendto {

SendTo::SendTo(Services services)
    : m_services(std::move(services))
{ }

void SendTo::report(const Status &status)
{
    if (m_services.prompter)
        m_services.prompter->alert(status.message(), caption(), Prompter::Icon::Exclamation);
}

forms::Response SendTo::run(const ListSource &list, qint64 rows)
{
    using Destination = SendToPrompter::Destination;
    switch (m_services.ask->chooseDestination(list.title(), rows)) {
    case Destination::File: {
        QString folder = m_services.folder;
        if (folder.isEmpty())
            folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::homePath();
        const QString path = m_services.ask->chooseFile(
            QStringLiteral("Save the list as"), QDir(folder).filePath(ListWriter::fileName(list.title())));
        if (path.isEmpty())
            return forms::Response::Cancelled;
        const Status st = toFile(list, path);
        if (!st)
            report(st);
        return st ? forms::Response::Completed : forms::Response::Cancelled;
    }
    case Destination::Email:
        return toEmail(list).sent() ? forms::Response::Completed : forms::Response::Cancelled;
    case Destination::Printer:
        return toPrinter(list) ? forms::Response::Completed : forms::Response::Cancelled;
    case Destination::Cancel: break;
    }
    return forms::Response::Cancelled;
}

Status SendTo::toFile(const ListSource &list, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::error(QStringLiteral("The list could not be saved as %1: %2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
    const Status st = ListWriter::writeCsv(list, file);
    if (!st) {
        file.cancelWriting();
        return Status::error(
            QStringLiteral("The list could not be saved as %1: %2").arg(QDir::toNativeSeparators(path), st.message()));
    }
    if (!file.commit())
        return Status::error(QStringLiteral("The list could not be saved as %1: %2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
    return Status::ok();
}

mail::EmailResult SendTo::toEmail(const ListSource &list)
{
    mail::EmailResult result;
    QTemporaryDir folder;
    const QString name = ListWriter::fileName(list.title());
    const QString path = folder.filePath(name);
    qint64 rows = 0;
    {
        QSaveFile file(path);
        Status st = folder.isValid() && file.open(QIODevice::WriteOnly)
            ? ListWriter::writeCsv(list, file, &rows)
            : Status::error(QStringLiteral("No temporary file for the attachment: %1").arg(file.errorString()));
        if (st && !file.commit())
            st = Status::error(file.errorString());
        if (!st) {
            result.status = st;
            report(st);
            return result;
        }
    }
    params::EmailParams send;
    send.setLong("Dialog", 1);
    send.setText("OutputTo", QStringLiteral("Email"));
    send.setText("Format", QStringLiteral("Text"));
    send.setText("Subject", list.title());
    send.setText("MessageText",
        QStringLiteral("The list \"%1\" (%2 rows) is attached as a CSV file.").arg(list.title()).arg(rows));
    send.setText("AttachmentList", path);
    send.setText("AttachmentName", name);
    send.setLong("HasAttachments", 1);
    send.setText("FromUser", m_services.sender.userCode);
    send.setText("FromFullName", m_services.sender.userName);
    send.setText("FromAddress", m_services.sender.email);
    return mail::MailSender(m_services.mail, m_services.composer, m_services.prompter, m_services.trace)
        .emailDialog(send);
}

bool SendTo::toPrinter(const ListSource &list)
{
    QString html;
    const Status st = ListWriter::html(list, &html);
    if (!st) {
        report(st);
        return false;
    }
    return m_services.ask->print(list.title(), html);
}

} // namespace bizlib::sendto
