#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/forms/FormRequest.h"
#include "notes/NoteEditorArgs.h"

#include <QDateTime>
#include <functional>

namespace bizlib {
class Database;
class Prompter;
} // namespace bizlib

namespace orders {

// Marking a prepay web order as paid by hand, when the website's card payment did not go through
// and the client paid some other way: the Paid button of the order list, the check made before an
// order is processed, and the payment note that every marking leaves on the order.
//
// A marking is one transaction: the payment note, and one conditional write of `WORD:Prepaid`
// (only while it is still 0) with the order's link to the note, so that two workstations never both
// mark one order and write two notes, and an order is never marked paid without its note.
class OrderPayment
{
public:
    using NoteEditor = std::function<bizlib::forms::Response(const notes::NoteEditorArgs &args)>;

    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr;
        bizlib::Session user; // the logged-on user
        std::function<bool()> mayMarkPaid; // right 44; none: the security object is asked
        NoteEditor noteEditor; // `UpdateWebNote` on the new note; none: the note is not shown
        std::function<QDateTime()> now; // none: the current date and time
    };

    enum class Decision { Process, Abandon };

    static QString paidCaption() { return QStringLiteral("Mark as paid"); }
    static QString paidQuestion()
    {
        return QStringLiteral("WARNING: This will mark the order as paid, only do this if you sure payment has been "
                              "completed manually... are you want to continue?");
    }
    static QString prepayCaption() { return QStringLiteral("Payment failed"); }
    // The question for a user who may mark orders paid (Continue, Mark paid, Abandon) and for one
    // who may not (Yes, No).
    static QString prepayQuestion(bool mayMarkPaid);
    static QString prepayButtons() { return QStringLiteral("&Continue|Mark &paid|&Abandon"); }
    // The payment note's text for the order's web reference and the user's code.
    static QString noteText(qint32 webId, const QString &userCode);

    explicit OrderPayment(Services services);

    // The Paid button on the order `orderId`: for a user with the right, an order that is still
    // prepay and unpaid is marked after the Yes/No question (No the default). True when marked.
    bool markPaidFromList(qint32 orderId);
    // Before `order` (just read) is processed: a prepay order whose card payment failed asks
    // whether to go on. Mark paid marks it first; when that fails the processing is abandoned.
    Decision checkBeforeProcessing(bizlib::Record &order);

    // Marks `order` paid and writes its payment note (all or nothing), then opens the note editor
    // on it. NotFound (reported) when the order, read again, is gone or no longer an unpaid prepay
    // order; an error (reported) when a write fails: nothing written either way. Afterwards
    // `order` and *note (if given) are as stored.
    bizlib::Status markPaid(bizlib::Record &order, bizlib::Record *note = nullptr);

private:
    bool mayMarkPaid() const;
    // The note, the flag and the link in one transaction.
    bizlib::Status writePayment(bizlib::Record &order, bizlib::Record *note);
    void report(const bizlib::Status &status, const QString &what) const;

    Services m_services;
};

} // namespace orders
