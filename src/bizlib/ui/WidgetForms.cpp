#include "bizlib/ui/WidgetForms.h"

#include "bizlib/forms/SelectionList.h"
#include "bizlib/ui/CalendarDialog.h"
#include "bizlib/ui/RecordFormDialog.h"
#include "bizlib/ui/SelectionListDialog.h"

#include <QTimer>

namespace bizlib::ui {

int WidgetForms::run(QDialog &dialog, const QString &name)
{
    if (m_parent)
        dialog.setWindowModality(Qt::WindowModal);
    const QByteArray saved = m_geometry.load ? m_geometry.load(name) : QByteArray();
    if (!saved.isEmpty())
        dialog.restoreGeometry(saved);
    const int result = dialog.exec();
    if (m_geometry.save)
        m_geometry.save(name, dialog.saveGeometry());
    return result;
}

void WidgetForms::runForm(forms::FormModel &form)
{
    RecordFormDialog dialog(form, m_parent, m_trace);
    if (!m_drop.mimeType.isEmpty())
        dialog.acceptTextDrops(m_drop.mimeType, m_drop.apply);
    if (m_formShown) {
        // Runs once exec() has shown the dialog.
        QTimer::singleShot(0, &dialog, [this, &dialog] { m_formShown(&dialog); });
    }
    run(dialog, RecordFormDialog::procedureName(form));
}

void WidgetForms::runList(forms::SelectionList &list)
{
    SelectionListDialog dialog(list, m_parent, m_trace);
    run(dialog, QStringLiteral("Select") + list.definition().table);
}

std::optional<QDate> WidgetForms::pickDate(const QString &caption, const QDate &initial)
{
    CalendarDialog dialog(caption, initial, m_parent, m_trace);
    if (run(dialog, QStringLiteral("SelectDate")) != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedDate();
}

} // namespace bizlib::ui
