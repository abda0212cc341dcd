#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/FilterExpression.h"
#include "bizlib/FilterLexer.h"

namespace bizlib {

// Recursive-descent translator behind translateFilter() (the grammar is described there).
// Every operand becomes a typed value: a column of the query (trusted SQL from the resolver),
// a constant (literal or bound value, always passed as a '?' parameter) or a condition.
// Comparisons are built once both sides' types are known, so that constants are passed with
// the type of the column they meet.
class FilterParser
{
public:
    FilterParser(const FieldResolver &resolver, const FilterBindings &bindings, const Database &db);

    FilterResult translate(const QString &expression);

private:
    struct Value
    {
        enum class Kind { Column, Constant, Condition };
        enum class Type { Text, Number, Boolean };
        Kind kind = Kind::Constant;
        Type type = Type::Text;
        QString sql; // Column: comparable expression (texts already RTRIMmed); Condition: the test
        QVariantList params; // parameters of `sql`
        int places = 0; // Column of numbers: decimal places of its values (0 for whole numbers)
        bool decimalField = false; // Column: a DECIMAL field (its constants go through decimalToSql)
        QString text; // Constant text
        Decimal number; // Constant number
        QString label; // how it was written, for messages
        int pos = 0;
    };

    // Thrown inside the parser only; translate() turns it into the error result.
    struct Failure
    {
        QString message;
        int pos;
    };

    const FilterToken &peek() const { return m_tokens.at(m_index); }
    const FilterToken &take() { return m_tokens.at(m_index++); }
    [[noreturn]] static void fail(const QString &message, int pos);
    void enter(int pos);

    Value parseOr();
    Value parseAnd();
    Value parseNot();
    Value parseCompare();
    Value parseOperand();
    Value parseName(const FilterToken &name);
    Value parseFunction(const FilterToken &name);
    // Unary '-' or '+': only numbers take a sign (a text constant is read as a number).
    Value withSign(Value v, bool negative, int pos);

    Value constantFromBinding(const QVariant &value, const QString &name, int pos) const;
    Value compare(const Value &left, QString op, const Value &right, int pos) const;
    Value compareColumnWithConstant(const Value &column, const QString &op, const Value &constant) const;
    Value compareColumns(const Value &left, const QString &op, const Value &right, int pos) const;
    static Value asCondition(const Value &v);
    static Value asNumberColumn(const Value &v);
    static Value truthConstant(bool truth, int pos);
    static Value combine(const QList<Value> &parts, const QString &keyword);
    static std::optional<Decimal> numberOfText(const QString &text);
    static QString textOfNumber(const Decimal &number);
    static bool constantTruth(const Value &v);

    const FieldResolver &m_resolver;
    const FilterBindings &m_bindings;
    const Database &m_db;
    QList<FilterToken> m_tokens;
    int m_index = 0;
    int m_depth = 0;
};

} // namespace bizlib
