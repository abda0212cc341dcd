#include "bizlib/ProcedureScope.h"

namespace bizlib {

ProcedureScope::ProcedureScope(ProcedureTrace *trace, const QString &procedure)
    : m_trace(trace)
    , m_activation(trace ? trace->enterProcedure(procedure) : 0)
{ }

ProcedureScope::~ProcedureScope()
{
    if (m_trace)
        m_trace->leaveProcedure(m_activation);
}

} // namespace bizlib
