#pragma once

#include "config/TraceLog.h"

namespace config {

// Reports a procedure's entry to the trace log when made and its exit when destroyed.
// The module name is the procedure name followed by "_webconsole"; the build stamp defaults
// to the date and time this library was compiled.
class TraceScope
{
public:
    TraceScope(TraceLog &log, const QString &procedure, const QString &buildStamp = defaultBuildStamp());
    ~TraceScope();
    TraceScope(const TraceScope &) = delete;
    TraceScope &operator=(const TraceScope &) = delete;

    int activation() const { return m_activation; }
    static QString defaultBuildStamp();

private:
    TraceLog &m_log;
    int m_activation;
};

} // namespace config
