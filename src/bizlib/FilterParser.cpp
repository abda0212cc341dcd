#include "bizlib/FilterParser.h"

#include "bizlib/Clock.h"
#include "bizlib/Database.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <limits>

namespace bizlib {

namespace {

__extension__ typedef __int128 Wide; // wide enough for any scaled qint64

// Deeper nesting than this is refused instead of risking the stack on hostile input.
constexpr int kMaxDepth = 200;

Wide pow10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// Trailing blanks never count in a text comparison.
QString clipped(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    const QString result = text.left(n);
    // A null QString would be bound as SQL NULL, which equals nothing: blank must stay ''.
    return result.isNull() ? QStringLiteral("") : result;
}

// The same comparison written with its operands swapped: 1 < x is x > 1.
QString mirrored(const QString &op)
{
    if (op == u"<")
        return QStringLiteral(">");
    if (op == u">")
        return QStringLiteral("<");
    if (op == u"<=")
        return QStringLiteral(">=");
    if (op == u">=")
        return QStringLiteral("<=");
    return op;
}

template<typename T> bool holds(const QString &op, const T &ordering)
{
    if (op == u"=")
        return ordering == 0;
    if (op == u"<>")
        return ordering != 0;
    if (op == u"<")
        return ordering < 0;
    if (op == u"<=")
        return ordering <= 0;
    if (op == u">")
        return ordering > 0;
    return ordering >= 0;
}

struct DepthGuard
{
    explicit DepthGuard(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~DepthGuard() { --m_depth; }
    int &m_depth;
};

} // namespace

FilterParser::FilterParser(const FieldResolver &resolver, const FilterBindings &bindings, const Database &db)
    : m_resolver(resolver)
    , m_bindings(bindings)
    , m_db(db)
{ }

void FilterParser::fail(const QString &message, int pos)
{
    throw Failure { message, pos };
}

void FilterParser::enter(int pos)
{
    if (m_depth > kMaxDepth)
        fail(QStringLiteral("expression nested too deeply"), pos);
}

FilterResult FilterParser::translate(const QString &expression)
{
    FilterResult result;
    auto failed = [&result](const QString &message, int pos) {
        result.ok = false;
        result.condition = {};
        result.error = QStringLiteral("Filter expression: %1 at position %2").arg(message).arg(pos + 1);
        return result;
    };

    QString lexError;
    int lexPos = 0;
    if (!FilterLexer::tokenize(expression, &m_tokens, &lexError, &lexPos))
        return failed(lexError, lexPos);
    m_index = 0;
    m_depth = 0;
    if (peek().kind == FilterToken::Kind::End) {
        result.ok = true; // blank: every row
        return result;
    }
    try {
        const Value v = parseOr();
        const FilterToken &rest = peek();
        if (rest.kind == FilterToken::Kind::RParen)
            fail(QStringLiteral("unbalanced parentheses: ')' without '('"), rest.pos);
        if (rest.kind != FilterToken::Kind::End)
            fail(
                QStringLiteral("unexpected %1 after a complete expression").arg(FilterLexer::describe(rest)), rest.pos);
        const Value c = asCondition(v);
        result.ok = true;
        result.condition.sql = c.sql;
        result.condition.params = c.params;
        return result;
    } catch (const Failure &f) {
        return failed(f.message, f.pos);
    }
}

// ---- grammar ----

FilterParser::Value FilterParser::parseOr()
{
    QList<Value> parts { parseAnd() };
    while (peek().kind == FilterToken::Kind::Or) {
        take();
        parts.append(parseAnd());
    }
    return parts.size() == 1 ? parts.first() : combine(parts, QStringLiteral(" OR "));
}

FilterParser::Value FilterParser::parseAnd()
{
    QList<Value> parts { parseNot() };
    while (peek().kind == FilterToken::Kind::And) {
        take();
        parts.append(parseNot());
    }
    return parts.size() == 1 ? parts.first() : combine(parts, QStringLiteral(" AND "));
}

FilterParser::Value FilterParser::parseNot()
{
    if (peek().kind != FilterToken::Kind::Not)
        return parseCompare();
    const FilterToken &notToken = take();
    DepthGuard guard(m_depth);
    enter(notToken.pos);
    const Value inner = asCondition(parseNot());
    Value v;
    v.kind = Value::Kind::Condition;
    v.type = Value::Type::Boolean;
    v.sql = QStringLiteral("(NOT %1)").arg(inner.sql);
    v.params = inner.params;
    v.pos = notToken.pos;
    v.label = QStringLiteral("NOT ") + inner.label;
    return v;
}

FilterParser::Value FilterParser::parseCompare()
{
    const Value left = parseOperand();
    if (peek().kind != FilterToken::Kind::Compare)
        return left;
    const FilterToken &op = take();
    const Value right = parseOperand();
    return compare(left, op.text, right, op.pos);
}

FilterParser::Value FilterParser::parseOperand()
{
    using Kind = FilterToken::Kind;
    const FilterToken &t = take();
    DepthGuard guard(m_depth);
    enter(t.pos);
    switch (t.kind) {
    case Kind::Name:
        if (peek().kind == Kind::LParen)
            return parseFunction(t);
        return parseName(t);
    case Kind::Text: {
        Value v;
        v.kind = Value::Kind::Constant;
        v.type = Value::Type::Text;
        v.text = t.text;
        v.label = u'\'' + t.text + u'\'';
        v.pos = t.pos;
        return v;
    }
    case Kind::Number: {
        const std::optional<Decimal> d = Decimal::parse(t.text);
        if (!d)
            fail(QStringLiteral("number %1 is too large").arg(t.text), t.pos);
        Value v;
        v.kind = Value::Kind::Constant;
        v.type = Value::Type::Number;
        v.number = *d;
        v.label = t.text;
        v.pos = t.pos;
        return v;
    }
    case Kind::LParen: {
        Value v = parseOr();
        if (peek().kind != Kind::RParen) {
            if (peek().kind == Kind::End)
                fail(QStringLiteral("unbalanced parentheses: '(' is never closed"), t.pos);
            fail(QStringLiteral("expected ')' but found %1").arg(FilterLexer::describe(peek())), peek().pos);
        }
        take();
        return v;
    }
    case Kind::Minus:
        return withSign(parseOperand(), true, t.pos);
    case Kind::Plus:
        return withSign(parseOperand(), false, t.pos);
    case Kind::End:
        fail(QStringLiteral("missing operand at the end of the expression"), t.pos);
    default:
        fail(QStringLiteral("missing operand before %1").arg(FilterLexer::describe(t)), t.pos);
    }
}

FilterParser::Value FilterParser::parseName(const FilterToken &name)
{
    const QString key = name.text.toLower();
    const auto bound = m_bindings.constFind(key);
    if (bound != m_bindings.constEnd())
        return constantFromBinding(bound.value(), name.text, name.pos);

    const qsizetype colon = name.text.indexOf(u':');
    const QString prefix = colon < 0 ? QString() : name.text.left(colon);
    const QString field = colon < 0 ? name.text : name.text.mid(colon + 1);
    std::optional<ResolvedField> resolved;
    if (m_resolver && !field.isEmpty())
        resolved = m_resolver(prefix, field);
    if (!resolved)
        fail(QStringLiteral("unknown name '%1' (not a field of this list nor a bound name)").arg(name.text), name.pos);

    Value v;
    v.kind = Value::Kind::Column;
    v.label = name.text;
    v.pos = name.pos;
    if (resolved->field.isText()) {
        v.type = Value::Type::Text;
        v.sql = QStringLiteral("RTRIM(%1)").arg(resolved->sql);
    } else {
        v.type = Value::Type::Number;
        v.sql = resolved->sql;
        v.decimalField = resolved->field.type == FieldType::Decimal;
        v.places = v.decimalField ? resolved->field.places : 0;
    }
    return v;
}

FilterParser::Value FilterParser::parseFunction(const FilterToken &name)
{
    const QString function = name.text.toUpper();
    if (function != u"UPPER" && function != u"LOWER" && function != u"CLIP")
        fail(QStringLiteral("unknown function '%1'").arg(name.text), name.pos);
    const FilterToken &open = take();
    if (peek().kind == FilterToken::Kind::RParen)
        fail(QStringLiteral("missing operand for %1()").arg(function), peek().pos);
    Value v = parseOr();
    if (peek().kind != FilterToken::Kind::RParen) {
        if (peek().kind == FilterToken::Kind::End)
            fail(QStringLiteral("unbalanced parentheses: '(' is never closed"), open.pos);
        fail(QStringLiteral("expected ')' but found %1").arg(FilterLexer::describe(peek())), peek().pos);
    }
    take();
    v.label = QStringLiteral("%1(%2)").arg(function, v.label);
    v.pos = name.pos;

    if (v.kind == Value::Kind::Constant) {
        if (v.type == Value::Type::Number) {
            // Functions of texts turn a number into its text.
            v.type = Value::Type::Text;
            v.text = textOfNumber(v.number);
        }
        if (function == u"UPPER")
            v.text = v.text.toUpper();
        else if (function == u"LOWER")
            v.text = v.text.toLower();
        else
            v.text = clipped(v.text);
    } else if (v.kind == Value::Kind::Column && v.type == Value::Type::Text && function != u"CLIP") {
        // Text columns are already compared clipped; numbers have no case.
        v.sql = QStringLiteral("%1(%2)").arg(function, v.sql);
    }
    return v;
}

FilterParser::Value FilterParser::withSign(Value v, bool negative, int pos)
{
    if (v.kind == Value::Kind::Condition)
        v = asNumberColumn(v);
    if (v.kind == Value::Kind::Constant) {
        if (v.type == Value::Type::Text) {
            v.number = numberOfText(v.text).value_or(Decimal());
            v.type = Value::Type::Number;
        }
        if (negative)
            v.number = -v.number;
    } else {
        if (v.type != Value::Type::Number)
            fail(QStringLiteral("a sign needs a number, not %1").arg(v.label), pos);
        if (negative)
            v.sql = QStringLiteral("(-%1)").arg(v.sql);
    }
    v.label = (negative ? u'-' : u'+') + v.label;
    v.pos = pos;
    return v;
}

// ---- values ----

FilterParser::Value FilterParser::constantFromBinding(const QVariant &value, const QString &name, int pos) const
{
    Value v;
    v.kind = Value::Kind::Constant;
    v.label = name;
    v.pos = pos;
    auto number = [&v](const Decimal &d) {
        v.type = Value::Type::Number;
        v.number = d;
    };
    switch (value.typeId()) {
    case QMetaType::Bool:
        number(Decimal::fromInt(value.toBool() ? 1 : 0));
        return v;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        number(Decimal::fromInt(value.toLongLong()));
        return v;
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            fail(QStringLiteral("the value of %1 is too large").arg(name), pos);
        number(Decimal::fromInt(qint64(u)));
        return v;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        const std::optional<Decimal> parsed
            = std::isfinite(d) ? Decimal::parse(QString::number(d, 'f', 8)) : std::optional<Decimal>();
        if (!parsed)
            fail(QStringLiteral("the value of %1 is not a usable number").arg(name), pos);
        number(*parsed);
        return v;
    }
    case QMetaType::QDate:
        number(Decimal::fromInt(DateTime::fromDate(value.toDate())));
        return v;
    case QMetaType::QTime:
        number(Decimal::fromInt(DateTime::fromTime(value.toTime())));
        return v;
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<Decimal>()) {
        number(value.value<Decimal>());
        return v;
    }
    v.type = Value::Type::Text; // strings, and anything else by its text (a null value is blank)
    v.text = value.toString();
    return v;
}

FilterParser::Value FilterParser::compare(const Value &leftIn, QString op, const Value &rightIn, int pos) const
{
    const Value left = leftIn.kind == Value::Kind::Condition ? asNumberColumn(leftIn) : leftIn;
    const Value right = rightIn.kind == Value::Kind::Condition ? asNumberColumn(rightIn) : rightIn;
    const bool leftConst = left.kind == Value::Kind::Constant;
    const bool rightConst = right.kind == Value::Kind::Constant;

    if (leftConst && rightConst) {
        // Two constants: decided here, passed on as a truth parameter.
        if (left.type == Value::Type::Text && right.type == Value::Type::Text)
            return truthConstant(holds(op, clipped(left.text).compare(clipped(right.text))), pos);
        auto num = [](const Value &v) {
            return v.type == Value::Type::Number ? v.number : numberOfText(v.text).value_or(Decimal());
        };
        return truthConstant(holds(op, num(left) <=> num(right)), pos);
    }
    if (rightConst)
        return compareColumnWithConstant(left, op, right);
    if (leftConst)
        return compareColumnWithConstant(right, mirrored(op), left);
    return compareColumns(left, op, right, pos);
}

FilterParser::Value FilterParser::compareColumnWithConstant(
    const Value &column, const QString &op, const Value &constant) const
{
    Value v;
    v.kind = Value::Kind::Condition;
    v.type = Value::Type::Boolean;
    v.pos = column.pos;
    v.label = column.label + u' ' + op + u' ' + constant.label;
    v.params = column.params;

    if (column.type == Value::Type::Text) {
        const QString text
            = constant.type == Value::Type::Text ? clipped(constant.text) : textOfNumber(constant.number);
        v.sql = QStringLiteral("(%1 %2 ?)").arg(column.sql, op);
        v.params.append(text);
        return v;
    }

    // A number column: the constant is brought to the column's places. When it has more places
    // than the column can hold, the comparison is rewritten exactly (x < 2.5 is x < 3 for whole
    // numbers); a constant beyond the column's range decides the comparison by itself.
    const Decimal c
        = constant.type == Value::Type::Number ? constant.number : numberOfText(constant.text).value_or(Decimal());
    Wide units = 0;
    bool exact = true;
    if (c.scale() <= column.places) {
        units = Wide(c.units()) * pow10(column.places - c.scale());
    } else {
        const Wide p = pow10(c.scale() - column.places);
        const Wide q = Wide(c.units()) / p;
        const Wide r = Wide(c.units()) % p;
        exact = r == 0;
        const bool roundUp = op == u"<" || op == u">=";
        units = roundUp ? q + (r > 0 ? 1 : 0) : q - (r < 0 ? 1 : 0);
    }
    if (!exact && (op == u"=" || op == u"<>"))
        return truthConstant(op == u"<>", column.pos);
    constexpr Wide maxUnits = std::numeric_limits<qint64>::max();
    if (units > maxUnits || units < -maxUnits)
        return truthConstant(holds(op, units > 0 ? -1 : 1), column.pos); // column value vs +/- infinity

    v.sql = QStringLiteral("(%1 %2 ?)").arg(column.sql, op);
    if (column.decimalField)
        v.params.append(m_db.decimalToSql(Decimal(qint64(units), column.places)));
    else
        v.params.append(QVariant::fromValue(qint64(units)));
    return v;
}

FilterParser::Value FilterParser::compareColumns(
    const Value &left, const QString &op, const Value &right, int pos) const
{
    if (left.type != right.type)
        fail(QStringLiteral("cannot compare %1 with %2 (a text with a number)").arg(left.label, right.label), pos);
    // Both engines store numbers as their values (decimals too), so columns compare directly.
    const QString &a = left.sql;
    const QString &b = right.sql;
    Value v;
    v.kind = Value::Kind::Condition;
    v.type = Value::Type::Boolean;
    v.sql = QStringLiteral("(%1 %2 %3)").arg(a, op, b);
    v.params = left.params + right.params;
    v.pos = left.pos;
    v.label = left.label + u' ' + op + u' ' + right.label;
    return v;
}

FilterParser::Value FilterParser::asCondition(const Value &v)
{
    if (v.kind == Value::Kind::Condition)
        return v;
    if (v.kind == Value::Kind::Constant)
        return truthConstant(constantTruth(v), v.pos);
    // A lone column is a truth test: a number is true when non-zero, a text when not blank.
    Value c = v;
    c.kind = Value::Kind::Condition;
    c.type = Value::Type::Boolean;
    c.sql = v.type == Value::Type::Text ? QStringLiteral("(%1 <> '')").arg(v.sql)
                                        : QStringLiteral("(%1 <> 0)").arg(v.sql);
    return c;
}

FilterParser::Value FilterParser::asNumberColumn(const Value &v)
{
    Value n = v;
    n.kind = Value::Kind::Column;
    n.type = Value::Type::Number;
    n.sql = QStringLiteral("(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(v.sql);
    n.places = 0;
    n.decimalField = false;
    return n;
}

FilterParser::Value FilterParser::truthConstant(bool truth, int pos)
{
    Value v;
    v.kind = Value::Kind::Condition;
    v.type = Value::Type::Boolean;
    v.sql = QStringLiteral("(? = 1)");
    v.params.append(QVariant::fromValue(qint64(truth ? 1 : 0)));
    v.pos = pos;
    v.label = truth ? QStringLiteral("true") : QStringLiteral("false");
    return v;
}

FilterParser::Value FilterParser::combine(const QList<Value> &parts, const QString &keyword)
{
    Value v;
    v.kind = Value::Kind::Condition;
    v.type = Value::Type::Boolean;
    QStringList sql;
    QStringList labels;
    for (const Value &part : parts) {
        const Value c = asCondition(part);
        sql << c.sql;
        labels << c.label;
        v.params += c.params;
    }
    v.sql = u'(' + sql.join(keyword) + u')';
    v.label = labels.join(keyword);
    v.pos = parts.first().pos;
    return v;
}

std::optional<Decimal> FilterParser::numberOfText(const QString &text)
{
    // A text read as a number; one that is not a number reads as zero (callers decide).
    return Decimal::parse(text);
}

QString FilterParser::textOfNumber(const Decimal &number)
{
    QString s = number.toString();
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s;
}

bool FilterParser::constantTruth(const Value &v)
{
    return v.type == Value::Type::Text ? !clipped(v.text).isEmpty() : !v.number.isZero();
}

} // namespace bizlib
