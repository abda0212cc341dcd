#pragma once

#include <QString>

namespace console {

struct CompanyDefaults;

// The Payment page's rule for the gateway fields (DEF:GatewayType, GatewayURL, GatewayID):
// with the type "None" the address and account ID are cleared, not required and disabled; with
// "Paypal" both are required and enabled; any other type leaves them as they are. Letter case of
// the type is ignored.
class PaymentGateway
{
public:
    // The address filled in when the user chooses "Paypal".
    static constexpr const char *PaypalSite = "https://www.paypal.com/cgi-bin/webscr";
    static QStringList types(); // "None", "Paypal"
    static QStringList modes(); // "Production", "Sandbox"

    // The page is set up with the values as read.
    void setUp(CompanyDefaults &defaults);
    // The user chose another type (already stored in `defaults`).
    void typeChanged(CompanyDefaults &defaults);

    bool fieldsEnabled() const { return m_enabled; }
    bool fieldsRequired() const { return m_required; }

private:
    void apply(CompanyDefaults &defaults);

    bool m_enabled = true;
    bool m_required = false;
};

} // namespace console
