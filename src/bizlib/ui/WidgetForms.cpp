#include "bizlib/ui/WidgetForms.h"

#include "bizlib/ui/CalendarDialog.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "bizlib/ui/SelectionListDialog.h"

namespace bizlib::ui {

void WidgetForms::runForm(forms::FormModel &form)
{
    RecordFormDialog dialog(form, m_parent, m_trace);
    dialog.exec();
}

void WidgetForms::runList(forms::SelectionList &list)
{
    SelectionListDialog dialog(list, m_parent, m_trace);
    dialog.exec();
}

std::optional<QDate> WidgetForms::pickDate(const QString &caption, const QDate &initial)
{
    CalendarDialog dialog(caption, initial, m_parent, m_trace);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedDate();
}

} // namespace bizlib::ui
