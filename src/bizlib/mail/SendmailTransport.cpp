#include "bizlib/mail/SendmailTransport.h"

#include "bizlib/mail/MimeWriter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace bizlib::mail {

SendmailTransport::SendmailTransport(const QString &program, int timeoutSeconds)
    : m_program(program.trimmed())
    , m_timeoutSeconds(timeoutSeconds > 0 ? timeoutSeconds : 30)
{ }

QString SendmailTransport::program() const
{
    if (!m_program.isEmpty())
        return m_program;
    QString found = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(
            QStringLiteral("sendmail"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib") });
    return found;
}

Status SendmailTransport::send(const MailMessage &message)
{
    const QString path = program();
    if (path.isEmpty())
        return Status::error(QStringLiteral("The e-mail could not be sent: no sendmail program was found on this "
                                            "workstation for the transport \"MAPI\"."));
    if (message.recipients().isEmpty())
        return Status::error(QStringLiteral("The e-mail has no recipient."));

    const int ms = m_timeoutSeconds * 1000;
    QProcess process;
    process.start(path, { QStringLiteral("-t"), QStringLiteral("-i") });
    if (!process.waitForStarted(ms))
        return Status::error(QStringLiteral("The e-mail could not be sent: %1 could not be started: %2.")
                                 .arg(path, process.errorString()));
    process.write(MimeWriter::write(message, MimeWriter::Bcc::Include));
    process.closeWriteChannel();
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished(1000);
        return Status::error(QStringLiteral("The e-mail could not be sent: %1 did not finish within %2 seconds.")
                                 .arg(path)
                                 .arg(m_timeoutSeconds));
    }
    const QString output
        = QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput()).simplified();
    if (process.exitStatus() != QProcess::NormalExit)
        return Status::error(
            QStringLiteral("The e-mail could not be sent: %1 stopped abnormally. %2").arg(path, output).trimmed());
    if (process.exitCode() != 0) {
        QString text = QStringLiteral("The e-mail could not be sent: %1 ended with exit code %2.")
                           .arg(path)
                           .arg(process.exitCode());
        if (!output.isEmpty())
            text += QStringLiteral(" It said: \"%1\".").arg(output);
        return Status::error(text);
    }
    return Status::ok();
}

} // namespace bizlib::mail
