#pragma once

#include "bizlib/ProcedureTrace.h"

namespace bizlib {

// One procedure's stay in the trace log: the entry is reported when the scope is made, the exit
// when it ends; without a trace nothing happens. Every window holds one as its first member, so
// that the entry comes before anything its construction does and the exit after its destructor's
// body; a window that is made once and shown on demand opens one around each showing instead.
class ProcedureScope
{
public:
    ProcedureScope(ProcedureTrace *trace, const QString &procedure);
    ~ProcedureScope();
    ProcedureScope(const ProcedureScope &) = delete;
    ProcedureScope &operator=(const ProcedureScope &) = delete;

private:
    ProcedureTrace *m_trace;
    int m_activation = 0;
};

} // namespace bizlib
