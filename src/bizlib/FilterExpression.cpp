#include "bizlib/FilterExpression.h"

#include "bizlib/FilterParser.h"

#include <exception>

namespace bizlib {

FilterResult translateFilter(
    const QString &expression, const FieldResolver &resolver, const FilterBindings &bindings, const Database &db)
{
    try {
        FilterParser parser(resolver, bindings, db);
        return parser.translate(expression);
    } catch (const std::exception &e) {
        // A resolver that throws, or memory running out: reported, never passed to the caller.
        FilterResult result;
        result.error
            = QStringLiteral("Filter expression: cannot be translated (%1)").arg(QString::fromLocal8Bit(e.what()));
        return result;
    } catch (...) {
        FilterResult result;
        result.error = QStringLiteral("Filter expression: cannot be translated");
        return result;
    }
}

} // namespace bizlib
