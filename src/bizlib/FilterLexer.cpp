#include "bizlib/FilterLexer.h"

namespace bizlib {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u':';
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

} // namespace

bool FilterLexer::tokenize(const QString &s, QList<FilterToken> *tokens, QString *error, int *errorPos)
{
    using Kind = FilterToken::Kind;
    tokens->clear();
    const int n = int(s.size());
    int i = 0;
    auto add = [tokens](Kind kind, int pos, const QString &text = {}) { tokens->append({ kind, text, pos }); };
    auto fail = [error, errorPos](const QString &message, int pos) {
        *error = message;
        *errorPos = pos;
        return false;
    };

    while (i < n) {
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (isNameStart(c)) {
            const int start = i;
            while (i < n && isNamePart(s[i]))
                ++i;
            const QString word = s.mid(start, i - start);
            const QString upper = word.toUpper();
            if (upper == u"AND")
                add(Kind::And, start, word);
            else if (upper == u"OR")
                add(Kind::Or, start, word);
            else if (upper == u"NOT")
                add(Kind::Not, start, word);
            else
                add(Kind::Name, start, word);
        } else if (isAsciiDigit(c) || (c == u'.' && isAsciiDigit(next))) {
            const int start = i;
            while (i < n && isAsciiDigit(s[i]))
                ++i;
            if (i < n && s[i] == u'.') {
                ++i;
                while (i < n && isAsciiDigit(s[i]))
                    ++i;
            }
            if (i < n && (isNamePart(s[i]) || s[i] == u'.'))
                return fail(QStringLiteral("malformed number '%1'").arg(s.mid(start, i - start + 1)), start);
            add(Kind::Number, start, s.mid(start, i - start));
        } else if (c == u'\'' || c == u'"') {
            const int start = i;
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) { // doubled quote stands for the quote itself
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed)
                return fail(QStringLiteral("unterminated text"), start);
            add(Kind::Text, start, value);
        } else if (c == u'(') {
            add(Kind::LParen, i++);
        } else if (c == u')') {
            add(Kind::RParen, i++);
        } else if (c == u'-') {
            add(Kind::Minus, i++);
        } else if (c == u'+') {
            add(Kind::Plus, i++);
        } else if (c == u'=') {
            if (next == u'<' || next == u'>') {
                add(Kind::Compare, i, next == u'<' ? QStringLiteral("<=") : QStringLiteral(">="));
                i += 2;
            } else {
                add(Kind::Compare, i++, QStringLiteral("="));
            }
        } else if (c == u'<') {
            if (next == u'>' || next == u'=') {
                add(Kind::Compare, i, next == u'>' ? QStringLiteral("<>") : QStringLiteral("<="));
                i += 2;
            } else {
                add(Kind::Compare, i++, QStringLiteral("<"));
            }
        } else if (c == u'>') {
            if (next == u'=') {
                add(Kind::Compare, i, QStringLiteral(">="));
                i += 2;
            } else {
                add(Kind::Compare, i++, QStringLiteral(">"));
            }
        } else if (c == u'~') {
            if (next == u'=' || next == u'<' || next == u'>') {
                const QString op = next == u'=' ? QStringLiteral("<>")
                    : next == u'<'              ? QStringLiteral(">=")
                                                : QStringLiteral("<=");
                add(Kind::Compare, i, op);
                i += 2;
            } else {
                add(Kind::Not, i++, QStringLiteral("~"));
            }
        } else if (c == u'&') {
            return fail(QStringLiteral("'&' joins texts and cannot combine conditions (write AND)"), i);
        } else if (c == u'|') {
            return fail(QStringLiteral("'|' is not an operator here (write OR)"), i);
        } else {
            return fail(QStringLiteral("unexpected character '%1'").arg(c), i);
        }
    }
    add(Kind::End, n);
    return true;
}

QString FilterLexer::describe(const FilterToken &t)
{
    switch (t.kind) {
    case FilterToken::Kind::End:
        return QStringLiteral("the end of the expression");
    case FilterToken::Kind::Text:
        return QStringLiteral("text '%1'").arg(t.text);
    case FilterToken::Kind::LParen:
        return QStringLiteral("'('");
    case FilterToken::Kind::RParen:
        return QStringLiteral("')'");
    case FilterToken::Kind::Minus:
        return QStringLiteral("'-'");
    case FilterToken::Kind::Plus:
        return QStringLiteral("'+'");
    default:
        return u'\'' + t.text + u'\'';
    }
}

} // namespace bizlib
