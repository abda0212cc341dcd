#include "console/ui/ProcessingProblemsView.h"

#include "bizlib/DateText.h"
#include "console/ProcessingProblems.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace console::ui {

ProcessingProblemsDialog::ProcessingProblemsDialog(ProcessingProblems &problems, QWidget *parent)
    : QDialog(parent)
    , m_problems(problems)
{
    setObjectName(QStringLiteral("ProcessingProblems"));
    setWindowTitle(tr("Processing"));
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setWordWrap(true);
    m_list->setHeaderLabels({ tr("Request"), tr("Time"), tr("What happened") });
    m_list->header()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *clear = buttons->addButton(tr("C&lear"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("clear"));
    connect(clear, &QPushButton::clicked, this, [this] {
        m_problems.clear();
        fill();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    fill();
    resize(760, 320);
}

void ProcessingProblemsDialog::fill()
{
    m_list->clear();
    for (const ProcessingProblems::Entry &e : m_problems.entries()) {
        auto *item = new QTreeWidgetItem(m_list,
            { e.request, bizlib::DateText().dateTime(e.at), QString(e.reason).replace(u'\n', u' ') });
        item->setToolTip(2, e.reason);
        item->setIcon(0, style()->standardIcon(e.problem ? QStyle::SP_MessageBoxWarning : QStyle::SP_DialogApplyButton));
    }
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
}

ProcessingProblemsButton::ProcessingProblemsButton(ProcessingProblems &problems, QWidget *parent)
    : QToolButton(parent)
    , m_problems(problems)
{
    setObjectName(QStringLiteral("processingProblems"));
    setAutoRaise(true);
    setToolTip(tr("What automatic processing made and what failed in it, what was cleaned up after interrupted "
                  "runs, and attachment downloads that failed"));
    connect(this, &QToolButton::clicked, this, &ProcessingProblemsButton::openList);
    refresh();
}

void ProcessingProblemsButton::refresh()
{
    const int problems = m_problems.problemCount();
    setText(problems > 0 ? tr("Processing problems: %1").arg(problems)
                         : tr("Processed automatically: %1").arg(m_problems.count()));
    setIcon(problems > 0 ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setVisible(m_problems.count() > 0);
}

void ProcessingProblemsButton::openList()
{
    ProcessingProblemsDialog dialog(m_problems, window());
    dialog.exec();
    refresh();
}

} // namespace console::ui
