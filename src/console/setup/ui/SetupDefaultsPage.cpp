#include "console/setup/ui/SetupDefaultsPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupDefaultsPage::SetupDefaultsPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *codes = group(tr("Codes"));
    addRow(codes, tr("Discount voucher outwork code:"), QStringLiteral("INI:VOUCHERCODE"),
        b.code(QStringLiteral("INI:VOUCHERCODE"), this));
    addRow(codes, tr("Local van delivery labour code:"), QStringLiteral("INI:LOCALDELIVERY"),
        b.code(QStringLiteral("INI:LOCALDELIVERY"), this));
    addRow(codes, tr("Courier delivery outwork code:"), QStringLiteral("INI:COURIERDELIVERY"),
        b.code(QStringLiteral("INI:COURIERDELIVERY"), this));
    codes->addRow(b.flag(QStringLiteral("INI:FREEDELIVERY"), tr("Add a free delivery as an order line item"), this));

    QFormLayout *web = group(tr("Web defaults"));
    addRow(web, tr("Markup profile for web enquiries:"), QStringLiteral("DEF:WEBMARKUP"),
        b.code(QStringLiteral("DEF:WEBMARKUP"), this));
    addRow(web, tr("Web expiry period for new users:"), QStringLiteral("DEF:WEBEXPIRY"),
        b.number(QStringLiteral("DEF:WEBEXPIRY"), this, tr(" days")));
    web->addRow(b.flag(QStringLiteral("DEF:WEBENABLE"), tr("Web-enable new client records"), this));
    web->addRow(b.flag(QStringLiteral("DEF:WEBNOTIFY"), tr("Enable web email notifications for new clients"), this));
    addRow(web, tr("Synchronise web history of new clients from:"), QStringLiteral("DEF:WEBHISTORY"),
        b.date(QStringLiteral("DEF:WEBHISTORY"), this));

    QFormLayout *layouts = group(tr("Document layouts"));
    const std::pair<const char *, const char *> rows[] = { { "INI:QUOTELAYOUT", QT_TR_NOOP("Quote letter:") },
        { "INI:SERVICEORDERLAYOUT", QT_TR_NOOP("Service-order confirmation:") },
        { "INI:PRODUCTORDERLAYOUT", QT_TR_NOOP("Product order:") }, { "INI:PROOFLAYOUT", QT_TR_NOOP("Proof note:") },
        { "INI:DELIVERYLAYOUT", QT_TR_NOOP("Delivery note:") }, { "INI:INVOICELAYOUT", QT_TR_NOOP("Sales invoice:") } };
    for (const auto &[field, prompt] : rows) {
        const QString name = QString::fromLatin1(field);
        addRow(layouts, tr(prompt), name, b.code(name, this));
    }
    finish();
}

} // namespace console::ui
