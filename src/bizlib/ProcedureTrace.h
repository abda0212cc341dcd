#pragma once

#include <QString>

namespace bizlib {

// Where procedures report their entry and exit, and what went wrong on the way: the program's
// procedure trace log implements it, so that the library's own windows report like the program's
// without knowing the log.
class ProcedureTrace
{
public:
    virtual ~ProcedureTrace() = default;
    // Reports the entry of `procedure`; returns its activation number (0 when the entry is not kept).
    virtual int enterProcedure(const QString &procedure) = 0;
    // Reports the exit of an activation; 0 is ignored.
    virtual void leaveProcedure(int activation) = 0;
    // Free text, reported under the current procedure.
    virtual void message(const QString &text) = 0;
};

} // namespace bizlib
