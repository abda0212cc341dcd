#pragma once

#include "bizlib/Status.h"

namespace console {

// The request lists of the General tab, as the monitor's cycle sees them.
class RequestLists
{
public:
    enum class Focus { Quotes, Signups, Orders, Elsewhere };
    struct Counts
    {
        qint64 quotes = 0;
        qint64 orders = 0;
        qint64 signups = 0;
    };

    virtual ~RequestLists() = default;
    // Re-reads every list (quotes, sign-ups, orders, the detail lists and the webtask history).
    virtual void resetAll() = 0;
    // The timed refresh: the sign-up list always; with the focus on quotes, orders or sign-ups
    // also the quote and order lists, keeping the selected row of the focused (quote) or the
    // order list.
    virtual void resetForRefresh(Focus focus) = 0;
    virtual Focus focus() const = 0;
    // Rows in the quote, order and sign-up lists now.
    virtual Counts counts() const = 0;
};

} // namespace console
