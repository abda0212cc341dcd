#include "bizlib/mail/Outbox.h"

#include "bizlib/mail/MimeWriter.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace bizlib::mail {

namespace {

constexpr qsizetype kMaxErrorLength = 900;

} // namespace

Outbox::Outbox(const QString &folder)
    : m_folder(folder.trimmed())
{
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QLatin1String("/outbox");
}

QString Outbox::folder(Kind kind) const
{
    return QDir(m_folder).filePath(kind == Kind::Sent ? QStringLiteral("sent") : QStringLiteral("failed"));
}

Status Outbox::record(Kind kind, const MailMessage &message, const QString &transport, const QString &error,
    const Links &links, QString *file) const
{
    const QString dir = folder(kind);
    if (!QDir().mkpath(dir))
        return Status::error(
            QStringLiteral("The outbox folder %1 cannot be created.").arg(QDir::toNativeSeparators(dir)));

    QByteArray head = MimeWriter::headerLine("X-Webconsole-Transport", transport);
    if (kind == Kind::Failed) {
        QString why = error.simplified();
        if (why.isEmpty())
            why = QStringLiteral("unknown error");
        if (why.size() > kMaxErrorLength)
            why = why.left(kMaxErrorLength) + QLatin1String("...");
        head += MimeWriter::headerLine("X-Webconsole-Error", why);
    }
    if (!links.isEmpty()) {
        QStringList parts;
        for (const auto &[name, id] : links)
            parts << name + u'=' + QString::number(id);
        head += MimeWriter::headerLine("X-Webconsole-Links", parts.join(QLatin1String("; ")));
    }

    const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz-"))
        + QUuid::createUuid().toString(QUuid::Id128).left(8) + QLatin1String(".eml");
    const QString path = QDir(dir).filePath(name);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(head + MimeWriter::write(message, MimeWriter::Bcc::Include)) < 0
        || !out.commit())
        return Status::error(QStringLiteral("The e-mail could not be kept in the outbox file %1: %2.")
                                 .arg(QDir::toNativeSeparators(path), out.errorString()));
    if (file)
        *file = path;
    return Status::ok();
}

QStringList Outbox::files(Kind kind) const
{
    const QDir dir(folder(kind));
    QStringList out;
    for (const QString &name : dir.entryList({ QStringLiteral("*.eml") }, QDir::Files, QDir::Name))
        out << dir.filePath(name);
    return out;
}

} // namespace bizlib::mail
