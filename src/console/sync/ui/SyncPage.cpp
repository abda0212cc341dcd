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
#include <QTimer>
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

    m_elsewhere = new QLabel(this);
    m_elsewhere->setObjectName(QStringLiteral("syncElsewhere"));
    m_elsewhere->setWordWrap(true);
    m_runningTimer = new QTimer(this);
    m_runningTimer->setInterval(1000);
    connect(m_runningTimer, &QTimer::timeout, this, &SyncPage::readRunning);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->addWidget(m_elsewhere);
    layout->addStretch(1);
    layout->addWidget(m_overallText);
    layout->addWidget(m_overall);

    connect(&m_sync, &Synchronisation::changed, this, &SyncPage::showState);
    connect(&m_sync, &Synchronisation::busyChanged, this, &showBusyCursor);
    // While the transaction data is reset the window repaints, but takes no clicks or keys.
    m_sync.setYield([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    showState();
}

void SyncPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    readRunning();
    m_runningTimer->start();
}

void SyncPage::hideEvent(QHideEvent *event)
{
    m_runningTimer->stop();
    QWidget::hideEvent(event);
}

void SyncPage::readRunning()
{
    // While the monitor's reads go unanswered the window would only wait here too: the tasks
    // shown stay as they were, and the status bar says why.
    if (!m_sync.databaseAnswers())
        return;
    const bizlib::Status st = m_sync.readRunning();
    const QString error = st ? QString() : st.message();
    if (error != m_readError) {
        m_readError = error;
        showState();
    }
}

void SyncPage::showState()
{
    QStringList elsewhere;
    const auto runningText = [](const Synchronisation::RunningTask &r) {
        const QString who = r.user.isEmpty() ? tr("another workstation") : r.user;
        return r.active ? tr("%1% complete, queued by %2").arg(r.percent).arg(who)
                        : tr("waiting, queued by %1").arg(who);
    };
    for (int o = 0; o < Synchronisation::OptionCount; ++o) {
        const auto option = static_cast<Synchronisation::Option>(o);
        m_boxes[o]->setChecked(m_sync.isSet(option));
        m_boxes[o]->setEnabled(m_sync.isEnabled(option));
        const Synchronisation::Bar &bar = m_sync.optionBar(option);
        const Synchronisation::RunningTask *other = bar.visible ? nullptr : m_sync.runningFor(option);
        m_bars[o]->setVisible(bar.visible || other);
        m_bars[o]->setRange(0, other ? 100 : bar.maximum);
        m_bars[o]->setValue(other ? other->percent : bar.value);
        // A task this window does not follow says whose it is.
        m_bars[o]->setFormat(other ? (other->active ? tr("%p% (%1)").arg(other->user) : tr("Waiting (%1)").arg(other->user))
                                   : QStringLiteral("%p%"));
        m_bars[o]->setToolTip(other ? runningText(*other) : QString());
        if (other)
            elsewhere << Synchronisation::caption(option).replace(QStringLiteral("&&"), QStringLiteral("&")) + u' '
                    + runningText(*other);
    }
    const bool busy = m_sync.isBusy();
    m_selectAll->setEnabled(!busy);
    m_clearAll->setEnabled(!busy);
    m_run->setEnabled(m_sync.runEnabled());
    m_cancel->setEnabled(m_sync.cancelEnabled());
    const Synchronisation::Bar &overall = m_sync.overallBar();
    const Synchronisation::RunningTask *all = overall.visible ? nullptr : m_sync.runningFor(Synchronisation::OptionCount);
    m_overall->setVisible(overall.visible || all);
    m_overall->setRange(0, all ? 100 : overall.maximum);
    m_overall->setValue(all ? all->percent : overall.value);
    // "Cancelling... please wait" shows also when only the options have bars.
    const QString text = all ? tr("Full synchronisation: %1").arg(runningText(*all)) : m_sync.overallText();
    m_overallText->setVisible(overall.visible || all || !text.isEmpty());
    m_overallText->setText(text);
    if (all)
        elsewhere.prepend(tr("Full synchronisation: %1").arg(runningText(*all)));
    QString note;
    if (!elsewhere.isEmpty())
        note = tr("Already running:") + u' ' + elsewhere.join(QStringLiteral("; ")) + u'.';
    if (!m_readError.isEmpty())
        note += (note.isEmpty() ? QString() : QStringLiteral("\n"))
            + tr("The running synchronisation tasks could not be read: %1").arg(m_readError);
    m_elsewhere->setText(note);
    m_elsewhere->setVisible(!note.isEmpty());
}

} // namespace console::ui
