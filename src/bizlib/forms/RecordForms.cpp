#include "bizlib/forms/RecordForms.h"

#include "bizlib/Table.h"
#include "bizlib/forms/SelectionList.h"

namespace bizlib::forms {

Response RecordForms::editRecord(
    Request request, Record &record, const FormLayout &layout, const FormModel::AcceptHandler &onAccept)
{
    FormModel form(request, { record }, layout);
    form.setAcceptHandler(onAccept);
    runForm(form);
    if (!form.isAccepted())
        return Response::Cancelled;
    if (!form.isReadOnly())
        record = form.record();
    return Response::Completed;
}

Response RecordForms::updateRecord(
    Table &table, Request request, Record &record, const FormLayout &layout, Status *error)
{
    const TableDef &def = table.def();
    if (!record.isValid())
        record = table.newRecord();
    bool primedHere = false;
    if (request == Request::Insert && def.autoNumberField >= 0 && record.toLong(def.autoNumberField) == 0) {
        Record numbered;
        if (const Status st = table.prime(numbered); !st) {
            if (error)
                *error = st;
            return Response::Cancelled;
        }
        record.setValue(def.autoNumberField, numbered.valueAt(def.autoNumberField));
        primedHere = true;
    }
    const auto save = [&table, request](FormModel &form) -> Status {
        switch (request) {
        case Request::Insert:
            return table.insert(form.record());
        case Request::Change:
            return table.update(form.record());
        default:
            return Status::ok();
        }
    };
    const Record before = record;
    const Response response = editRecord(request, record, layout, save);
    if (response == Response::Cancelled && primedHere) {
        table.release(before);
        record.setLong(def.autoNumberField, 0);
    }
    if (error)
        *error = Status::ok();
    return response;
}

Response RecordForms::selectRecord(SelectionList &list, Record *chosen)
{
    runList(list);
    if (!list.hasChoice())
        return Response::Cancelled;
    if (chosen)
        *chosen = list.chosen();
    return Response::Completed;
}

Response RecordForms::selectDate(const QString &caption, QDate *date, const QDate &today)
{
    const std::optional<QDate> picked = pickDate(caption, date->isValid() ? *date : today);
    if (!picked || !picked->isValid())
        return Response::Cancelled;
    *date = *picked;
    return Response::Completed;
}

} // namespace bizlib::forms
