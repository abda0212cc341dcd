#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "data/ClaimVariant.h"
#include "data/RequestClaim.h"

#include <functional>
#include <memory>

namespace bizlib::forms {
class RecordForms;
}
namespace bizlib::spell {
class SpellPrompter;
}
namespace config {
struct AppContext;
}

namespace quotes {

// What the rejection windows of a web quote request, a web order and a web sign-up differ in.
// Everything else (the claim, the reason with its phrases, drops and spelling, OK, closing) is
// RequestRejection's, the same for all three.
struct RejectionVariant
{
    enum class Kind { Quote, Order, Signup };

    Kind kind = Kind::Quote;
    QString procedure; // "WebQuoteReject": the window's name, and where its position is kept
    QString title; // the header: "Reject web quote request"
    QString table; // "WebQuotes"
    const data::ClaimVariant *claim = nullptr;
    bool phraseList = true; // the sign-up window offers no phrase list
    // The request's status after OK: the quote request and the order stay "Processing" until the
    // web monitor has carried the rejection out; a sign-up becomes "Rejected".
    QString statusAfterOk;

    static const RejectionVariant &quote();
    static const RejectionVariant &order();
    static const RejectionVariant &signup();
};

// The logic of the rejection windows (`WebQuoteReject`, `WebOrderReject`, `WebSignupReject`): the
// window claims the request, the user writes the reason (typed, picked from the "Rejection"
// phrases, dropped from the phrase toolbox), and OK queues the "Reject" webtask that carries the
// reason to the website. The window calls open() once it has opened, ok() on OK and close() when
// it closes by any road.
//
// OK hands the request on and queues the task in one transaction, only while this window still
// holds the claim: a rejection is either queued with the request handed on, or nothing is written
// and the window stays open with the reason and the claim (the user is told why).
class RequestRejection
{
public:
    static constexpr int kMaxComments = 512;

    struct Services
    {
        config::AppContext *ctx = nullptr; // database, prompter, user, company
        bizlib::forms::RecordForms *forms = nullptr; // UPDATEPHRASE (none: no phrase is added)
        bizlib::spell::SpellPrompter *speller = nullptr; // the spelling check (none: no check)
        QString dictionary; // empty: the installed default
        std::function<void()> changeNotice; // none: the company's change notice
    };

    // One phrase of the window's list.
    struct Phrase
    {
        qint32 id = 0;
        QString title;
        QString text;
    };

    static QString prompt()
    {
        return QStringLiteral("Enter the reason for rejection (this will be included in the email to the user):");
    }
    static QString phraseCategory() { return QStringLiteral("Rejection"); }
    static QString phraseSubcategory() { return QStringLiteral("Comments"); }
    static QString phraseFilter() { return QStringLiteral("PHR:Other = 1"); }
    static QString prepaidCaption() { return QStringLiteral("Order pre-paid"); }
    static QString prepaidQuestion()
    {
        return QStringLiteral("WARNING: This order is pre-paid, therefore if you reject this order a refund will need "
                              "to be manually issued via your payment gateway. Do you want to continue?");
    }

    // `request`: the request as the caller has just read it again.
    RequestRejection(Services services, const RejectionVariant &variant, const bizlib::Record &request);
    // A claim still held is released.
    ~RequestRejection();
    RequestRejection(const RequestRejection &) = delete;
    RequestRejection &operator=(const RequestRejection &) = delete;

    // The window has opened. A pre-paid web order whose first note is a payment note asks first
    // (No: the window closes, nothing written). Then the claim, and the request read again. False
    // when the window is to close at once: declined, claimed elsewhere and not unlocked, gone, or
    // the database failed (reported).
    bool open();

    const RejectionVariant &variant() const { return m_variant; }
    const bizlib::Record &request() const { return m_request; }
    // What is being rejected, in one line for the window: the quote request's or the order's
    // title, the sign-up's "Full name - Company" (the parts that are there).
    QString subject() const;
    const data::RequestClaim *claim() const { return m_claim.get(); }

    // The "Rejection" phrases with `PHR:Other` 1, in key order (read by open()).
    const QList<Phrase> &phrases() const { return m_phrases; }
    bizlib::Status readPhrases();

    const QString &comments() const { return m_comments; }
    // The user's typing; cut to kMaxComments characters.
    void setComments(const QString &text);
    const QString &phraseTitle() const { return m_phraseTitle; }

    // A phrase chosen in the list: the title shows; a phrase with text fills empty comments or
    // asks Overwrite / Append / Cancel (exclamation). False when the comments stayed as they were.
    bool pickPhrase(int index);
    // Reset: no phrase chosen, no title, no comments.
    void reset();
    // A phrase dropped on the comments from the phrase toolbox (the drop rule). False when the
    // comments stayed as they were.
    bool dropPhrase(const QString &text);
    // The comments got the focus: the phrase toolbox offers the phrases for web responses.
    void commentsSelected();
    // The spelling check of the comments (see notes::FieldSpelling).
    void checkSpelling(bool run, bool report);
    // A new phrase from the list's own "add": category "Rejection", subcategory "Comments", the
    // first group flag set; the list option "Comments" under "Rejection" added when missing; then
    // the phrase form. On Completed the list is read again and *added (if given) is the new
    // phrase's index in it.
    bizlib::forms::Response addPhrase(int *added = nullptr);

    // OK: queues the rejection. True when the window may close (response Completed). False when it
    // must stay open: the task could not be stored or the request is no longer this window's
    // (reported; nothing written, the claim and the comments kept).
    bool ok();
    // The window closes: unless OK completed, the claim is released (the saved status back).
    void close();

    bizlib::forms::Response response() const { return m_response; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }
    // The task queued by ok().
    const bizlib::Record &task() const { return m_task; }

private:
    bool prepaidWarningDeclined();
    void report(const bizlib::Status &status, const QString &what);

    Services m_services;
    const RejectionVariant &m_variant;
    bizlib::Record m_request;
    std::unique_ptr<data::RequestClaim> m_claim;
    QList<Phrase> m_phrases;
    QString m_comments;
    QString m_phraseTitle;
    bizlib::Record m_task;
    bizlib::forms::Response m_response = bizlib::forms::Response::Cancelled;
    bizlib::Status m_lastStatus;
};

} // namespace quotes
