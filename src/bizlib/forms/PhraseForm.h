#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormLayout.h"
#include "bizlib/forms/FormRequest.h"

namespace bizlib {
class Database;
}

namespace bizlib::forms {

class RecordForms;

// UPDATEPHRASE: the library's form of one stored phrase (`PHRASE`), on the generic record form.
class PhraseForm
{
public:
    // The change-notice channel of the phrase table: every stored phrase notifies it, so that
    // phrase lists on every workstation read the phrases again.
    static QString changeChannel() { return QStringLiteral("PHRASE"); }
    // Title, text, field, category and subcategory, then the group flags.
    static FormLayout layout(Request request);

    // Runs the form with `request` on `phrase` and stores it: Insert takes a phrase the caller
    // primed (flags, category; an empty record starts cleared) and gives it its number; Change
    // writes the edits; View writes nothing. On Completed `phrase` holds the row as stored and the
    // change notice has gone out. Errors that keep the form from opening are in *error.
    static Response update(Database &db, RecordForms &forms, Request request, Record &phrase, Status *error = nullptr);
};

} // namespace bizlib::forms
