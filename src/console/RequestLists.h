#pragma once

#include "bizlib/Status.h"

#include <functional>

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

    // A reset taken apart, so that its reading can run away from the lists' thread: made on the
    // lists' thread, `read` may then run on any thread (once; empty: nothing to read), and
    // `apply` runs afterwards on the lists' thread and shows what was read. A list whose read
    // failed keeps the rows it shows.
    struct Read
    {
        std::function<bizlib::Status()> read;
        std::function<void()> apply;
    };

    virtual ~RequestLists() = default;
    // Re-reads every list (quotes, sign-ups, orders, the detail lists and the webtask history).
    virtual void resetAll() = 0;
    // The timed refresh: the sign-up list always; with the focus on quotes, orders or sign-ups
    // also the quote and order lists, keeping the selected row of the focused (quote) or the
    // order list.
    virtual void resetForRefresh(Focus focus) = 0;
    virtual Focus focus() const = 0;
    // Rows in the quote, order and sign-up lists, as the database counted them when the lists
    // were last read.
    virtual Counts counts() const = 0;

    // resetAll() and resetForRefresh() taken apart. Lists that read nothing away from their
    // thread reset when the read is applied.
    virtual Read readAll()
    {
        return { {}, [this] { resetAll(); } };
    }
    virtual Read readForRefresh(Focus focus)
    {
        return { {}, [this, focus] { resetForRefresh(focus); } };
    }
};

} // namespace console
