#include "bizlib/ui/WidgetLogonPrompter.h"

#include "bizlib/ui/LogonDialog.h"

namespace bizlib::ui {

bool WidgetLogonPrompter::askCredentials(const Attempt &attempt, QString *initials, QString *password)
{
    LogonDialog dialog(m_parent, m_trace);
    dialog.setAttempt(attempt);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *initials = dialog.initials();
    *password = dialog.password();
    return true;
}

} // namespace bizlib::ui
