#include "console/setup/ui/SetupGeneralPage.h"

#include "console/setup/SetupEditor.h"
#include "console/setup/ui/SetupBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace console::ui {

SetupGeneralPage::SetupGeneralPage(SetupBinder &binder, QWidget *parent)
    : SetupPage(binder, parent)
{
    SetupBinder &b = m_binder;
    QFormLayout *site = group(tr("Website login"));
    auto *open = new QPushButton(tr("Open website url"), this);
    open->setObjectName(QStringLiteral("openWebsite"));
    open->setToolTip(tr("Open website url"));
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, [this] { m_binder.editor().openWebsite(); });
    auto *url = new QWidget(this);
    auto *urlRow = new QHBoxLayout(url);
    urlRow->setContentsMargins(0, 0, 0, 0);
    urlRow->addWidget(b.text(QStringLiteral("INI:WEBURL"), url), 1);
    urlRow->addWidget(open);
    addRow(site, tr("Website address:"), QStringLiteral("INI:WEBURL"), url);
    addRow(site, tr("Website version:"), QStringLiteral("INI:WEBVERSION"),
        b.decimal(QStringLiteral("INI:WEBVERSION"), this));
    addRow(site, tr("Administrator email:"), QStringLiteral("INI:ADMINEMAIL"),
        b.text(QStringLiteral("INI:ADMINEMAIL"), this));
    addRow(site, tr("API token:"), QStringLiteral("INI:APITOKEN"), b.text(QStringLiteral("INI:APITOKEN"), this));

    QFormLayout *hot = group(tr("Hot folders"));
    addRow(hot, tr("Print-ready PDF artwork:"), QStringLiteral("INI:EDOCHOTFOLDER"),
        b.folder(QStringLiteral("INI:EDOCHOTFOLDER"), this));
    addRow(hot, tr("Pre-flight/workflow attachments:"), QStringLiteral("INI:HOTFOLDER"),
        b.folder(QStringLiteral("INI:HOTFOLDER"), this));
    hot->addRow(b.flag(QStringLiteral("INI:AUTOSAVEATTACHMENTS"), tr("Download attachments automatically"), this));
    addRow(hot, tr("Downloader:"), QStringLiteral("INI:DOWNLOADER"),
        b.choice(QStringLiteral("INI:DOWNLOADER"), { QStringLiteral("Standard"), QStringLiteral(".NET") }, this));

    QFormLayout *start = group(tr("Start-up options"));
    start->addRow(b.flag(
        QStringLiteral("INI:STARTUPWEBCONSOLE"), tr("Load the web console when the business system starts"), this));
    start->addRow(b.flag(QStringLiteral("INI:SYNCDATETIME"),
        tr("Set this workstation's date and time from the web monitor server"), this));
    start->addRow(
        b.flag(QStringLiteral("INI:MINIMIZETOTRAY"), tr("Minimise to the tray instead of the taskbar"), this));
    start->addRow(b.flag(QStringLiteral("INI:DISABLELOG"), tr("The web monitor service writes no log file"), this));
    finish();
}

} // namespace console::ui
