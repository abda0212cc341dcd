#pragma once

#include "bizlib/LocalFileCopy.h"
#include "bizlib/Record.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "data/RequestClaim.h"
#include "quotes/QuoteOutcome.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <optional>

namespace bizlib {
class PdfQuotes;
}
namespace bizlib::forms {
class RecordForms;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct AppContext;
struct ConsoleSettings;
} // namespace config

namespace quotes {

class AttachmentDownloader;
class FileJournal;
class QuoteConversion;

// The logic of `WebQuoteProcess`, the window that the console opens for one web quote request:
// it claims the request, converts it into a quote (QuoteConversion), finishes the quote with the
// user (the quote form) or without one (automatic mode), deletes the request and tells the staff.
// The window calls open() when it has opened, run() from its timer once mayStart() says so, and
// close() when it closes.
//
// Nothing is ever half done:
// - Automatic mode writes the conversion, the number, the stored quote with its rows and the
//   deletion of the request with its web records in ONE transaction; a failure anywhere rolls all
//   of it back (files copied or renamed are taken back too) and the request is released, nothing
//   sent. A process killed at any point leaves either the request or the quote, never both and
//   never neither. The quote letter and the e-mails follow the commit.
// - Manual mode writes the conversion in one transaction before the quote form opens; the form's
//   save numbers and stores the quote and deletes the request in one transaction. A cancelled
//   form removes the new quote's rows and files and releases the request.
// - The request is deleted only while it is still claimed ("Processing") and exactly once: a
//   request that another workstation took over (Unlock) and processed meanwhile makes this run
//   fail instead of making a second quote.
class QuoteProcessing
{
public:
    struct Services
    {
        config::AppContext *ctx = nullptr; // database, prompter, settings, user, folders, frame
        bizlib::forms::RecordForms *forms = nullptr; // the quote form and template list (manual mode)
        bizlib::mail::MailSender *mail = nullptr; // EMAILDIALOG; none: no e-mail is sent (batch tools)
        bizlib::PdfQuotes *documents = nullptr; // PDFQUOTES; none: no quote letter (batch tools)
        AttachmentDownloader *downloader = nullptr; // none: the downloader is not started
        std::function<void()> changeNotice; // none: the company's change notice
        // Called with the name of each point the routine passes ("claimed", "staged", "converted",
        // "numbered", "stored", "deleted", "committed"), for tests that stop a process there.
        std::function<void(const char *point)> checkpoint;
        // While the claim is held, it is marked seen between the routine's steps (before the
        // conversion, before each attachment copy, before the final transaction, before the
        // renames after it) once this long has passed since it was last marked: a run whose steps
        // take long is not taken for a dead one by other workstations, while the console's claim
        // keeper waits for the routine to end. Negative: never.
        int keepSeenMs = kKeepSeenMs;
    };
    static constexpr int kKeepSeenMs = 30 * 1000;

    // What automatic processing makes of a request (Automatic, IsRFQ), or nothing when the
    // settings leave it to the users: an RFQ when AutoProcessRFQs is on and the request names
    // neither a template nor a previous quote; a quote when AutoProcessQuotes is on and it names one.
    struct Arguments
    {
        bool automatic = false;
        bool isRfq = false;
    };
    static std::optional<Arguments> automaticArguments(
        const config::ConsoleSettings &settings, const bizlib::Record &request);

    // `request`: the web quote request as the caller has just read it again.
    QuoteProcessing(Services services, const bizlib::Record &request, bool automatic, bool isRfq);
    // A claim still held is released (the window went away before the routine finished).
    ~QuoteProcessing();
    QuoteProcessing(const QuoteProcessing &) = delete;
    QuoteProcessing &operator=(const QuoteProcessing &) = delete;

    // The window has opened: reads the client, contact and office, claims the request (filling its
    // address) and reads it again, and asks the frame for the phrase toolbox when the settings
    // want it in manual mode. False when the window is to close at once (response Cancelled): the
    // request is claimed elsewhere and not unlocked, or gone.
    bool open();
    // On a timer event: the routine may start (once) - in automatic mode, without QuotePhrases, or
    // once the phrase toolbox runs.
    bool mayStart() const;
    // The processing routine; runs once, then answers as the first time.
    bizlib::forms::Response run();
    // The window closes: the phrase toolbox is closed and, when the routine has not finished, the
    // claim is released (nothing is written by a window that never held it).
    void close();

    bizlib::forms::Response response() const { return m_response; }
    bool isFinished() const { return m_finished; }
    bool processingActive() const { return m_processingActive; }
    bool refreshRequested() const { return m_refreshRequested; }
    const data::RequestClaim *claim() const { return m_claim.get(); }
    const bizlib::Record &request() const { return m_request; }
    // The quote as stored by a completed run.
    const bizlib::Record &quote() const { return m_quote; }
    // Why the run was cancelled; or, after a completed run, what could not be done after the quote
    // was stored (the quote letter, an e-mail, the downloader).
    const bizlib::Status &lastStatus() const { return m_lastStatus; }
    const QString &documentFile() const { return m_documentFile; }
    // The last failure told (to the user in manual mode, to the trace log always); empty: none.
    const QString &told() const { return m_told; }
    // Attachments that got no copy, and why.
    const QStringList &refusals() const { return m_refusals; }
    // The run as the console tells it: what was made, or why nothing was.
    QuoteOutcome outcome() const;

    // What local attachment sources may be copied on this workstation (config::attachmentCopyRules).
    static bizlib::LocalFileCopy localCopyRules(const config::AppContext &ctx);

private:
    bizlib::forms::Response runAutomatic(QuoteConversion &conversion, FileJournal &journal);
    bizlib::forms::Response runManual(QuoteConversion &conversion, FileJournal &journal);
    void finishMoves();
    // A failure that ends processing (or a release that failed): the trace log, and in manual
    // mode a message that says what failed and why. An Ok status tells nothing.
    void tell(const bizlib::Status &st, const QString &what);
    QStringList dataFolders() const;
    bizlib::forms::Response cancelRoutine(const bizlib::Status &why);
    bizlib::forms::Response finish(const bizlib::Record &client);
    void afterStored(const bizlib::Record &client);
    void reach(const char *point) const;
    // Marks the claim seen when keepSeenMs has passed (Services); a failure goes to the trace log,
    // and the step that follows meets the database as it is.
    void keepClaimSeen();

    Services m_services;
    bizlib::Record m_request;
    bizlib::Record m_client;
    bizlib::Record m_contact;
    bizlib::Record m_quote;
    bizlib::Record m_converted; // the request as the conversion left it (invalid: it did not run)
    qint32 m_readTemplate = 0;
    qint32 m_readPrevious = 0;
    QStringList m_refusals;
    QString m_told;
    bool m_automatic;
    bool m_isRfq;
    std::unique_ptr<data::RequestClaim> m_claim;
    QElapsedTimer m_sinceSeen; // since the claim was taken or last marked seen
    qint32 m_savedTemplate = 0;
    qint32 m_newQuoteId = 0;
    bool m_started = false;
    bool m_finished = false;
    bool m_processingActive = false;
    bool m_refreshRequested = false;
    bizlib::forms::Response m_response = bizlib::forms::Response::Cancelled;
    bizlib::Status m_lastStatus;
    QString m_documentFile;
};

} // namespace quotes
