#include "bizlib/mail/HtmlText.h"

#include <QRegularExpression>

namespace bizlib::mail {

namespace {

QString decodeEntities(const QString &text)
{
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
            code = name.mid(2).toUInt(nullptr, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt();
        else if (name == QLatin1String("amp"))
            code = '&';
        else if (name == QLatin1String("lt"))
            code = '<';
        else if (name == QLatin1String("gt"))
            code = '>';
        else if (name == QLatin1String("quot"))
            code = '"';
        else if (name == QLatin1String("apos"))
            code = '\'';
        else if (name == QLatin1String("nbsp"))
            code = ' ';
        if (code == 0 || code > 0x10FFFF) {
            out += m.captured(0);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
    }
    out += QStringView(text).mid(last);
    return out;
}

} // namespace

QString HtmlText::toPlainText(const QString &html)
{
    static const QRegularExpression hidden(QStringLiteral("<(head|style|script)\\b.*?</\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression breaks(
        QStringLiteral("<br\\s*/?>|</(p|div|h[1-6]|li|tr|table)\\s*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    static const QRegularExpression lineEdges(QStringLiteral(" *\\n *"));
    static const QRegularExpression blankLines(QStringLiteral("\\n{3,}"));

    QString s = html;
    s.remove(hidden);
    // Line breaks in the source are only blanks to a browser.
    s.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    s.replace(breaks, QStringLiteral("\n"));
    s.remove(tags);
    s.replace(blanks, QStringLiteral(" "));
    s = decodeEntities(s);
    s.replace(lineEdges, QStringLiteral("\n"));
    s.replace(blankLines, QStringLiteral("\n\n"));
    return s.trimmed();
}

} // namespace bizlib::mail
