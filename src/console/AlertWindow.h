#pragma once

#include "bizlib/Record.h"
#include "bizlib/forms/FormRequest.h"
#include "quotes/QuoteOutcome.h"

namespace console {

// What the alert step asks of the monitor window. The window implements it; tests script it.
class AlertWindow
{
public:
    virtual ~AlertWindow() = default;

    // The request selected in the quote list (0: none).
    virtual qint32 currentQuote() const = 0;
    // Selects that request again; one that is no longer listed leaves the selection where it is.
    virtual void returnToQuote(qint32 quoteId) = 0;
    // Processes `request` (just read again) without a user, as the quote list's Process button
    // does with the automatic flag: the quote processing window in automatic mode (as an RFQ when
    // `isRfq`), then every list is read again. Returns the window's response; *outcome says what
    // the run made, or why it failed (no failure when the request was only declined or cancelled).
    virtual bizlib::forms::Response processQuote(
        const bizlib::Record &request, bool isRfq, quotes::QuoteOutcome *outcome) = 0;
    // Brings the window forward, restoring it when minimised.
    virtual void gainFocus() = 0;
};

} // namespace console
