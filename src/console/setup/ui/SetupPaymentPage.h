#pragma once

#include "console/setup/ui/SetupPage.h"

namespace console::ui {

// The Payment page of the Setup tab: the payment gateway of the website.
class SetupPaymentPage : public SetupPage
{
    Q_OBJECT

public:
    explicit SetupPaymentPage(SetupBinder &binder, QWidget *parent = nullptr);
};

} // namespace console::ui
