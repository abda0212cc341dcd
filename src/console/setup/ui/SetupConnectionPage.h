#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Connection page of the Setup tab: the connection to the website.
class SetupConnectionPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupConnectionPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
