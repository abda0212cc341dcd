#pragma once

#include "bizlib/FieldType.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <optional>

namespace bizlib {

class Database;

// Where a field named in an expression lives in the SQL being built.
struct ResolvedField
{
    QString sql; // column expression, e.g. t0."status"
    FieldDef field; // its description (type, width)
};

// Maps "PREFIX:Field" of an expression to a column of the query; nullopt when the query has
// no such field. Table browses resolve their own prefix (and aliases); joined lists add theirs.
using FieldResolver = std::function<std::optional<ResolvedField>(const QString &prefix, const QString &field)>;

// Names bound for expressions (lower-cased key): "brevixidvalue" -> 0, "loc:signupstatus" -> "Pending".
// A bound name is always passed as a parameter, never spliced into the SQL.
using FilterBindings = QHash<QString, QVariant>;

// A piece of WHERE clause with positional '?' parameters, in order.
struct SqlCondition
{
    QString sql;
    QVariantList params;
    bool isEmpty() const { return sql.isEmpty(); }
};

struct FilterResult
{
    bool ok = false;
    SqlCondition condition;
    QString error; // "Filter expression: ... at position N" when !ok
};

// Translates a list filter expression into a parameterised SQL condition.
// Grammar (case-insensitive keywords; AND binds tighter than OR, NOT tighter than AND):
//   expr     := orExpr ;  orExpr := andExpr { OR andExpr } ;  andExpr := notExpr { AND notExpr }
//   notExpr  := (NOT | '~') notExpr | compare
//   compare  := operand [ ('=' | '<>' | '~=' | '<' | '<=' | '=<' | '>' | '>=' | '=>' | '~<' | '~>') operand ]
//   operand  := field | bound name | 'text' | "text" | number | ('-' | '+') operand | '(' expr ')'
//               | UPPER(expr) | LOWER(expr) | CLIP(expr)
// '~<' means not less (>=), '~>' not greater (<=). A quote inside a text is written twice ('O''Neill').
// '&' and '|' are refused with an error: '&' joins texts in this syntax, so reading it as AND would
// silently change what an expression means.
// A name is looked up lower-cased in `bindings` first, then given to the resolver as PREFIX and
// field ("WQTE:Status" -> "WQTE", "Status"; a name without a colon gets an empty prefix).
// A lone operand is a truth test: a number is true when non-zero, a text when not blank.
// Texts compare with trailing blanks ignored. A constant meets a column in the column's type: a number
// compared with a text column is passed as text, a text compared with a number column is read as a
// number (not a number: 0). Decimal constants take a DECIMAL field's places; one with more places
// than the column holds is compared exactly (a whole-number column < 2.5 is < 3, = 2.5 is false).
// UPPER/LOWER/CLIP leave number columns as they are. A text column compared with a number column is
// an error. Literals and bound values only ever reach the SQL as '?' parameters; comparisons between
// two constants are decided here and passed as a truth parameter.
// An empty or blank expression gives an empty condition (all rows). Errors give ok=false and a message
// with the 1-based character position; this function never throws.
// `db` decides how decimals are passed (exact on both engines).
FilterResult translateFilter(
    const QString &expression, const FieldResolver &resolver, const FilterBindings &bindings, const Database &db);

} // namespace bizlib
