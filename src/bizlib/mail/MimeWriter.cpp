#include "bizlib/mail/MimeWriter.h"

#include <QCryptographicHash>
#include <QLocale>
#include <QMimeDatabase>
#include <QUrl>

namespace bizlib::mail {

namespace {

constexpr qsizetype kFoldWidth = 78;
constexpr qsizetype kQpWidth = 76;
const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool isPlainAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 32 || c.unicode() > 126)
            return false;
    }
    return true;
}

QString oneLine(const QString &text)
{
    QString s = text;
    for (QChar &c : s) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return s;
}

// Encoded words of at most 75 characters each, cut between characters.
QByteArray encodedWords(const QString &text)
{
    // 48 base64 characters: a word of 60, which leaves room for the header name on the first line.
    constexpr qsizetype kMaxBytes = 36;
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += ' ';
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            n = 2;
        const QByteArray ch = text.mid(i, n).toUtf8();
        if (chunk.size() + ch.size() > kMaxBytes)
            flush();
        chunk += ch;
        i += n - 1;
    }
    flush();
    return out;
}

// "Name: value" folded before blanks (each blank kept); a word longer than a line stays whole.
QByteArray fold(const QByteArray &name, const QByteArray &value)
{
    QByteArray out = name + ':';
    qsizetype lineLength = out.size();
    const QList<QByteArray> words = value.split(' ');
    for (const QByteArray &w : words) {
        if (!w.isEmpty() && lineLength + 1 + w.size() > kFoldWidth && lineLength > name.size() + 1) {
            out += kCrLf;
            lineLength = 0;
        }
        out += ' ' + w;
        lineLength += 1 + w.size();
    }
    return out + kCrLf;
}

QByteArray boundary(const MailMessage &m, const char *kind)
{
    const QByteArray seed = m.messageId.toUtf8() + '/' + kind;
    return "=_wc_" + QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex().left(24);
}

QByteArray textPart(const QString &text, const char *subtype)
{
    return QByteArray("Content-Type: text/") + subtype + "; charset=utf-8" + kCrLf
        + "Content-Transfer-Encoding: quoted-printable" + kCrLf + kCrLf + MimeWriter::quotedPrintable(text);
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + kCrLf;
    return out;
}

QByteArray quotedParameter(const QString &value)
{
    QString v = oneLine(value);
    v.remove(u'"').remove(u'\\');
    if (isPlainAscii(v))
        return '"' + v.toLatin1() + '"';
    return '"' + encodedWords(v) + '"';
}

QByteArray attachmentPart(const MailMessage::Attachment &a)
{
    static const QMimeDatabase mimeDb;
    const QString type = mimeDb.mimeTypeForFileNameAndData(a.fileName, a.data).name();
    QByteArray disposition = "attachment; filename=" + quotedParameter(a.fileName);
    if (!isPlainAscii(a.fileName))
        disposition += "; filename*=UTF-8''" + QUrl::toPercentEncoding(a.fileName);
    return fold("Content-Type", type.toLatin1() + "; name=" + quotedParameter(a.fileName))
        + "Content-Transfer-Encoding: base64" + kCrLf + fold("Content-Disposition", disposition) + kCrLf
        + base64Lines(a.data);
}

QByteArray multipart(const QByteArray &subtype, const QByteArray &mark, const QList<QByteArray> &parts)
{
    QByteArray out = "Content-Type: multipart/" + subtype + "; boundary=\"" + mark + '"' + kCrLf + kCrLf;
    out += "This is a multi-part message in MIME format." + kCrLf;
    for (const QByteArray &p : parts)
        out += kCrLf + "--" + mark + kCrLf + p;
    out += kCrLf + "--" + mark + "--" + kCrLf;
    return out;
}

QByteArray contentEntity(const MailMessage &m)
{
    if (m.html.isEmpty())
        return textPart(m.text, "plain");
    return multipart(
        "alternative", boundary(m, "alternative"), { textPart(m.text, "plain"), textPart(m.html, "html") });
}

} // namespace

