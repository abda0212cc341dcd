#pragma once

#include <QList>
#include <QString>

namespace bizlib {

// One piece of a filter expression. `pos` is the 0-based index of its first character.
struct FilterToken
{
    enum class Kind { End, Name, Text, Number, LParen, RParen, Compare, And, Or, Not, Minus, Plus };
    Kind kind = Kind::End;
    QString text; // Name: as written; Text: the value (quotes removed); Number: digits; Compare: SQL operator
    int pos = 0;
};

// Splits a filter expression into tokens.
// Names are a letter or '_' followed by letters, digits, '_' and ':' ("WQTE:Status", "BrevixIDValue").
// Texts are quoted with ' or "; the quote itself is written twice inside ('O''Neill').
// Comparison operators are normalised to SQL: '~=' is '<>', '=<' is '<=', '=>' is '>=',
// '~<' (not less) is '>=' and '~>' (not greater) is '<='. AND, OR and NOT are keywords in any case;
// '~' alone is NOT. '&' and '|' are refused: '&' joins texts in this syntax, so taking it for AND
// would silently change what an expression means.
class FilterLexer
{
public:
    // Tokens ending with an End token; false with `error` (message and 0-based `errorPos`) when the
    // expression has an unterminated text or a character that belongs to no token.
    static bool tokenize(const QString &expression, QList<FilterToken> *tokens, QString *error, int *errorPos);

    // How a token reads in a message: 'WQTE:Status', ')', the end of the expression.
    static QString describe(const FilterToken &token);
};

} // namespace bizlib
