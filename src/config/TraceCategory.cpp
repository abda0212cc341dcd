#include "config/TraceCategory.h"

namespace config {

Q_LOGGING_CATEGORY(lcTrace, "webconsole.trace", QtInfoMsg)

} // namespace config
