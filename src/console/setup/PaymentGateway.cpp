#include "console/setup/PaymentGateway.h"

#include "console/CompanyDefaults.h"

#include <QStringList>

namespace console {

QStringList PaymentGateway::types()
{
    return { QStringLiteral("None"), QStringLiteral("Paypal") };
}

QStringList PaymentGateway::modes()
{
    return { QStringLiteral("Production"), QStringLiteral("Sandbox") };
}

void PaymentGateway::setUp(CompanyDefaults &defaults)
{
    apply(defaults);
}

void PaymentGateway::typeChanged(CompanyDefaults &defaults)
{
    if (defaults.gatewayType.trimmed().toUpper() == QLatin1String("PAYPAL"))
        defaults.gatewayUrl = QString::fromLatin1(PaypalSite);
    apply(defaults);
}

void PaymentGateway::apply(CompanyDefaults &defaults)
{
    const QString type = defaults.gatewayType.trimmed().toUpper();
    if (type == QLatin1String("NONE")) {
        defaults.gatewayUrl.clear();
        defaults.gatewayId.clear();
        m_enabled = m_required = false;
    } else if (type == QLatin1String("PAYPAL")) {
        m_enabled = m_required = true;
    }
}

} // namespace console
