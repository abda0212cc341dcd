#include "bizlib/ui/CalendarDialog.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace bizlib::ui {

CalendarDialog::CalendarDialog(const QString &caption, const QDate &initial, QWidget *parent, ProcedureTrace *trace)
    : QDialog(parent)
    , m_procedure(trace, QStringLiteral("Calendar"))
    , m_calendar(new QCalendarWidget(this))
{
    setWindowTitle(caption);
    m_calendar->setSelectedDate(initial);
    m_calendar->setGridVisible(true);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("&Select"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addWidget(buttons);
}

QDate CalendarDialog::selectedDate() const
{
    return m_calendar->selectedDate();
}

} // namespace bizlib::ui
