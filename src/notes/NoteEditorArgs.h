#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"

#include <QString>

namespace notes {

// What the note editor does (the library's request values; delete is 3).
enum class NoteRequest : quint8 {
    Insert = 1,
    Change = 2,
    Delete = 3,
    View = 6,
};

// What the note editor is asked to do, and on which note.
struct NoteEditorArgs
{
    QString parentId; // the owner's identifier, as text
    QString parentType; // "QTE" (web quote request) or "ORD" (web order)
    bool writeBackOwner = false; // after a delete, write the owner back with its note link cleared
    NoteRequest request = NoteRequest::Change;
    // Insert: the new note as the caller primed it (owner fields, display context); the editor
    // gives it its number. Change, view, delete: the note (read again by `WNTE:NoteID`).
    bizlib::Record note;
};

} // namespace notes
