#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Timers page of the Setup tab: the web monitor's timers and the console's refresh.
class SetupTimersPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupTimersPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
