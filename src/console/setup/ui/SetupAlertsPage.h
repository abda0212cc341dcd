#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Alerts page of the Setup tab: the sounds, the focus and the reminders.
class SetupAlertsPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupAlertsPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
