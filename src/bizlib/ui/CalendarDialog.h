#pragma once

#include "bizlib/ProcedureScope.h"

#include <QDate>
#include <QDialog>

class QCalendarWidget;

namespace bizlib::ui {

// The calendar of SELECTDATE: a month calendar opened on a date, with Select and Cancel.
// A double click or Enter on a day selects it.
class CalendarDialog : public QDialog
{
    Q_OBJECT

public:
    CalendarDialog(
        const QString &caption, const QDate &initial, QWidget *parent = nullptr, ProcedureTrace *trace = nullptr);

    QDate selectedDate() const;
    QCalendarWidget *calendar() const { return m_calendar; }

private:
    ProcedureScope m_procedure; // first: the entry comes before anything else is made
    QCalendarWidget *m_calendar;
};

} // namespace bizlib::ui
