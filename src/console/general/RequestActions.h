#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "config/AppContext.h"
#include "console/RequestAction.h"
#include "console/RequestLists.h"
#include "console/general/NoteActions.h"
#include "orders/OrderPayment.h"
#include "quotes/QuoteOutcome.h"

#include <QCoreApplication>
#include <functional>
#include <memory>

namespace notes {
class Desktop;
}

namespace console {

class AttachmentActions;
class Monitor;
class RequestListSet;

// What the General tab's buttons do with a request, whatever widget starts them: the processing
// and rejection windows of each kind of request, the payment marking and the prepay check of an
// order, and the attachment and note buttons of the detail sheet. Every window runs as the
// monitor's modal child (its tick waits), and the lists it changes are read again afterwards.
// The page only says which request is selected; the windows themselves come in as Windows, so
// that tests run every road here with scripted ones.
class RequestActions
{
    Q_DECLARE_TR_FUNCTIONS(RequestActions)

public:
    // The windows an action opens.
    struct Windows
    {
        // The quote processing window on `request`; `automatic`: without a user (`isRfq`: a
        // request for quotation), what it came to in `outcome`.
        std::function<bizlib::forms::Response(
            const bizlib::Record &request, bool automatic, bool isRfq, quotes::QuoteOutcome *outcome)>
            processQuote;
        // The rejection window of a quote request; Completed when the rejection was sent.
        std::function<bizlib::forms::Response(const bizlib::Record &request)> rejectQuote;
        // The sign-up wizard and the sign-up rejection window.
        std::function<void(const bizlib::Record &request)> processSignup;
        std::function<void(const bizlib::Record &request)> rejectSignup;
        // The rejection window of a web order.
        std::function<void(const bizlib::Record &request)> rejectOrder;
        // The processing window of a web order (after the prepay check); Completed when its
        // orders were made.
        std::function<bizlib::forms::Response(const bizlib::Record &request)> processOrder;
    };
    // Starts the window of an action on a request (its record just read again). route() is the
    // default.
    using Handler = std::function<void(RequestAction action, const bizlib::Record &request)>;
    enum class Outcome {
        Ran, // the action's window ran
        Refused, // the user has no right to it
        Gone // no request selected, or it is no longer in its table
    };

    // Whether the user may mark orders paid is read once, here. `desktop` serves the attachment
    // buttons (file dialog, opening, clipboard); `noteEditor` runs the note editor for the note
    // buttons and the payment note of Paid.
    RequestActions(config::AppContext &context, RequestListSet &lists, Monitor &monitor, notes::Desktop &desktop,
        NoteActions::Editor noteEditor);
    ~RequestActions();

    void setWindows(Windows windows) { m_windows = std::move(windows); }
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Told what became of a request dealt with by hand ("Quote 24108 made from web request 1019").
    void setNotice(std::function<void(const QString &summary)> notice) { m_notice = std::move(notice); }
    void setNoteEditor(NoteActions::Editor editor);
    void setDesktop(notes::Desktop &desktop);
    notes::Desktop &desktop() const { return *m_desktop; }

    bool mayMarkPaid() const { return m_mayMarkPaid; }
    // The list whose buttons start `action`.
    static RequestLists::Focus listOf(RequestAction action);
    // `selected` (a row of the action's list) read again from its table into `fresh`. False when
    // it is gone or cannot be read.
    bool reread(RequestAction action, const bizlib::Record &selected, bizlib::Record *fresh) const;

    // The action's button on `selected` (null: no row selected): Paid is refused to a user
    // without the right; the request is read again, and one that has gone runs nothing (the
    // exclamation beep when `fromDoubleClick`); else the handler runs as the monitor's modal
    // child, the countdown held except for a sign-up's rejection.
    Outcome run(RequestAction action, const bizlib::Record *selected, bool fromDoubleClick = false);
    // Process on a quote request runs the quote processing window in manual mode, Reject on a
    // quote request or an order its rejection window; Paid marks the order paid; Process on an order first makes the prepay
    // check, which may abandon it. A window that is not built (or not given) is named to the
    // user plainly.
    void route(RequestAction action, const bizlib::Record &request);
    // For the alert step: the quote processing window in automatic mode, run as Process runs it.
    bizlib::forms::Response processQuoteAutomatically(
        const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome);

    // The attachment buttons; the attachment list is read again after a change.
    void addAttachments(const RequestRef &owner);
    void deleteAttachment(const bizlib::Record &attachment);
    void openAttachment(const bizlib::Record &attachment);
    void copyAttachmentUrl(const bizlib::Record &attachment);
    void toggleArtwork(const bizlib::Record &attachment);
    // The note buttons: the editor runs as the monitor's modal child (the countdown goes on);
    // changed and deleted notes belong to the request the note list shows. Deleting a payment
    // note is refused with its message without opening anything.
    void insertNote(const RequestRef &owner);
    // The note is copied first: a list read meanwhile does not change what is edited.
    void changeNote(bizlib::Record note);
    void deleteNote(bizlib::Record note);

private:
    // The payment marking of the Paid button and of an order about to be processed.
    orders::OrderPayment payment() const;
    void runNoteEditor(const std::function<bizlib::forms::Response()> &editor);

    config::AppContext &m_ctx;
    RequestListSet &m_lists;
    Monitor &m_monitor;
    notes::Desktop *m_desktop;
    bool m_mayMarkPaid = false;
    std::unique_ptr<AttachmentActions> m_attachments;
    std::unique_ptr<NoteActions> m_notes;
    NoteActions::Editor m_noteEditor;
    Windows m_windows;
    Handler m_handler;
    std::function<void(const QString &summary)> m_notice;
};

} // namespace console
