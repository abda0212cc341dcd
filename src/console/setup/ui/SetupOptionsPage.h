#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Options page of the Setup tab: documents, processing, sign-ups, the phrase toolbox and e-mail notifications.
class SetupOptionsPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupOptionsPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
