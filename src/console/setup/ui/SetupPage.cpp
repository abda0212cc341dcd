#include "console/setup/ui/SetupPage.h"

#include "console/setup/ui/SetupBinder.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace console::ui {

SetupPage::SetupPage(SetupBinder &binder, QWidget *parent)
    : QWidget(parent)
    , m_binder(binder)
    , m_layout(new QVBoxLayout(this))
{ }

QFormLayout *SetupPage::group(const QString &title)
{
    auto *box = new QGroupBox(title, this);
    auto *form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout->addWidget(box);
    return form;
}

void SetupPage::addRow(QFormLayout *form, const QString &prompt, const QString &field, QWidget *control)
{
    auto *label = new QLabel(prompt, control->parentWidget());
    label->setBuddy(control);
    form->addRow(label, control);
    m_binder.follow(field, label);
}

void SetupPage::finish()
{
    m_layout->addStretch(1);
}

} // namespace console::ui
