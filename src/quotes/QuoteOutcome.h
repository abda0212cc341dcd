#pragma once

#include "bizlib/forms/FormRequest.h"

#include <QString>

namespace quotes {

// What one run of the quote processing window came to, for the console to tell the user.
struct QuoteOutcome
{
    bizlib::forms::Response response = bizlib::forms::Response::Cancelled;
    QString quoteRef; // the stored quote's number and revision ("24108"); empty when none was stored
    bool rfq = false; // the quote went to the estimator as a request for quotation
    QString failure; // why a cancelled run failed; empty when it was only declined or cancelled
    QString afterwards; // what could not be done after the quote was stored (letter, e-mail, downloader)
};

} // namespace quotes
