#pragma once

#include "console/AutoProcessing.h"
#include "console/ProcessingProblems.h"

#include <QSet>
#include <functional>
#include <memory>

namespace bizlib {
class PdfQuotes;
}
namespace bizlib::mail {
class MailSender;
}
namespace config {
struct AppContext;
}
namespace console {
class ClaimKeeper;
}
namespace quotes {
class AttachmentDownloader;
}

namespace autorun {

class QuietPrompter;

// webconsole-auto's work on a workspace that start-up has opened and logged on: the console's
// automatic processing of web quote requests and RFQs (console::AutoProcessing over the waiting
// requests in number order, each run by quotes::QuoteProcessing in automatic mode, with the quote
// letter, the e-mails, the downloader and the trace log), the same back-off for requests that
// failed, and the claims looked after as a console does (console::ClaimKeeper: what a stale run
// left is cleaned up first, then every minute while it waits).
//
// Each request processed, declined, failed or needing a person is written as one line to `out`;
// one that the settings leave to the users is written once in the life of the service.
class AutoService
{
public:
    struct Round
    {
        int processed = 0;
        int declined = 0;
        int failed = 0; // failed or needs a person
    };

    // `prompter` is ctx.prompter: questions asked during a run make it a run that needs a person.
    // `out` takes each line (without its line break), `err` what went wrong around the requests.
    AutoService(config::AppContext &ctx, QuietPrompter &prompter, std::function<void(const QString &)> out,
        std::function<void(const QString &)> err);
    ~AutoService();

    // What interrupted runs left is cleaned up; then the claim keeper runs every minute.
    void start();
    // One walk over the waiting requests; `stopRequested` is asked before each request.
    Round round(const std::function<bool()> &stopRequested = {});
    // Rounds every RefreshInterval seconds until `stopRequested` says so (asked often).
    void runUntil(const std::function<bool()> &stopRequested);

    const console::ProcessingProblems &problems() const { return m_problems; }
    // The line written for an outcome at `at`: "TIME request NUMBER RESULT SECONDS DETAIL".
    static QString line(const console::AutoProcessing::Outcome &outcome, const QDateTime &at);

private:
    console::AutoProcessing::Attempt processOne(const bizlib::Record &request, bool isRfq);
    // The waiting requests in list order; `readFailed` when they could not all be read (said on
    // the error output and in the trace log).
    QList<bizlib::Record> waiting(bool *readFailed);

    // Says how the attachment downloaders that ended since the last round failed.
    void collectDownloads();

    config::AppContext &m_ctx;
    QuietPrompter &m_prompter;
    std::function<void(const QString &)> m_out;
    std::function<void(const QString &)> m_err;
    console::ProcessingProblems m_problems;
    std::unique_ptr<console::ClaimKeeper> m_keeper;
    std::unique_ptr<bizlib::mail::MailSender> m_mail;
    std::unique_ptr<bizlib::PdfQuotes> m_documents;
    std::unique_ptr<quotes::AttachmentDownloader> m_downloader;
    QSet<qint32> m_leftTold;
};

} // namespace autorun
