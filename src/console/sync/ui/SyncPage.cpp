#include "console/sync/ui/SyncPage.h"

#include "console/ui/BusyCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace console::ui {

SyncPage::SyncPage(Synchronisation &sync, QWidget *parent)
    : QWidget(parent)
    , m_sync(sync)
{
    auto *help = new QLabel(tr("Select which items need to be synchronized. A full synchronization of all items is "
                               "recommended over a partial one. Partial synchronization is only available for "
                               "testing purposes and might leave the database in an inconsistent state."),
        this);
    help->setWordWrap(true);

    auto *box = new QGroupBox(tr("Synchronise"), this);
    auto *grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    for (int o = 0; o < Synchronisation::OptionCount; ++o) {
        const auto option = static_cast<Synchronisation::Option>(o);
        m_boxes[o] = new QCheckBox(Synchronisation::caption(option), box);
        m_boxes[o]->setObjectName(QStringLiteral("sync") + Synchronisation::taskType(option));
        m_bars[o] = new QProgressBar(box);
        m_bars[o]->setRange(0, 100);
        // A hidden bar keeps its place, so the rows do not jump while tasks start.
        QSizePolicy keep = m_bars[o]->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        m_bars[o]->setSizePolicy(keep);
        grid->addWidget(m_boxes[o], o, 0);
        grid->addWidget(m_bars[o], o, 1);
        connect(m_boxes[o], &QCheckBox::clicked, this, [this, option](bool on) { m_sync.setOption(option, on); });
    }

    m_selectAll = new QPushButton(tr("Select All"), this);
    m_clearAll = new QPushButton(tr("Clear All"), this);
    m_run = new QPushButton(tr("Run"), this);
    m_run->setToolTip(tr("Run synchronisation now"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setToolTip(tr("Cancel the synchronisation"));
    connect(m_selectAll, &QPushButton::clicked, &m_sync, &Synchronisation::selectAll);
    connect(m_clearAll, &QPushButton::clicked, &m_sync, &Synchronisation::clearAll);
    connect(m_run, &QPushButton::clicked, &m_sync, &Synchronisation::run);
    connect(m_cancel, &QPushButton::clicked, &m_sync, &Synchronisation::cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAll);
    buttons->addWidget(m_clearAll);
    buttons->addStretch(1);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);

    m_overall = new QProgressBar(this);
    m_overall->setObjectName(QStringLiteral("syncOverall"));
    m_overallText = new QLabel(this);
    m_overallText->setObjectName(QStringLiteral("syncOverallText"));
    for (QWidget *w : { static_cast<QWidget *>(m_overall), static_cast<QWidget *>(m_overallText) }) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->addStretch(1);
    layout->addWidget(m_overallText);
    layout->addWidget(m_overall);

    connect(&m_sync, &Synchronisation::changed, this, &SyncPage::showState);
    connect(&m_sync, &Synchronisation::busyChanged, this, &showBusyCursor);
    // While the transaction data is reset the window repaints, but takes no clicks or keys.
    m_sync.setYield([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    showState();
}

void SyncPage::showState()
{
    for (int o = 0; o < Synchronisation::OptionCount; ++o) {
        const auto option = static_cast<Synchronisation::Option>(o);
        m_boxes[o]->setChecked(m_sync.isSet(option));
        m_boxes[o]->setEnabled(m_sync.isEnabled(option));
        const Synchronisation::Bar &bar = m_sync.optionBar(option);
        m_bars[o]->setVisible(bar.visible);
        m_bars[o]->setRange(0, bar.maximum);
        m_bars[o]->setValue(bar.value);
    }
    const bool busy = m_sync.isBusy();
    m_selectAll->setEnabled(!busy);
    m_clearAll->setEnabled(!busy);
    m_run->setEnabled(m_sync.runEnabled());
    m_cancel->setEnabled(m_sync.cancelEnabled());
    const Synchronisation::Bar &overall = m_sync.overallBar();
    m_overall->setVisible(overall.visible);
    m_overall->setRange(0, overall.maximum);
    m_overall->setValue(overall.value);
    // "Cancelling... please wait" shows also when only the options have bars.
    m_overallText->setVisible(overall.visible || !m_sync.overallText().isEmpty());
    m_overallText->setText(m_sync.overallText());
}

} // namespace console::ui
