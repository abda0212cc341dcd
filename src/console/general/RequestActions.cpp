#include "console/general/RequestActions.h"

#include "bizlib/Prompter.h"
#include "bizlib/Table.h"
#include "bizlib/security/Security.h"
#include "console/Monitor.h"
#include "console/ProcessingProblems.h"
#include "console/general/AttachmentActions.h"
#include "console/general/RequestListSet.h"

namespace console {

namespace {

using Focus = RequestLists::Focus;

bool userMayMarkPaid(const config::AppContext &ctx)
{
    if (!ctx.db || ctx.glo.user.userId <= 0)
        return false;
    bizlib::security::Security security(*ctx.db);
    return security.hasRight(ctx.glo.user.userId, bizlib::security::Security::kRightMarkOrdersPaid);
}

} // namespace

RequestActions::RequestActions(config::AppContext &context, RequestListSet &lists, Monitor &monitor,
    notes::Desktop &desktop, NoteActions::Editor noteEditor)
    : m_ctx(context)
    , m_lists(lists)
    , m_monitor(monitor)
    , m_desktop(&desktop)
    , m_mayMarkPaid(userMayMarkPaid(context))
{
    setDesktop(desktop);
    setNoteEditor(std::move(noteEditor));
    m_handler = [this](RequestAction action, const bizlib::Record &request) { route(action, request); };
}

RequestActions::~RequestActions() = default;

void RequestActions::setNoteEditor(NoteActions::Editor editor)
{
    m_noteEditor = editor;
    m_notes = std::make_unique<NoteActions>(*m_ctx.prompter, std::move(editor));
}

void RequestActions::setDesktop(notes::Desktop &desktop)
{
    m_desktop = &desktop;
    m_attachments = std::make_unique<AttachmentActions>(*m_ctx.db, *m_ctx.prompter, desktop, m_ctx.brevix.globalData);
}

RequestLists::Focus RequestActions::listOf(RequestAction action)
{
    switch (action) {
    case RequestAction::ProcessQuote:
    case RequestAction::RejectQuote:
        return Focus::Quotes;
    case RequestAction::ProcessSignup:
    case RequestAction::RejectSignup:
        return Focus::Signups;
    default:
        return Focus::Orders;
    }
}

bool RequestActions::reread(RequestAction action, const bizlib::Record &selected, bizlib::Record *fresh) const
{
    const Focus list = listOf(action);
    const QString table = list == Focus::Quotes ? QStringLiteral("WebQuotes")
        : list == Focus::Signups                ? QStringLiteral("WebSignup")
                                                : QStringLiteral("WebOrders");
    bizlib::Table t(*m_ctx.db, table);
    *fresh = t.newRecord();
    const int idField = t.def().primary().fields.first();
    return t.fetch(t.def().primary().name, { selected.toLong(idField) }, *fresh).isOk();
}

RequestActions::Outcome RequestActions::run(RequestAction action, const bizlib::Record *selected, bool fromDoubleClick)
{
    if (action == RequestAction::MarkPaid && !m_mayMarkPaid)
        return Outcome::Refused;
    bizlib::Record request;
    if (!selected || !reread(action, *selected, &request)) {
        if (fromDoubleClick && selected)
            m_ctx.prompter->beep(bizlib::Prompter::Icon::Exclamation);
        return Outcome::Gone;
    }
    m_monitor.runProcessing(
        [&] {
            if (m_handler)
                m_handler(action, request);
            return 0;
        },
        action != RequestAction::RejectSignup);
    return Outcome::Ran;
}

orders::OrderPayment RequestActions::payment() const
{
    orders::OrderPayment::Services s;
    s.db = m_ctx.db;
    s.prompter = m_ctx.prompter;
    s.user = m_ctx.glo.user;
    s.noteEditor = m_noteEditor;
    return orders::OrderPayment(std::move(s));
}

void RequestActions::route(RequestAction action, const bizlib::Record &request)
{
    switch (action) {
    case RequestAction::ProcessQuote:
        if (m_windows.processQuote) {
            quotes::QuoteOutcome outcome;
            if (m_windows.processQuote(request, false, false, &outcome) == bizlib::forms::Response::Completed
                && m_notice)
                m_notice(ProcessingProblems::madeText(request.toLong("Number"), outcome));
            return;
        }
        break;
    case RequestAction::RejectQuote:
        if (m_windows.rejectQuote) {
            if (m_windows.rejectQuote(request) == bizlib::forms::Response::Completed && m_notice)
                m_notice(tr("Web quote request %1 rejected").arg(request.toLong("Number")));
            return;
        }
        break;
    case RequestAction::ProcessSignup:
    case RequestAction::RejectSignup:
        if (const auto &window = action == RequestAction::ProcessSignup ? m_windows.processSignup : m_windows.rejectSignup) {
            window(request);
            return;
        }
        break;
    case RequestAction::RejectOrder:
        if (m_windows.rejectOrder) {
            m_windows.rejectOrder(request);
            return;
        }
        break;
    case RequestAction::MarkPaid:
        payment().markPaidFromList(request.toLong("OrderID"));
        return;
    case RequestAction::ProcessOrder: {
        bizlib::Record order = request;
        if (payment().checkBeforeProcessing(order) == orders::OrderPayment::Decision::Abandon)
            return;
        if (m_windows.processOrder) {
            if (m_windows.processOrder(order) == bizlib::forms::Response::Completed && m_notice)
                m_notice(tr("Web order %1 processed").arg(order.toLong("Number")));
            return;
        }
        break;
    }
    default:
        break;
    }
    m_ctx.prompter->alert(tr("%1 is not part of this version of the web console.").arg(requestActionName(action)),
        tr("Not available"), bizlib::Prompter::Icon::Information);
}

bizlib::forms::Response RequestActions::processQuoteAutomatically(
    const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome)
{
    auto response = bizlib::forms::Response::Cancelled;
    m_monitor.runProcessing([&] {
        if (m_windows.processQuote)
            response = m_windows.processQuote(request, true, isRfq, outcome);
        else if (outcome)
            outcome->failure = tr("%1 is not part of this version of the web console.")
                           .arg(requestActionName(RequestAction::ProcessQuote));
        return static_cast<int>(response);
    });
    return response;
}

void RequestActions::addAttachments(const RequestRef &owner)
{
    m_attachments->add(owner);
    m_lists.attachments().reset();
}

void RequestActions::deleteAttachment(const bizlib::Record &attachment)
{
    if (m_attachments->remove(attachment.toLong("AttachmentID")))
        m_lists.attachments().reset();
}

void RequestActions::openAttachment(const bizlib::Record &attachment)
{
    m_attachments->open(attachment);
}

void RequestActions::copyAttachmentUrl(const bizlib::Record &attachment)
{
    m_attachments->copyUrl(attachment.toLong("AttachmentID"));
}

void RequestActions::toggleArtwork(const bizlib::Record &attachment)
{
    if (m_attachments->toggleArtwork(attachment.toLong("AttachmentID")))
        m_lists.attachments().reset();
}

void RequestActions::runNoteEditor(const std::function<bizlib::forms::Response()> &editor)
{
    // The editor runs as the monitor's modal child (the tick waits); afterwards the lists show
    // the table again and the other workstations hear of it.
    m_monitor.runProcessing([&editor] { return static_cast<int>(editor()); }, false);
}

void RequestActions::insertNote(const RequestRef &owner)
{
    runNoteEditor([this, owner] { return m_notes->insert(owner); });
}

void RequestActions::changeNote(bizlib::Record note)
{
    const RequestRef owner = m_lists.notes().request();
    runNoteEditor([this, note, owner] { return m_notes->change(note, owner); });
}

void RequestActions::deleteNote(bizlib::Record note)
{
    const RequestRef owner = m_lists.notes().request();
    if (NoteActions::isPaymentNote(note)) {
        m_notes->remove(note, owner); // refused with its message
        return;
    }
    runNoteEditor([this, note, owner] { return m_notes->remove(note, owner); });
}

} // namespace console
