#include "console/setup/ui/SetupPaymentPage.h"

#include "console/setup/PaymentGateway.h"
#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupPaymentPage::SetupPaymentPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *gateway = group(tr("Payment gateway"));
    addRow(gateway, tr("Gateway:"), QStringLiteral("DEF:GATEWAYTYPE"),
        b.choice(QStringLiteral("DEF:GATEWAYTYPE"), PaymentGateway::types(), this));
    addRow(gateway, tr("Gateway address:"), QStringLiteral("DEF:GATEWAYURL"),
        b.text(QStringLiteral("DEF:GATEWAYURL"), this));
    addRow(gateway, tr("Account ID:"), QStringLiteral("DEF:GATEWAYID"), b.text(QStringLiteral("DEF:GATEWAYID"), this));
    addRow(gateway, tr("Mode:"), QStringLiteral("DEF:GATEWAYMODE"),
        b.choice(QStringLiteral("DEF:GATEWAYMODE"), PaymentGateway::modes(), this));
    finish();
}

} // namespace console::ui
