#include "console/setup/ui/SetupSheet.h"

#include "bizlib/ui/WidgetForms.h"
#include "config/AppContext.h"
#include "config/TraceLog.h"
#include "console/setup/SetupEditor.h"
#include "console/ui/BusyCursor.h"
#include "console/setup/ui/SetupAlertsPage.h"
#include "console/setup/ui/SetupBinder.h"
#include "console/setup/ui/SetupConnectionPage.h"
#include "console/setup/ui/SetupDefaultsPage.h"
#include "console/setup/ui/SetupGeneralPage.h"
#include "console/setup/ui/SetupOptionsPage.h"
#include "console/setup/ui/SetupPaymentPage.h"
#include "console/setup/ui/SetupTimersPage.h"
#include "notes/ui/WidgetDesktop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace console::ui {

SetupSheet::SetupSheet(config::AppContext &context, SoundPlayer &sounds, QWidget *parent,
    bizlib::forms::RecordForms *forms, notes::Desktop *desktop)
    : QWidget(parent)
{
    if (!forms) {
        m_ownForms = std::make_unique<bizlib::ui::WidgetForms>(this, context.trace);
        forms = m_ownForms.get();
    }
    if (!desktop) {
        m_ownDesktop = std::make_unique<notes::ui::WidgetDesktop>(this);
        desktop = m_ownDesktop.get();
    }
    m_editor = std::make_unique<SetupEditor>(context, *forms, *desktop, sounds);
    m_binder = new SetupBinder(*m_editor, this);

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto *heading = new QLabel(tr("Default settings"), left);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_list = new QListWidget(left);
    m_list->setObjectName(QStringLiteral("setupPageList"));
    leftLayout->addWidget(heading);
    leftLayout->addWidget(m_list, 1);

    m_pages = new QStackedWidget(this);
    const QList<QWidget *> pages { new SetupGeneralPage(*m_binder), new SetupOptionsPage(*m_binder),
        new SetupDefaultsPage(*m_binder), new SetupAlertsPage(*m_binder), new SetupTimersPage(*m_binder),
        new SetupConnectionPage(*m_binder), new SetupPaymentPage(*m_binder) };
    const QStringList names = SetupEditor::pageNames();
    int widest = 0;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        // A page taller than the window scrolls rather than being squeezed.
        auto *scroll = new QScrollArea(m_pages);
        scroll->setWidget(pages.at(i));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        m_pages->addWidget(scroll);
        m_list->addItem(names.at(i));
        widest = std::max(widest, m_list->fontMetrics().horizontalAdvance(names.at(i)));
    }
    m_list->setMaximumWidth(std::max(widest, heading->sizeHint().width()) + 40);
    connect(m_list, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
    m_list->setCurrentRow(0);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("setupCancel"));
    m_cancel->setToolTip(tr("Abandon changes to settings"));
    m_save = new QPushButton(tr("Save"), this);
    m_save->setObjectName(QStringLiteral("setupSave"));
    m_save->setToolTip(tr("Save changes to settings"));
    connect(m_cancel, &QPushButton::clicked, this, &SetupSheet::cancel);
    connect(m_save, &QPushButton::clicked, this, &SetupSheet::save);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);
    auto *right = new QVBoxLayout;
    right->addWidget(m_pages, 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(left);
    layout->addLayout(right, 1);

    connect(m_binder, &SetupBinder::focusWanted, this, &SetupSheet::showPageOf);
    connect(m_editor.get(), &SetupEditor::titleChanged, this, &SetupSheet::titleChanged);
    connect(m_editor.get(), &SetupEditor::busyChanged, this, &showBusyCursor);
    m_editor->load();
}

SetupSheet::~SetupSheet() = default;

void SetupSheet::entered()
{
    m_binder->show();
}

bool SetupSheet::leave()
{
    m_binder->commit();
    return m_editor->leave();
}

void SetupSheet::save()
{
    m_binder->commit();
    m_editor->save();
}

void SetupSheet::cancel()
{
    m_binder->commit();
    m_editor->cancel();
}

void SetupSheet::showPageOf(QWidget *control)
{
    for (int i = 0; i < m_pages->count(); ++i) {
        if (m_pages->widget(i)->isAncestorOf(control)) {
            m_list->setCurrentRow(i);
            return;
        }
    }
}

} // namespace console::ui
