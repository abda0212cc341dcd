#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Defaults page of the Setup tab: the codes, the markup, the web defaults, the synchronisation date and the
// document layouts.
class SetupDefaultsPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupDefaultsPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
