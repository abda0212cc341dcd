#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The General page of the Setup tab: the website login, the hot folders and the start-up options.
class SetupGeneralPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupGeneralPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
