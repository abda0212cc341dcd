#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormRequest.h"
#include "bizlib/params/OrderUpdateParams.h"

#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace bizlib::forms {

class RecordForms;

// UPDATEORDER: the order form. Shows the order in the buffer with its header fields, its
// quantity and units, its delivery and its twelve specification sections (the order's
// `SpecTexts` record), and saves what the user accepts.
//
// - `request` is the library's global request: Insert and Change make the form editable, View
//   (and Select) show it read-only and write nothing. `UPDP:FileRequest` is not read.
// - Before the form opens the order takes `UPDP:OrderType`, `UPDP:Quantity` (its numeric quantity),
//   `UPDP:QuantityIndex` (each when given: a text when not empty, a number when not 0) and, with
//   `UPDP:OrderFromWeb`, the website flag.
// - `UPDP:BatchProcess` 1 saves without showing the form (a batch has nobody to ask).
// - OK runs, in one transaction: the save hook (whatever the caller stores with the order: the
//   web order's removal, for instance), the job number for an order without one (SYCONF:LastJobNo,
//   as quote numbers), the order (inserted for Insert, or updated when its row exists already;
//   updated for Change), its specification record (inserted when it had none), and with
//   `UPDP:SyncQuote` the order's quote linked back to it (QTE:OrderID, status "Won"; only that).
//   A failure keeps the form open with the message; nothing is written then.
// - Completed leaves the saved order in `order`; Cancelled leaves `order` as the caller passed it.
class OrderUpdate
{
public:
    using Hook = std::function<Status(Record &order)>;

    OrderUpdate(Database &db, RecordForms &forms, Hook beforeSave = {}, Prompter *prompter = nullptr);

    Response updateOrder(Request request, const params::OrderUpdateParams &params, Record &order);

    // Page "Order" (job number read-only, blank until the order has one; status, type, title,
    // client, contact, address, client's order number, due date and time, tax code, price),
    // page "Quantity and delivery" (quantity text and value, unit, delivery name, address and
    // method), page "Specification" (the sections, three lines each, in two columns).
    static FormLayout orderLayout();

    const Status &lastStatus() const { return m_lastStatus; }

private:
    Status save(Request request, const params::OrderUpdateParams &params, Record &order, Record &spec);

    Database &m_db;
    RecordForms &m_forms;
    Hook m_beforeSave;
    Prompter *m_prompter;
    Status m_lastStatus;
};

} // namespace bizlib::forms
