#pragma once

#include "bizlib/forms/RecordForms.h"

class QWidget;

namespace bizlib::ui {

// Record forms, selection lists and the calendar as modal dialogs (RecordFormDialog,
// SelectionListDialog, CalendarDialog).
class WidgetForms : public forms::RecordForms
{
public:
    explicit WidgetForms(QWidget *parent = nullptr)
        : m_parent(parent)
    { }
    void setParent(QWidget *parent) { m_parent = parent; }

    void runForm(forms::FormModel &form) override;
    void runList(forms::SelectionList &list) override;
    std::optional<QDate> pickDate(const QString &caption, const QDate &initial) override;

private:
    QWidget *m_parent;
};

} // namespace bizlib::ui
