#pragma once

#include "bizlib/LocalFileCopy.h"
#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "quotes/WebRecordCopies.h"

#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib
namespace bizlib::forms {
class SelectLibrary;
}

namespace quotes {

class FileJournal;

// `WebQuotetoQuote`: turns one claimed web quote request into a new quote of the business system.
// The new quote takes its identifier from the quote counter and its rows (workings, quantities,
// specification, tab texts, notes, attachments) are written under that identifier, but the quote
// record itself is left in quote() for the caller, who prices, numbers and stores it.
//
// It runs in three steps so that no question is asked and no file is read inside a write
// transaction:
// - prepare() reads the request and makes the choices: the quote to start from (the request's
//   template, else its previous quote; a request that names neither and is not a request for
//   quotation asks "Use a template?" and may pick a template from the list) and whether
//   attachments from local drives are copied (asked in manual mode). It writes nothing.
// - stageFiles() copies the attachments' files (WebRecordCopies::stageFiles), before the
//   transaction.
// - build() writes everything else; the caller wraps it in a transaction, so that a failure
//   leaves no row behind, and undoes the files that stageFiles() made.
class QuoteConversion
{
public:
    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr; // the two questions
        bizlib::forms::SelectLibrary *select = nullptr; // SELECTTEMPLATE; none: "Template" finds nothing
        bizlib::Session user; // the logged-on user: creator and estimator of the quote
        QString rfqEstimator; // the console setting: the estimator of requests for quotation
        QString dataFolder; // the company data folder; attachment copies go to its "quotes" folder
        // What local sources of attachments may be copied (empty allowed folders: the data folder).
        bizlib::LocalFileCopy localCopies;
    };

    static constexpr qint32 kNoSignatory = 99999999;

    QuoteConversion(Services services, qint32 requestId, bool isRfq, bool automatic);
    // The same for a request that the caller has just read from the table: it is not read again.
    QuoteConversion(Services services, const bizlib::Record &request, bool isRfq, bool automatic);

    // Cancelled when the request cannot be read (lastStatus() says so) or the user cancelled the
    // template question.
    bizlib::forms::Response prepare();
    // After a completed prepare(), before the transaction of build(): the attachments' files.
    // `created` is told of each file before it is written (the run records it).
    bizlib::Status stageFiles(const std::function<bizlib::Status(const QString &path)> &created, FileJournal *journal);
    // Why attachments got no copy ("... is not inside a folder that attachments may be copied from").
    QStringList refusals() const;
    // After a completed prepare(). On Ok, quote() is the new quote ready to be priced and stored
    // (its identifier taken, its rows written). On a failure the rows written so far are the
    // caller's transaction's to roll back.
    bizlib::Status build();

    bizlib::Record &quote() { return m_quote; }
    const bizlib::Record &request() const { return m_request; }
    const bizlib::Record &client() const { return m_client; }
    const bizlib::Record &jobType() const { return m_jobType; }
    qint32 newQuoteId() const { return m_newQuoteId; }
    // The quote the new one was copied from (0: none).
    qint32 sourceQuoteId() const { return m_sourceId; }
    bool copiesLocalAttachments() const { return m_copyLocal; }
    const bizlib::Status &lastStatus() const { return m_lastStatus; }

private:
    bizlib::forms::Response askForSource();
    bizlib::Status startQuote();
    bizlib::Status fillHeader();
    bizlib::Status readDefaultStatus(QString *status);

    Services m_services;
    qint32 m_requestId;
    bool m_isRfq;
    bool m_automatic;
    bizlib::Record m_request;
    bizlib::Record m_quote;
    bizlib::Record m_template; // the template picked from the list (invalid: none picked)
    bizlib::Record m_client;
    bizlib::Record m_jobType;
    qint32 m_sourceId = 0;
    qint32 m_newQuoteId = 0;
    bool m_hasLocalAttachments = false;
    bool m_copyLocal = false;
    bool m_prepared = false;
    WebRecordCopies::StagedFiles m_staged;
    bizlib::Status m_lastStatus;
};

} // namespace quotes
