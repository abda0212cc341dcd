#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/security/LogonPrompter.h"

class QWidget;

namespace bizlib::ui {

// Asks for the logon with the modal LogonDialog.
class WidgetLogonPrompter : public security::LogonPrompter
{
public:
    // The dialog reports its entry and exit to `trace`.
    explicit WidgetLogonPrompter(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr)
        : m_parent(parent)
        , m_trace(trace)
    { }

    bool askCredentials(const Attempt &attempt, QString *initials, QString *password) override;

private:
    QWidget *m_parent;
    ProcedureTrace *m_trace;
};

} // namespace bizlib::ui
