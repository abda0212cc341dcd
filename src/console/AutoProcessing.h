#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "quotes/QuoteOutcome.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace bizlib {
class Database;
}
namespace config {
struct ConsoleSettings;
}

namespace console {

class ProcessingProblems;

// The automatic processing of web quote requests: one walk over the waiting requests, as the
// console's alert step runs it and as webconsole-auto runs it without a window.
//
// The rows are walked from the first. Every qualifying request (qualifies()) is read again and
// processed without a user. After a processed request the walk starts again from the first row
// (the list has changed), unless the list was read once for the walk (Services::listReadOnce);
// after a cancelled one it goes on with the next. Each request is tried
// at most once per walk, so one that processing reports done but that is still listed (its delete
// failed, or another workstation put it back) is not processed again and again. A run that failed
// goes to the processing problems list, and that request waits before it is tried again
// (ProcessingProblems). A request that the settings leave to the users is told once per walk as
// Left, and never touched.
class AutoProcessing
{
public:
    enum class Result {
        Processed, // the request became a quote (or an RFQ) and is gone
        Declined, // another workstation holds it, or it went meanwhile: nothing to do here
        Failed, // processing failed; the request is given back and waits (ProcessingProblems)
        NeedsPerson, // processing stopped at a question nobody was there to answer; given back
        Left, // the settings leave this request to the users; not touched
    };
    struct Outcome
    {
        qint32 quoteId = 0;
        qint32 number = 0; // the request's number, as users know it
        Result result = Result::Left;
        QString detail; // the quote made, who holds it, why it failed, what it asked
        qint64 elapsedMs = 0;
    };
    // What processing one request came to.
    struct Attempt
    {
        bizlib::forms::Response response = bizlib::forms::Response::Cancelled;
        QString failure; // a cancelled run that failed says why; empty: declined
        bool needsPerson = false; // it stopped at a question (failure says which)
        QString detail; // a completed run: the quote made; a declined one: who holds the request
        quotes::QuoteOutcome run; // what the processing window reported, for the processing list
    };
    // Row `row` of the list as it stands now (0: the first); nothing past its end.
    using RowAt = std::function<std::optional<bizlib::Record>(int row)>;
    // Processes `request` (just read again) without a user; as an RFQ when `isRfq`.
    using Process = std::function<Attempt(const bizlib::Record &request, bool isRfq)>;

    struct Services
    {
        bizlib::Database *db = nullptr;
        const config::ConsoleSettings *settings = nullptr;
        ProcessingProblems *problems = nullptr; // none: failures are not listed, nothing waits
        std::function<void()> starting; // before each request is processed
        std::function<void(const Outcome &)> told; // each request processed, declined, failed or left
        std::function<bool()> stopRequested; // asked before each request: the walk ends there
        // rowAt answers from a list read once for the walk, which processing does not change: the
        // walk then goes on with the next row after a processed request instead of starting again.
        bool listReadOnce = false;
    };

    explicit AutoProcessing(Services services);

    // Whether automatic processing takes this web quote request: a template or previous quote
    // priced by the website (WebCalc 1) with "AutoProcessQuotes", a request for quotation (neither
    // identifier set) with "AutoProcessRFQs".
    static bool qualifies(const config::ConsoleSettings &settings, const bizlib::Record &request);
    // Why a request that does not qualify is left to the users.
    static QString whyLeft(const config::ConsoleSettings &settings, const bizlib::Record &request);

    // One walk. The identifiers of the requests that processing completed, in the order processed.
    QList<qint32> run(const RowAt &rowAt, const Process &process);

private:
    Services m_s;
};

} // namespace console
