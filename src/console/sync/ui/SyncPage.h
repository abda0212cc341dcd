#pragma once

#include "console/sync/Synchronisation.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace console::ui {

// console/sync holds the Sync tab: Synchronisation (the "Syncall" webtasks and their progress)
// and in ui/ this page.
//
// The Sync tab: the twelve options with their progress bars, Select All, Clear All, Run and
// Cancel, and the overall progress at the bottom. What they do is the Synchronisation's.
class SyncPage : public QWidget
{
    Q_OBJECT

public:
    SyncPage(Synchronisation &sync, QWidget *parent = nullptr);

    QCheckBox *optionBox(Synchronisation::Option option) const { return m_boxes[option]; }
    QProgressBar *optionBar(Synchronisation::Option option) const { return m_bars[option]; }
    QPushButton *selectAllButton() const { return m_selectAll; }
    QPushButton *clearAllButton() const { return m_clearAll; }
    QPushButton *runButton() const { return m_run; }
    QPushButton *cancelButton() const { return m_cancel; }
    QProgressBar *overallBar() const { return m_overall; }
    QLabel *overallText() const { return m_overallText; }

    // Shows the synchronisation's state.
    void showState();
    // Reads the synchronisation tasks that run without this window (once a second while the
    // page is shown) and shows them.
    void readRunning();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Synchronisation &m_sync;
    std::array<QCheckBox *, Synchronisation::OptionCount> m_boxes {};
    std::array<QProgressBar *, Synchronisation::OptionCount> m_bars {};
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_clearAll = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_overall = nullptr;
    QLabel *m_overallText = nullptr;
    QLabel *m_elsewhere = nullptr;
    QTimer *m_runningTimer = nullptr;
    QString m_readError;
};

} // namespace console::ui
