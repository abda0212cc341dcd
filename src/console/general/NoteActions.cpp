#include "console/general/NoteActions.h"

#include "bizlib/Dictionary.h"
#include "bizlib/Prompter.h"

namespace console {

using bizlib::forms::Response;

NoteActions::NoteActions(bizlib::Prompter &prompter, Editor editor)
    : m_prompter(prompter)
    , m_editor(std::move(editor))
{ }

QString NoteActions::parentType(RequestRef::Kind kind)
{
    return kind == RequestRef::Kind::Quote ? QStringLiteral("QTE") : QStringLiteral("ORD");
}

bizlib::Record NoteActions::primedNote(const RequestRef &owner)
{
    bizlib::Record note(bizlib::Dictionary::instance().require(QStringLiteral("WebNotes")));
    const bool quote = owner.kind == RequestRef::Kind::Quote;
    note.setLong(quote ? "QuoteID" : "OrderID", owner.id);
    note.setLong("ParentID", owner.id);
    note.setText("ParentType", parentType(owner.kind));
    note.setLong(quote ? "OnQuote" : "OnOrder", 1);
    return note;
}

bool NoteActions::isPaymentNote(const bizlib::Record &note)
{
    return note.text("Class").trimmed().toUpper() == QLatin1String("PAYMENT");
}

notes::NoteEditorArgs NoteActions::argsFor(
    notes::NoteRequest request, const bizlib::Record &note, const RequestRef &owner) const
{
    notes::NoteEditorArgs args;
    args.request = request;
    args.note = note;
    args.writeBackOwner = true;
    if (owner.isSet()) {
        args.parentId = QString::number(owner.id);
        args.parentType = parentType(owner.kind);
    } else {
        args.parentId = QString::number(note.toLong("ParentID"));
        args.parentType = note.text("ParentType").trimmed();
    }
    return args;
}

Response NoteActions::insert(const RequestRef &owner)
{
    if (!owner.isSet() || !m_editor)
        return Response::Cancelled;
    return m_editor(argsFor(notes::NoteRequest::Insert, primedNote(owner), owner));
}

Response NoteActions::change(const bizlib::Record &note, const RequestRef &owner)
{
    if (!note.isValid() || !m_editor)
        return Response::Cancelled;
    return m_editor(argsFor(notes::NoteRequest::Change, note, owner));
}

Response NoteActions::remove(const bizlib::Record &note, const RequestRef &owner)
{
    if (!note.isValid() || !m_editor)
        return Response::Cancelled;
    if (isPaymentNote(note)) {
        m_prompter.alert(QStringLiteral("WARNING: You cannot remove a payment notification as this information is "
                                        "critical to the order."),
            QStringLiteral("Unauthorised"), bizlib::Prompter::Icon::Exclamation);
        return Response::Cancelled;
    }
    return m_editor(argsFor(notes::NoteRequest::Delete, note, owner));
}

} // namespace console
