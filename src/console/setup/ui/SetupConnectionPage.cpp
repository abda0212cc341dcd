#include "console/setup/ui/SetupConnectionPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupConnectionPage::SetupConnectionPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *site = group(tr("Website"));
    site->addRow(b.flag(QStringLiteral("INI:USESSL"), tr("Use SSL encryption when talking to the website"), this));

    QFormLayout *proxy = group(tr("Proxy"));
    proxy->addRow(b.flag(QStringLiteral("INI:USEPROXY"), tr("Connect through a proxy"), this));
    addRow(
        proxy, tr("Proxy server:"), QStringLiteral("INI:PROXYSERVER"), b.text(QStringLiteral("INI:PROXYSERVER"), this));
    addRow(proxy, tr("Port:"), QStringLiteral("INI:PROXYPORT"), b.number(QStringLiteral("INI:PROXYPORT"), this));
    addRow(proxy, tr("User name:"), QStringLiteral("INI:PROXYUSER"), b.text(QStringLiteral("INI:PROXYUSER"), this));
    addRow(proxy, tr("Password:"), QStringLiteral("INI:PROXYPASSWORD"),
        b.text(QStringLiteral("INI:PROXYPASSWORD"), this, true));
    finish();
}

} // namespace console::ui
