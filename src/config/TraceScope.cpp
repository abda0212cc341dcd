#include "config/TraceScope.h"

namespace config {

TraceScope::TraceScope(TraceLog &log, const QString &procedure, const QString &buildStamp)
    : m_log(log)
    , m_activation(log.enter(buildStamp, QString::fromLatin1(TraceLog::ExecutableName),
          procedure + QStringLiteral("_webconsole"), procedure))
{ }

TraceScope::~TraceScope()
{
    m_log.leave(m_activation);
}

QString TraceScope::defaultBuildStamp()
{
    return QStringLiteral(__DATE__ " " __TIME__);
}

} // namespace config
