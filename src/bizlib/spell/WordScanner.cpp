#include "bizlib/spell/WordScanner.h"

#include <QRegularExpression>

namespace bizlib::spell {

namespace {

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019);
}

bool isWordChar(QChar c)
{
    return c.isLetter() || c.isMark() || c.isDigit();
}

// Strips the brackets, quotes and sentence punctuation around a piece: "(see www.x.org)." -> www.x.org
QStringView core(QStringView piece)
{
    const auto edge = [](QChar c) { return !c.isLetterOrNumber() && c != u'/' && c != u'@'; };
    while (!piece.isEmpty() && edge(piece.front()))
        piece = piece.mid(1);
    while (!piece.isEmpty() && edge(piece.back()))
        piece.chop(1);
    return piece;
}

} // namespace

bool WordScanner::isEmailAddress(QStringView piece)
{
    const QStringView p = core(piece);
    const qsizetype at = p.indexOf(u'@');
    return at > 0 && at + 1 < p.size() && p.at(at - 1).isLetterOrNumber() && p.at(at + 1).isLetterOrNumber();
}

bool WordScanner::isWebAddress(QStringView piece)
{
    static const QRegularExpression hostWithPath(
        QStringLiteral("^[\\w-]+(\\.[\\w-]+)+/"), QRegularExpression::UseUnicodePropertiesOption);
    const QStringView p = core(piece);
    return p.contains(u"://") || p.startsWith(u"www.", Qt::CaseInsensitive)
        || p.startsWith(u"mailto:", Qt::CaseInsensitive) || hostWithPath.match(p).hasMatch();
}

QList<WordScanner::Word> WordScanner::words(QStringView text)
{
    QList<Word> out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        // One blank-separated piece at a time, so addresses are seen whole.
        while (i < n && text.at(i).isSpace())
            ++i;
        qsizetype end = i;
        while (end < n && !text.at(end).isSpace())
            ++end;
        const QStringView piece = text.mid(i, end - i);
        if (piece.isEmpty() || isEmailAddress(piece) || isWebAddress(piece)) {
            i = end;
            continue;
        }
        qsizetype p = 0;
        while (p < piece.size()) {
            if (!isWordChar(piece.at(p))) {
                ++p;
                continue;
            }
            qsizetype q = p;
            bool digit = false;
            while (q < piece.size()) {
                const QChar c = piece.at(q);
                if (isWordChar(c)) {
                    digit = digit || c.isDigit();
                    ++q;
                } else if (isApostrophe(c) && q + 1 < piece.size() && isWordChar(piece.at(q + 1))) {
                    ++q;
                } else {
                    break;
                }
            }
            if (!digit)
                out << Word { i + p, q - p };
            p = q;
        }
        i = end;
    }
    return out;
}

} // namespace bizlib::spell
