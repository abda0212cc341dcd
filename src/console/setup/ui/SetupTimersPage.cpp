#include "console/setup/ui/SetupTimersPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupTimersPage::SetupTimersPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *webmon = group(tr("Web monitor timers"));
    const auto seconds
        = [&b, this](const char *field) { return b.count(QLatin1String(field), this, tr("second"), tr("seconds")); };
    addRow(webmon, tr("Poll the website for activity every:"), QStringLiteral("INI:POLLSITETIMER"),
        seconds("INI:POLLSITETIMER"));
    addRow(webmon, tr("Process new webtasks every:"), QStringLiteral("INI:WEBTASKTIMER"), seconds("INI:WEBTASKTIMER"));
    addRow(webmon, tr("Webtasks processed at once:"), QStringLiteral("INI:MAXWEBTASKS"),
        b.number(QStringLiteral("INI:MAXWEBTASKS"), this));
    addRow(webmon, tr("Retries of a failed webtask:"), QStringLiteral("INI:MAXATTEMPTS"),
        b.number(QStringLiteral("INI:MAXATTEMPTS"), this));
    QSpinBox *users = seconds("INI:USERTIMER");
    users->setSpecialValueText(tr("Never"));
    addRow(webmon, tr("Refresh the active website users every:"), QStringLiteral("INI:USERTIMER"), users);
    addRow(webmon, tr("Clean up inactive web sessions every:"), QStringLiteral("INI:SESSIONCLEANERTIMER"),
        seconds("INI:SESSIONCLEANERTIMER"));

    QFormLayout *console = group(tr("Web console"));
    addRow(
        console, tr("Refresh the lists every:"), QStringLiteral("INI:REFRESHINTERVAL"), seconds("INI:REFRESHINTERVAL"));
    finish();
}

} // namespace console::ui
