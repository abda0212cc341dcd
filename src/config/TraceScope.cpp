#include "config/TraceScope.h"

namespace config {

TraceScope::TraceScope(TraceLog &log, const QString &procedure, const QString &buildStamp)
    : m_log(log)
    , m_activation(log.enterProcedure(procedure, buildStamp))
{ }

TraceScope::~TraceScope()
{
    m_log.leave(m_activation);
}

QString TraceScope::defaultBuildStamp()
{
    return TraceLog::defaultBuildStamp();
}

} // namespace config
