#include "console/setup/ui/SetupOptionsPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace console::ui {

SetupOptionsPage::SetupOptionsPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *docs = group(tr("Documents uploaded to the website"));
    docs->addRow(b.flag(QStringLiteral("INI:UPLOADORDERPDF"), tr("Order confirmation PDF"), this));
    docs->addRow(b.flag(QStringLiteral("INI:UPLOADPROOFPDF"), tr("Proof acceptance PDF"), this));
    docs->addRow(b.flag(QStringLiteral("INI:UPLOADDELIVERYPDF"), tr("Delivery PDF"), this));
    docs->addRow(b.flag(QStringLiteral("INI:UPLOADINVOICEPDF"), tr("Invoice PDF"), this));

    QFormLayout *proc = group(tr("Processing"));
    proc->addRow(b.flag(QStringLiteral("INI:AUTOPROCESSQUOTES"),
        tr("Automatically process template quotes (saved as unchecked)"), this));
    proc->addRow(
        b.flag(QStringLiteral("INI:AUTOPROCESSRFQS"), tr("Automatically transfer RFQs to estimator queue"), this));
    addRow(proc, tr("RFQ estimator:"), QStringLiteral("INI:RFQESTIMATOR"),
        b.code(QStringLiteral("INI:RFQESTIMATOR"), this));
    proc->addRow(b.flag(QStringLiteral("INI:RFQNOTIFY"), tr("Notify estimator by email"), this));
    proc->addRow(b.flag(QStringLiteral("INI:SKIPPRODUCTORDER"),
        tr("Skip the product order when a single basket item needs printing"), this));

    QFormLayout *signups = group(tr("Sign-ups"));
    addRow(signups, tr("B2B signup processing:"), QStringLiteral("INI:SIGNUPPROCESS"),
        b.choice(QStringLiteral("INI:SIGNUPPROCESS"),
            { QStringLiteral("Manual"), QStringLiteral("Existing"), QStringLiteral("Auto") }, this));
    addRow(signups, tr("B2C sign-up common account:"), QStringLiteral("INI:SIGNUPACCOUNT"),
        b.code(QStringLiteral("INI:SIGNUPACCOUNT"), this));

    QFormLayout *phrases = group(tr("Phrase toolbox"));
    phrases->addRow(
        b.flag(QStringLiteral("INI:QUOTEPHRASES"), tr("Show the phrase toolbox while processing quotes"), this));
    phrases->addRow(
        b.flag(QStringLiteral("INI:ORDERPHRASES"), tr("Show the phrase toolbox while processing orders"), this));

    QFormLayout *mail = group(tr("Email notifications of automatically generated quotes"));
    mail->addRow(b.flag(QStringLiteral("INI:AUTOEMAILREP"), tr("Email notifications to sales-rep"), this));
    mail->addRow(b.flag(QStringLiteral("INI:AUTOEMAILMANAGER"), tr("Email notifications to account manager"), this));
    finish();
}

} // namespace console::ui
