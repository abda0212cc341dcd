#include "bizlib/mail/MailAddress.h"

#include <QRegularExpression>
#include <QSet>

namespace bizlib::mail {

namespace {

bool isAtomChar(QChar c)
{
    if (c.unicode() <= 32 || c.unicode() >= 127)
        return false;
    return !QStringView(u"()<>,;:\\\"[]@").contains(c);
}

bool isValidDomain(QStringView domain)
{
    if (domain.isEmpty() || domain.size() > 253)
        return false;
    for (QStringView label : domain.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label) {
            const char16_t u = c.unicode();
            const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-';
            if (!ok)
                return false;
        }
    }
    return true;
}

} // namespace

bool MailAddress::isValidAddress(const QString &address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || address.indexOf(u'@') != at)
        return false;
    const QStringView local = QStringView(address).left(at);
    if (local.size() > 64 || local.startsWith(u'.') || local.endsWith(u'.') || local.contains(u".."))
        return false;
    for (QChar c : local) {
        if (!isAtomChar(c))
            return false;
    }
    return isValidDomain(QStringView(address).mid(at + 1));
}

MailAddress MailAddress::parse(const QString &entry)
{
    MailAddress a;
    a.raw = entry.trimmed();
    QString rest = a.raw;
    const qsizetype open = rest.lastIndexOf(u'<');
    if (open >= 0) {
        const qsizetype close = rest.indexOf(u'>', open);
        if (close < 0 || !rest.mid(close + 1).trimmed().isEmpty())
            return a;
        a.address = rest.mid(open + 1, close - open - 1).trimmed();
        QString name = rest.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.mid(1, name.size() - 2).replace(QLatin1String("\\\""), QLatin1String("\""));
        // A name may not smuggle in header lines.
        if (name.contains(u'\r') || name.contains(u'\n'))
            return a;
        a.name = name;
    } else {
        a.address = rest;
    }
    if (a.address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        a.address = a.address.mid(7);
    a.valid = isValidAddress(a.address);
    return a;
}

QList<MailAddress> MailAddress::parseList(const QString &text)
{
    QList<MailAddress> out;
    QString current;
    bool quoted = false;
    bool angle = false;
    const auto flush = [&] {
        if (!current.trimmed().isEmpty())
            out << parse(current);
        current.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && quoted && i + 1 < text.size()) {
            current += c;
            current += text.at(++i);
            continue;
        }
        if (c == u'"' && !angle)
            quoted = !quoted;
        else if (c == u'<' && !quoted)
            angle = true;
        else if (c == u'>' && !quoted)
            angle = false;
        if ((c == u';' || c == u',') && !quoted && !angle) {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return out;
}

QList<MailAddress> MailAddress::merged(const QList<QList<MailAddress>> &lists)
{
    QList<MailAddress> out;
    QSet<QString> seen;
    for (const QList<MailAddress> &list : lists) {
        for (const MailAddress &a : list) {
            if (a.valid) {
                const QString key = a.address.toLower();
                if (seen.contains(key))
                    continue;
                seen.insert(key);
            }
            out << a;
        }
    }
    return out;
}

QString MailAddress::joined(const QList<MailAddress> &list)
{
    QStringList parts;
    for (const MailAddress &a : list)
        parts << (a.valid ? a.display() : a.raw);
    return parts.join(QLatin1String("; "));
}

QString MailAddress::display() const
{
    if (name.isEmpty())
        return address;
    QString n = name;
    static const QRegularExpression specials(QStringLiteral("[()<>,;:\\\\\".\\[\\]@]"));
    const bool needsQuotes = n.contains(specials);
    if (needsQuotes)
        n = u'"' + n.replace(u'"', QLatin1String("\\\"")) + u'"';
    return n + QLatin1String(" <") + address + u'>';
}

} // namespace bizlib::mail
