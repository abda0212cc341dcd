#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormRequest.h"
#include "bizlib/params/QuoteUpdateParams.h"

#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace bizlib::forms {

class RecordForms;

// UPDATEQUOTE: the quote form. Shows the quote in the buffer with its header fields, its five
// quantities with their texts and selling prices, and its twelve specification sections (the
// quote's `SpecTexts` record), and saves what the user accepts.
//
// - `request` is the library's global request: Insert and Change make the form editable, View
//   (and Select) show it read-only and write nothing. `QUPDP:FileRequest` is not read: the
//   callers leave it 0 and set the global request.
// - `QUPDP:ForceCalc` 1 runs the recalculation hook on the quote before the form opens (not for
//   View). Without a hook, or when the hook fails, the form does not open: Cancelled, with the
//   reason in lastStatus() and told to the user through the prompter (when given).
// - OK runs, in one transaction, the save hook (numbering, totals: whatever the quote library does
//   before a quote is stored) and then writes the quote (inserted for Insert, or updated when
//   its row exists already; updated for Change) and its specification record (inserted with the
//   next SpecTextID when the quote had none). A quote without an identifier is given the next
//   QuoteID first. A failure keeps the form open with the message; nothing is written then.
// - Completed leaves the saved quote in `quote`; Cancelled leaves `quote` as the caller passed it
//   (the caller decides what becomes of a new quote that was not accepted).
class QuoteUpdate
{
public:
    // Works on the quote record in place; an error stops what it was called for.
    using Hook = std::function<Status(Record &quote)>;

    struct Hooks
    {
        Hook recalculate; // CALCQUOTE, for QUPDP:ForceCalc
        Hook beforeSave; // run on OK before the quote is written
    };

    QuoteUpdate(Database &db, RecordForms &forms, Hooks hooks = {}, Prompter *prompter = nullptr);

    Response updateQuote(Request request, const params::QuoteUpdateParams &params, Record &quote);

    // The form's fields: page "Quote" (number and revision read-only, the number blank until the
    // quote has one; status, title, client, contact, address, rep, estimator, product code, tax
    // code; the currency read-only), page "Quantities and prices" (a row per quantity: Quantity_i,
    // QuantityText_i, TargetPrice_i, SellingPrice_i, and read-only the totals TaxAmount_i,
    // CostTotal_i, MarkupTotal_i; zeros blank, so an empty slot is blank), page "Specification"
    // (the sections, three lines each, in two columns).
    static FormLayout quoteLayout();

    const Status &lastStatus() const { return m_lastStatus; }

private:
    Status loadSpec(const Record &quote, Record *spec);
    Status save(Request request, Record &quote, Record &spec);

    Database &m_db;
    RecordForms &m_forms;
    Hooks m_hooks;
    Prompter *m_prompter;
    Status m_lastStatus;
};

} // namespace bizlib::forms