QByteArray MimeWriter::encodeText(const QString &text)
{
    const QString line = oneLine(text);
    return isPlainAscii(line) ? line.toLatin1() : encodedWords(line);
}

QByteArray MimeWriter::headerLine(const QByteArray &name, const QString &value)
{
    return fold(name, encodeText(value));
}

QByteArray MimeWriter::encodeAddresses(const QList<MailAddress> &list)
{
    QList<QByteArray> parts;
    for (const MailAddress &a : list) {
        if (!a.valid) {
            parts << encodeText(a.raw);
        } else if (a.name.isEmpty()) {
            parts << a.address.toLatin1();
        } else {
            const QString name = oneLine(a.name);
            const QByteArray shown = isPlainAscii(name) ? MailAddress { name, a.address }.display().toLatin1()
                                                        : encodedWords(name) + " <" + a.address.toLatin1() + '>';
            parts << shown;
        }
    }
    return parts.join(", ");
}

QByteArray MimeWriter::quotedPrintable(const QString &text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const QStringList lines = normal.split(u'\n');
    QByteArray out;
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QByteArray bytes = lines.at(l).toUtf8();
        qsizetype lineLength = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes.at(i));
            const bool last = i + 1 == bytes.size();
            bool literal = (b >= 33 && b <= 126 && b != '=') || ((b == ' ' || b == '\t') && !last);
            if (lineLength == 0 && (b == '.' || (b == 'F' && bytes.mid(i, 5) == "From ")))
                literal = false;
            const qsizetype width = literal ? 1 : 3;
            if (lineLength + width > kQpWidth - 1) {
                out += '=' + kCrLf;
                lineLength = 0;
                if (b == '.' || (b == 'F' && bytes.mid(i, 5) == "From "))
                    literal = false;
            }
            if (literal) {
                out += static_cast<char>(b);
                lineLength += 1;
            } else {
                out += '=';
                out += hex[b >> 4];
                out += hex[b & 0xF];
                lineLength += 3;
            }
        }
        out += kCrLf;
    }
    return out;
}

QByteArray MimeWriter::dateText(const QDateTime &date)
{
    const QDateTime d = date.isValid() ? date : QDateTime::currentDateTime();
    const int offset = d.offsetFromUtc() / 60;
    const int abs = offset < 0 ? -offset : offset;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                             .arg(abs / 60, 2, 10, QLatin1Char('0'))
                             .arg(abs % 60, 2, 10, QLatin1Char('0'));
    return (QLocale::c().toString(d, QStringLiteral("ddd, d MMM yyyy HH:mm:ss ")) + zone).toLatin1();
}

QByteArray MimeWriter::write(const MailMessage &m, Bcc bcc)
{
    QByteArray out;
    out += "Date: " + dateText(m.date) + kCrLf;
    out += fold("From", encodeAddresses({ m.from }));
    if (!m.replyTo.address.isEmpty() || !m.replyTo.raw.isEmpty())
        out += fold("Reply-To", encodeAddresses({ m.replyTo }));
    if (!m.to.isEmpty())
        out += fold("To", encodeAddresses(m.to));
    else if (m.cc.isEmpty())
        out += "To: undisclosed-recipients:;" + kCrLf;
    if (!m.cc.isEmpty())
        out += fold("Cc", encodeAddresses(m.cc));
    if (bcc == Bcc::Include && !m.bcc.isEmpty())
        out += fold("Bcc", encodeAddresses(m.bcc));
    out += headerLine("Subject", m.subject);
    out += "Message-ID: <" + m.messageId.toLatin1() + '>' + kCrLf;
    if (m.readReceipt)
        out += fold("Disposition-Notification-To", encodeAddresses({ m.from }));
    out += "MIME-Version: 1.0" + kCrLf;

    QList<QByteArray> attachments;
    for (const MailMessage::Attachment &a : m.attachments) {
        if (a.readable)
            attachments << attachmentPart(a);
    }
    if (attachments.isEmpty()) {
        out += contentEntity(m);
    } else {
        attachments.prepend(contentEntity(m));
        out += multipart("mixed", boundary(m, "mixed"), attachments);
    }
    return out;
}

} // namespace bizlib::mail
