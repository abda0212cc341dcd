#pragma once

#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"

#include <QSet>
#include <functional>

namespace bizlib {
class Database;
class PdfQuotes;
class Prompter;
class QuoteLibrary;
namespace forms {
class RecordForms;
}
} // namespace bizlib
namespace data {
class RequestClaim;
}

namespace orders {

// The quote an order is made to, prepared when the order's first item has been converted.
//
// - A repeat order (the web order names a previous order) or an automatic web quote: the quote is
//   copied to a new one, which takes the order's quantity (merged into its list, or as its only
//   quantity for an automatic quote), the web order's client and title, status "Won", the tax
//   code, the order's extra charges in its workings, a target price where it is not priced from
//   its workings, the rep's commission and the web order's specification. An automatic quote is
//   then priced, numbered and saved without a user and its letter written as a PDF; any other is
//   shown in the quote form (after the "Repeat order" message when the previous order was made to
//   a quote). A form that is cancelled, or any failure, removes the new quote and the order.
// - A plain quote link: the existing quote takes the web order's title and specification. What
//   that changes is recorded with the claim, so that a cancel of the web order (or the cleanup
//   after a workstation that went away) gives the quote back as it was; a later change by
//   someone else stays.
//
// The order then takes the quote, its number, quantity index and units for the ordered quantity,
// and is written. Nothing waits for the user while rows are locked: the writes before and after
// the form are transactions of their own, and the new quote's rows are recorded with the claim
// before they are committed.
class OrderQuotePreparation
{
public:
    struct Services
    {
        bizlib::Database *db = nullptr;
        bizlib::Prompter *prompter = nullptr; // the "Repeat order" message (none: not shown)
        bizlib::Session user;
        QString voucherCode; // the console setting VoucherCode
        QString globalData; // the quote letters go to its "quotes" folder
        bizlib::PdfQuotes *documents = nullptr; // the letter of an automatic quote (none: no letter)
        bizlib::forms::RecordForms *forms = nullptr; // the quote form (none: a quote to show fails)
        data::RequestClaim *claim = nullptr; // where the run's rows and changes are recorded
        // Asks for the phrase toolbox when the quote form opens; the caller knows whether the
        // settings want it and whether one runs already. None: nothing asked.
        std::function<void()> quotePhrases;
    };

    static QString repeatCaption() { return QStringLiteral("Repeat order"); }
    static QString repeatMessage()
    {
        return QStringLiteral("This order is linked to a previous order which was quoted, the quote will now be "
                              "displayed for|checking prior to order processing.");
    }

    // `repeatsQuotedOrder`: the previous order that the order repeats was made to a quote.
    OrderQuotePreparation(Services services, const bizlib::Record &webOrder, bool repeatsQuotedOrder);

    // Prepares the quote `order` names and writes the order. Ok: the order (written) names the quote
    // it is made to, or none when the quote it named is gone. Cancelled form or failure: Error,
    // and the order and the new quote are removed (*orderRemoved true) - except for a plain link,
    // whose failure leaves the order and the quote as they were.
    bizlib::Status prepare(bizlib::Record &order, bool *orderRemoved);

    // The quote the order is made to after prepare() (its identifier is 0 when none).
    const bizlib::Record &quote() const { return m_quote; }
    // The letter written for an automatic quote.
    const QString &documentFile() const { return m_documentFile; }

    // The quote's specification from the web order (in the caller's transaction): the quote's
    // specification text record takes the web order's own non-empty sections, or for an XML
    // transfer whose company default (DEF:XMLSpec) is "PO" or "MERGE" the sections from its tab
    // texts; then the quote's tab texts follow the specification (SYNCQUOTESPEC) when the web
    // order has none, otherwise the web order's non-empty tab texts are copied onto the quote
    // after the quote's own are removed: for a "Service" order those on the tabs the web order
    // fills; for an XML transfer with "PO" all, with "MERGE" the non-empty ones on tabs the web
    // order has, otherwise all on tabs the web order has. QTE:Spec becomes the summary.
    bizlib::Status fillSpecification(bizlib::Record &quote, const QString &orderType);

private:
    bizlib::Status copyQuote(bizlib::Record &order, bool automatic, bizlib::QuoteLibrary &library);
    bizlib::Status showOrPrice(bool automatic, bizlib::QuoteLibrary &library);
    bizlib::Status linkQuote(bizlib::Record &order);
    bizlib::Status finishOrder(bizlib::Record &order, bool withQuote);
    bizlib::Status removeNew(bizlib::Record &order, bool *orderRemoved);
    bizlib::Status takeWebOrder(bizlib::Record &quote, bizlib::Record &order, bizlib::Record *material);
    bizlib::Status assignTax(bizlib::Record &quote);
    bizlib::Status assignRep(bizlib::Record &quote, bizlib::QuoteLibrary &library);
    // Records, with the claim, how the quote's rows differ from `before` (rows gone, made, changed).
    bizlib::Status recordChanges(
        const QString &table, const QList<bizlib::Record> &before, const QList<bizlib::Record> &after);
    bizlib::Status readRows(const QString &table, const QString &key, qint32 id, QList<bizlib::Record> *rows);

    Services m_services;
    bizlib::Record m_webOrder;
    bool m_repeatsQuoted = false;
    bizlib::Record m_quote;
    qint32 m_newQuoteId = 0;
    QString m_documentFile;
};

} // namespace orders
