#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormModel.h"
#include "bizlib/forms/FormRequest.h"

#include <QDate>
#include <optional>

namespace bizlib {
class Table;
}

namespace bizlib::forms {

class SelectionList;

// Record forms, selection lists and the calendar: how the library asks the user for a record or a
// date. The program implements the three run functions with dialogs (bizlib/ui/WidgetForms), the
// tests with scripted answers. Callers use the non-virtual functions below, which hold the rules
// that do not depend on how the form is shown.
class RecordForms
{
public:
    virtual ~RecordForms() = default;

    // Shows the form until the user leaves it. OK must call form.accept() and leave only when that
    // returns true (the form stays open with form.lastError() shown otherwise); Cancel or closing
    // leaves without accepting.
    virtual void runForm(FormModel &form) = 0;
    // Shows an opened list (current row, locator) until the user leaves it. Select calls
    // list.choose() with the row; Cancel or closing leaves without a choice.
    virtual void runList(SelectionList &list) = 0;
    // A calendar opened on `initial`; the date chosen, or nullopt when cancelled.
    virtual std::optional<QDate> pickDate(const QString &caption, const QDate &initial) = 0;

    // The form on one record. Completed when accepted: `record` then holds the edited values.
    // Cancelled leaves `record` as it was. View never changes `record`. `onAccept` (the caller's
    // save) runs when the user presses OK and may refuse with a message.
    Response editRecord(
        Request request, Record &record, const FormLayout &layout, const FormModel::AcceptHandler &onAccept = {});

    // The form with its save: Insert gives the record the table's next number when its
    // auto-number field is 0 (a number the caller primed is kept), and inserts it on OK; Change
    // updates the row on OK; View writes nothing. A failed write keeps the form open with the
    // database's message. A number primed here is given back when the form is cancelled.
    // On Completed `record` holds the row as written. An empty (invalid) `record` starts as a
    // cleared record of `table`. Errors that stop the form from opening
    // (the counter cannot be read) are in *error, with Cancelled.
    Response updateRecord(
        Table &table, Request request, Record &record, const FormLayout &layout, Status *error = nullptr);

    // The list: Completed with the chosen row's record in *chosen, or Cancelled (*chosen unchanged).
    // The list must have been opened (SelectionList::open()).
    Response selectRecord(SelectionList &list, Record *chosen);

    // The calendar; Completed with the date in *date. An invalid *date opens on `today`.
    Response selectDate(const QString &caption, QDate *date, const QDate &today = QDate::currentDate());
};

} // namespace bizlib::forms
