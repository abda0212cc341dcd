#include "console/setup/ui/SetupAlertsPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupAlertsPage::SetupAlertsPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *sounds = group(tr("Sounds"));
    addRow(sounds, tr("New enquiries and orders:"), QStringLiteral("INI:ENQUIRYSOUND"),
        b.sound(QStringLiteral("INI:ENQUIRYSOUND"), this));
    addRow(sounds, tr("New sign-ups:"), QStringLiteral("INI:SIGNUPSOUND"),
        b.sound(QStringLiteral("INI:SIGNUPSOUND"), this));

    QFormLayout *focus = group(tr("Focus"));
    focus->addRow(b.flag(QStringLiteral("INI:ENQUIRYALERT"),
        tr("Bring the window forward when a new enquiry arrives while it is minimised"), this));
    focus->addRow(b.flag(QStringLiteral("INI:SIGNUPALERT"),
        tr("Bring the window forward when a new sign-up arrives while it is minimised"), this));

    QFormLayout *reminders = group(tr("Reminders"));
    reminders->addRow(
        b.flag(QStringLiteral("INI:PENDINGREMINDER"), tr("Send reminder email when pending requests exist"), this));
    addRow(reminders, tr("Remind every:"), QStringLiteral("INI:PENDINGINTERVAL"),
        b.number(QStringLiteral("INI:PENDINGINTERVAL"), this, tr(" minutes")));
    finish();
}

} // namespace console::ui
