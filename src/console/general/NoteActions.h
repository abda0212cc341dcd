#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "console/RequestRef.h"
#include "notes/NoteEditorArgs.h"

#include <functional>

namespace bizlib {
class Prompter;
}

namespace console {

// The buttons of the Notes page: Insert, Change and Delete, each through the note editor
// (`UpdateWebNote`), which `editor` runs. A payment notification cannot be deleted.
class NoteActions
{
public:
    using Editor = std::function<bizlib::forms::Response(const notes::NoteEditorArgs &args)>;

    NoteActions(bizlib::Prompter &prompter, Editor editor);

    // "QTE" for a quote request, "ORD" for an order.
    static QString parentType(RequestRef::Kind kind);
    // A new note of `owner`: owner field and parent identifier, parent type, and the owner's
    // display context ("Quote" or "Order").
    static bizlib::Record primedNote(const RequestRef &owner);
    // A payment notification: class "Payment" in any letter case.
    static bool isPaymentNote(const bizlib::Record &note);

    // Cancelled without asking when there is no request.
    bizlib::forms::Response insert(const RequestRef &owner);
    bizlib::forms::Response change(const bizlib::Record &note, const RequestRef &owner);
    // A note of the class "Payment" (any letter case) is refused with its message.
    bizlib::forms::Response remove(const bizlib::Record &note, const RequestRef &owner);

private:
    notes::NoteEditorArgs argsFor(
        notes::NoteRequest request, const bizlib::Record &note, const RequestRef &owner) const;

    bizlib::Prompter &m_prompter;
    Editor m_editor;
};

} // namespace console
