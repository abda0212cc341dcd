#pragma once

#include <QLoggingCategory>

namespace config {

// The debug output of the procedure trace log: category "webconsole.trace", debug level.
// It is off unless switched on like any Qt category, e.g. QT_LOGGING_RULES="webconsole.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

} // namespace config
