#include "bizlib/mail/MailMessageBuilder.h"

#include "bizlib/mail/HtmlText.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>

namespace bizlib::mail {

namespace {

QString field(const params::EmailParams &send, const char *name)
{
    return send.text(QLatin1StringView(name)).trimmed();
}

bool flag(const params::EmailParams &send, const char *name)
{
    return send.toLong(QLatin1StringView(name)) != 0;
}

// Addresses of `list` not yet in `seen` (which takes them); entries that are not addresses are
// always kept, so they are reported.
QList<MailAddress> unseen(const QList<MailAddress> &list, QSet<QString> &seen)
{
    QList<MailAddress> out;
    for (const MailAddress &a : list) {
        if (a.valid) {
            const QString key = a.address.toLower();
            if (seen.contains(key))
                continue;
            seen.insert(key);
        }
        out << a;
    }
    return out;
}

void checkAddresses(const QList<MailAddress> &list, QStringList *problems)
{
    for (const MailAddress &a : list) {
        if (!a.valid)
            *problems << QStringLiteral("\"%1\" is not a valid e-mail address.").arg(a.raw);
    }
}

QString domainOf(const MailAddress &a)
{
    const qsizetype at = a.address.indexOf(u'@');
    return a.valid && at > 0 ? a.address.mid(at + 1).toLower() : QStringLiteral("localhost");
}

} // namespace

MailMessageBuilder::MailMessageBuilder(const MailSettings &settings)
    : m_settings(settings)
{ }

bool MailMessageBuilder::wantsHtml(const params::EmailParams &send) const
{
    QString format = field(send, "Format");
    if (format.isEmpty())
        format = m_settings.format.trimmed();
    return format.compare(QLatin1String("Html"), Qt::CaseInsensitive) == 0 && !field(send, "MessageHTML").isEmpty();
}

MailAddress MailMessageBuilder::sender(const params::EmailParams &send) const
{
    const QString address = field(send, "FromAddress");
    if (address.isEmpty() || flag(send, "DisableFromAddress"))
        return m_settings.from.trimmed().isEmpty() ? MailAddress {} : MailAddress::parse(m_settings.from);
    MailAddress a = MailAddress::parse(address);
    if (a.valid && a.name.isEmpty()) {
        a.name = field(send, "FromFullName");
        if (a.name.isEmpty())
            a.name = field(send, "DisplayName");
    }
    return a;
}

QStringList MailMessageBuilder::attachmentFiles(const params::EmailParams &send)
{
    static const QRegularExpression separators(QStringLiteral("[;|\\r\\n]"));
    QStringList files;
    for (const QString &part : send.text("AttachmentList").split(separators, Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            files << part.trimmed();
    }
    if (files.isEmpty() && !field(send, "AttachmentName").isEmpty())
        files << field(send, "AttachmentName");
    return files;
}

MailDraft MailMessageBuilder::draft(const params::EmailParams &send) const
{
    MailDraft d;
    const MailAddress from = sender(send);
    d.from = from.valid ? from.display() : from.raw;

    QList<QList<MailAddress>> cc { MailAddress::parseList(field(send, "CCAddress")),
        MailAddress::parseList(field(send, "CCOtherAddress")) };
    if (flag(send, "CCRep"))
        cc << MailAddress::parseList(field(send, "RepAddress"));
    if (flag(send, "CCMgr"))
        cc << MailAddress::parseList(field(send, "MgrAddress"));
    if (flag(send, "CCOwner"))
        cc << MailAddress::parseList(field(send, "OwnerAddress"));
    QList<QList<MailAddress>> bcc { MailAddress::parseList(field(send, "BCCAddress")),
        MailAddress::parseList(field(send, "BCCOtherAddress")) };
    if (m_settings.bccSelf && from.valid)
        bcc << QList<MailAddress> { MailAddress::parse(from.address) };

    d.to = MailAddress::joined(MailAddress::parseList(field(send, "ToAddress")));
    d.cc = MailAddress::joined(MailAddress::merged(cc));
    d.bcc = MailAddress::joined(MailAddress::merged(bcc));
    d.subject = send.text("Subject");
    d.html = wantsHtml(send);
    if (d.html) {
        d.body = send.text("MessageHTML");
    } else {
        d.body = send.text("MessageText");
        if (d.body.trimmed().isEmpty() && !field(send, "MessageHTML").isEmpty())
            d.body = HtmlText::toPlainText(send.text("MessageHTML"));
    }
    d.attachments = attachmentFiles(send);
    return d;
}

MailMessage MailMessageBuilder::message(
    const MailDraft &draft, const params::EmailParams &send, QStringList *problems) const
{
    QStringList local;
    if (!problems)
        problems = &local;
    MailMessage m;
    m.from = sender(send);
    if (m.from.raw.isEmpty())
        *problems << QStringLiteral("The e-mail has no sender address: the e-mail record names none and "
                                    "\"EmailFrom\" is not set.");
    else if (!m.from.valid)
        *problems << QStringLiteral("The sender \"%1\" is not a valid e-mail address.").arg(m.from.raw);
    if (!field(send, "ReplyAddress").isEmpty()) {
        m.replyTo = MailAddress::parse(field(send, "ReplyAddress"));
        checkAddresses({ m.replyTo }, problems);
    }

    QSet<QString> seen;
    m.to = unseen(MailAddress::parseList(draft.to), seen);
    m.cc = unseen(MailAddress::parseList(draft.cc), seen);
    m.bcc = unseen(MailAddress::parseList(draft.bcc), seen);
    checkAddresses(m.recipients(), problems);
    if (m.recipients().isEmpty())
        *problems << QStringLiteral("The e-mail has no recipient.");

    m.subject = draft.subject.trimmed();
    if (draft.html) {
        m.html = draft.body;
        const QString text = send.text("MessageText");
        const bool htmlAsGiven = draft.body == send.text("MessageHTML");
        m.text = htmlAsGiven && !text.trimmed().isEmpty() ? text : HtmlText::toPlainText(draft.body);
    } else {
        m.text = draft.body;
    }

    const QString shownName = field(send, "AttachmentName");
    for (const QString &path : draft.attachments) {
        MailMessage::Attachment a;
        a.path = path;
        a.fileName = QFileInfo(path).fileName();
        if (draft.attachments.size() == 1 && !shownName.isEmpty())
            a.fileName = QFileInfo(shownName).fileName();
        QFile file(path);
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
            a.data = file.readAll();
            a.readable = true;
        } else {
            const QString why = QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file");
            *problems << QStringLiteral("The attachment \"%1\" cannot be read: %2.").arg(path, why);
        }
        m.attachments << a;
    }

    m.date = QDateTime::currentDateTime();
    m.messageId = QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1String(".webconsole@") + domainOf(m.from);
    m.readReceipt = flag(send, "ReadReceipt");
    return m;
}

void MailMessageBuilder::applyDraft(const MailDraft &draft, params::EmailParams &send)
{
    send.setText("ToAddress", draft.to);
    send.setText("CCAddress", draft.cc);
    send.setText("BCCAddress", draft.bcc);
    // The other lists were merged into the draft's.
    send.setText("CCOtherAddress", QString());
    send.setText("BCCOtherAddress", QString());
    send.setLong("CCRep", 0);
    send.setLong("CCMgr", 0);
    send.setLong("CCOwner", 0);
    send.setText("Subject", draft.subject);
    if (draft.html)
        send.setText("MessageHTML", draft.body);
    else
        send.setText("MessageText", draft.body);
}

} // namespace bizlib::mail
