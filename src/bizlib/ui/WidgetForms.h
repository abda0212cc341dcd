#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/forms/RecordForms.h"

class QWidget;

namespace bizlib::ui {

// Record forms, selection lists and the calendar as modal dialogs (RecordFormDialog,
// SelectionListDialog, CalendarDialog).
class WidgetForms : public forms::RecordForms
{
public:
    // The dialogs report their entry and exit to `trace`.
    explicit WidgetForms(QWidget *parent = nullptr, ProcedureTrace *trace = nullptr)
        : m_parent(parent)
        , m_trace(trace)
    { }
    void setParent(QWidget *parent) { m_parent = parent; }

    void runForm(forms::FormModel &form) override;
    void runList(forms::SelectionList &list) override;
    std::optional<QDate> pickDate(const QString &caption, const QDate &initial) override;

private:
    QWidget *m_parent;
    ProcedureTrace *m_trace;
};

} // namespace bizlib::ui
