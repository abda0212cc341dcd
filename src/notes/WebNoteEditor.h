#pragma once

#include "bizlib/ProcedureTrace.h"
#include "bizlib/Status.h"
#include "notes/Desktop.h"
#include "notes/NoteEditorArgs.h"

#include <QDateTime>
#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib
namespace bizlib::forms {
class SelectLibrary;
}
namespace bizlib::spell {
class SpellPrompter;
}
namespace config {
class ModalWindows;
}

namespace notes {

// The logic of `UpdateWebNote`, the form that inserts, changes, views or deletes one note of a
// web quote request ("QTE") or web order ("ORD"). The dialog shows note() and writes the user's
// edits into it; the buttons and OK/Cancel call the functions below.
//
// A note inserted for a request whose note link (`NoteID`) is 0 becomes that link.
//
// Stamps written: on insert the author (`WNTE:CreatedBy`, on, at); on every save the last change
// (`WNTE:UpdatedOn`, at, by); the first save with `WNTE:Actioned` 1 the actioned stamp; the first
// time a user other than the author saves or cancels a change, the read stamp (a cancel then
// writes the note as it was when the form opened, with only the read stamp added).
class WebNoteEditor
{
public:
    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr;
        QString userCode; // the logged-on user
        std::function<QDateTime()> now; // default: the current date and time
        bizlib::forms::SelectLibrary *select = nullptr; // the subject lookup (SELECTPHRASE)
        Desktop *desktop = nullptr; // document lookup and Open
        bizlib::spell::SpellPrompter *speller = nullptr; // the spelling check
        QString dictionary; // empty: the installed default
        bizlib::ProcedureTrace *trace = nullptr; // where the form reports its entry and exit
        config::ModalWindows *modalWindows = nullptr; // the form marks itself open here while it runs
    };

    // The seven display contexts on the form, with their check box texts, then the five others.
    struct Flag
    {
        QString field;
        QString label; // empty for the contexts the form does not show
    };
    static const QList<Flag> &displayFlags();
    static const QStringList &priorities();
    static QList<Desktop::Filter> documentFilters();

    static QString title() { return QStringLiteral("Update web note"); }
    static QString noContextText()
    {
        return QStringLiteral("WARNING: You have not tagged any display context choices... at least one display "
                              "context must be checked.");
    }

    WebNoteEditor(Services services, NoteEditorArgs args);

    // Reads the note (change, view, delete) or numbers the new one (insert) and sets the owner's
    // display context. NotFound when the note is gone; Error when the table cannot be read.
    bizlib::Status open();

    bizlib::Record &note() { return m_note; }
    const bizlib::Record &note() const { return m_note; }
    NoteRequest request() const { return m_args.request; }
    bool isReadOnly() const;
    // "Changing a Notes Record", "View Record" ...
    QString captionLine() const;
    // "(" date " @ " time " by: " user ")" of an actioned note being changed or viewed; else empty.
    const QString &actionedDate() const { return m_actionedDate; }
    // The owner's own display context is always set and cannot be cleared on the form.
    bool isFlagLocked(const QString &field) const;

    // Subject lookup: a phrase of the "Other" group for the field "Subject"; its title becomes the
    // subject and its text the notes. False when none was chosen.
    bool lookupSubject();
    // Document lookup ("Select linked document"); false when cancelled.
    bool lookupDocument();
    // Opens the linked document with the desktop; false when there is none or it cannot be opened.
    bool openDocument();
    // None: every display context off. All: for a note of a quote request or an order, "Quote"
    // and "Order" on and every other context off.
    void clearFlags();
    void setAllFlags();
    // Appends "*** day/month/year hh:mm ***" and CR LF to the notes, on a line of its own.
    void addStamp();
    // The spelling check of the notes. `report`: then says "The spelling check is complete."
    // (F7 does; it reports even when the check did not run because the notes lacked the focus).
    void checkSpelling(bool run = true, bool report = false);
    // A phrase dropped on the notes (see PhraseDrop). False when the user cancelled.
    bool dropPhrase(const QString &phrase);

    // OK. True when the form may close: the note was saved (or deleted), or the form only viewed
    // it. False when it must stay open: no display context (with the message) or a failed write
    // (reported).
    bool complete();
    // Cancel.
    void cancel();
    // Completed when the note was saved or deleted; Cancelled otherwise.
    bizlib::forms::Response response() const { return m_response; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }

    // The stamp line for `when`.
    static QString stampText(const QDateTime &when);

private:
    QDateTime now() const;
    bool isAuthor() const;
    void stamp(const char *date, const char *time, const char *user);
    bool remove();
    // Sets the owner's note link to `noteId` while it is 0.
    void linkOwner(qint32 noteId);
    void clearOwnerLink(qint32 noteId);
    void report(const bizlib::Status &status);

    Services m_services;
    NoteEditorArgs m_args;
    bizlib::Record m_note;
    bizlib::Record m_original;
    QString m_actionedDate;
    bizlib::forms::Response m_response = bizlib::forms::Response::Cancelled;
    bizlib::Status m_lastStatus;
    bool m_primed = false;
    bool m_done = false;
};

} // namespace notes
