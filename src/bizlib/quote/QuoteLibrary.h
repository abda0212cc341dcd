#pragma once

#include "bizlib/Decimal.h"
#include "bizlib/NumberCounter.h"
#include "bizlib/Record.h"
#include "bizlib/Session.h"
#include "bizlib/Status.h"
#include "bizlib/params/PriceCalcParams.h"
#include "bizlib/params/PricingExtras.h"
#include "bizlib/quote/PricingModel.h"

#include <QHash>
#include <QList>
#include <functional>

namespace bizlib {

class Database;
class Table;

// Operations of the business system's QUOTE library over the business database. The numbers
// follow the pricing model of PricingModel.h.
//
// `quote` arguments are the caller's quote record (QTE:), the library's record buffer: the
// operations read and change it in memory and write it to the Quotes table only where a header
// says so (the callers insert or update the quote themselves). The rows that hang off a quote
// (workings, quantities, specification text, tab texts) are read and written in the database
// under the quote's QTE:QuoteID, which the caller has taken from the counter already, whether
// or not the quote row itself is inserted yet.
//
// Every operation that writes several rows does so in one transaction: all or nothing.
// An object belongs to the thread that made it, as the database connections do.
class QuoteLibrary
{
public:
    QuoteLibrary(Database &db, const Session &session);

    // What COPYQUOTE copies. The callers' arguments (source, "N", 1, 0, automatic, 0) map to
    // mode "N", workings true, notes false, attachments false; the automatic flag has no bearing on
    // the copy, which never asks anything.
    struct CopyOptions
    {
        QString mode = QStringLiteral("N"); // "N": onto a new quote (the only mode)
        bool workings = true; // workings lines and the quantity rows
        bool notes = false;
        bool attachments = false; // attachment rows only; files stay where they are
    };

    // COPYQUOTE: copies the rows of quote `sourceId` onto quote `targetId`: its specification text
    // record and its tab texts always, its workings and quantity rows (QuoteQuantities) with
    // `workings`, its notes and attachment rows when asked. Each copy takes a new identifier and the
    // target's QuoteID (orders and web requests they were linked to are cleared); rows of those
    // kinds that the target already has are replaced. The quote record itself is not touched: the
    // callers copy the header by keeping the source in their buffer under the new identifier.
    // NotFound when the source quote does not exist; Error for a target of 0 or equal to the source,
    // another mode, or a failed write (nothing copied then).
    Status copyQuote(qint32 sourceId, qint32 targetId, const CopyOptions &options);
    Status copyQuote(qint32 sourceId, qint32 targetId) { return copyQuote(sourceId, targetId, CopyOptions()); }

    // ASSIGNMARKUPS (callers' arguments 1, 1, 0, 0): chooses the quote's markup profile
    // (QTE:Markup) - the client's (CLI:Markup) when `useClientProfile` and the client has one, else
    // the quote's own, else the job type's (JOB:Markup), else the web default (DEF:WebMarkup) - and
    // the markup method (QTE:MarkupMethod: the quote's own, else the job type's, else "Percent").
    // With `applyToWorkings`, every workings line takes the profile's percentage for its type
    // ("M" material, "L" labour, "O" outwork) as valid on `onDate` (0: today); lines carried over
    // from an order (WRK:CostCode "NONE") keep theirs, and with `keepLineMarkups` so does every line
    // that has a non-zero markup. Lines that change are written and QTE:Calculate becomes 1.
    // A profile without a valid period leaves the lines alone (Ok).
    Status assignMarkups(Record &quote, bool useClientProfile = true, bool applyToWorkings = true,
        bool keepLineMarkups = false, qint32 onDate = 0);

    // CHECKMARKUP: Ok when the markup profile has a period that includes `onDate` (0: today):
    // MKP:ValidFrom on or before it and MKP:ValidTo 0 or on or after it; *markup takes that row
    // (the latest such period).
    // NotFound otherwise.
    Status checkMarkup(const QString &profile, qint32 onDate = 0, Record *markup = nullptr);

    // ASSIGNQUANTITIES: brings the quote's quantity list and its QuoteQuantities rows in step.
    // The list ends at the first zero quantity (later ones are cleared with their texts and
    // amounts); a quantity already in the list is dropped and the ones after it move up with their
    // texts and amounts, so that each quantity appears once; an empty quantity text becomes the
    // number. When the first quantity differs from the
    // one the workings were based on (quantity row 1), the run lines' quantities are rescaled to the
    // new first quantity (QTE:Calculate becomes 1). Row i of QuoteQuantities takes quantity i and its
    // text (a new row: unit "Each", price quantity = quantity, unit quantity 1); rows past the list are
    // removed. A QTE:QuantityIndex past the list becomes 0.
    Status assignQuantities(Record &quote);

    // The quantity a web request asks for, on a quote that has just taken the request's fields by
    // name over a copy of `source` (the template or previous quote; a record without quantities
    // when there is none): the request's Quantity1 leads, and the other quantities of `source`
    // follow in their order, each once, with their texts and amounts, five at most. When `source`
    // lists the requested quantity, its slot moves to the front with its text and amounts;
    // otherwise the lead has no text yet. The request's SellingPrice1 (the website's price for its
    // quantity), when not zero, becomes the lead's target price, and its Weight1, when not zero,
    // the lead's weight. A request without a quantity (Quantity1 0) leaves the list of `source`.
    // Nothing is read or written: ASSIGNQUANTITIES follows.
    static void leadWithRequestedQuantity(Record &quote, const Record &source);

    // ASSIGNQUOTESPEC: QTE:Spec becomes the summary of the quote's specification text record
    // (SpecSections::summary); empty when the quote has none.
    Status assignQuoteSpec(Record &quote);

    // SYNCQUOTESPEC: the quote's tab texts on specification tabs (TAB:SpecSection 1 and a section
    // name, see SpecSections) take the texts of the quote's specification record: a tab text is
    // updated, or inserted when missing and its section has text, or removed when the section is
    // empty; further tab texts of the quote on the same tab are removed. Tab texts on other tabs
    // are left alone. Without a specification record every section counts as empty.
    Status syncQuoteSpec(const Record &quote);

    // CALCQUOTE (callers' arguments 1, 1, 0): costs the workings at the quote's quantities.
    // `refreshCosts`: lines linked to a material, labour or outwork take its current unit cost
    // (MTL:UnitCost, LAB:CostRate, OUT:UnitCost), except lines carried over from an order (WRK:CostCode
    // "NONE"). `saveWorkings`: the lines' unit price, cost and selling price are written. The quote
    // takes CostTotal_i and SellingPrice_i = the calculated price for every quantity (`quantity` 0) or
    // only for quantity `quantity` (1..5), then the totals (calcTotals); QTE:Calculate becomes 0 and
    // QTE:PriceCalculated 1.
    Status calcQuote(Record &quote, bool refreshCosts = true, bool saveWorkings = true, int quantity = 0);

    // CALCPRICE: prices the quote from its workings as stored, with the calculation parameters:
    // CALCP:Qty (0: all quantities, else that one), CALCP:MarkupMethod (empty: the quote's),
    // CALCP:TargetPrice_i, the ExtrasToAdd totals, CALCP:IncludeTax. The quote takes the method, the
    // target prices and the tax flag, CostTotal_i and SellingPrice_i (see the model); PriceCalculated
    // is 1 when every price came from the workings. CALCP:CalcComm: CALCP:CommBasis_i (the net price)
    // and CALCP:CommRate_i (QTE:CommissionRate) are filled and QTE:Commission_i set.
    // CALCP:CalcTotals: the totals are calculated as well (calcTotals).
    // CALCP:UseCurrency only marks the quote (QTE:UseCurrency): amounts are always held in the
    // company's currency. FileRequest, AdjustSplit and Silent change nothing: nothing is asked.
    // Error, and the quote and `params` left as they were: an unreadable workings table, an amount too
    // large for its field, or a tax code missing from the tax-rate table when the tax is needed
    // (IncludeTax, CalcComm or CalcTotals).
    Status calcPrice(params::PriceCalcParams &params, Record &quote);

    // CALCTOTALS: per quantity in the list, from SellingPrice_i and CostTotal_i: TaxAmount_i at the
    // quote's tax code, MarkupTotal_i, Commission_i; amounts of quantities past the list become zero;
    // QTE:TaxRate the combined rate. The quote's QuoteQuantities rows take the unit price
    // (net price / price quantity). Error, and the quote left as it was: a tax code that is not in
    // the tax-rate table, or an amount too large for its field.
    Status calcTotals(Record &quote);

    // CALCQUOTEAUTO (callers' arguments: the 36-byte EXTG: record, 1, 1, 1): prices an automatic web
    // quote without a user: calcQuote (costs refreshed, workings written), then calcPrice with the
    // quote's own method, target prices and tax flag plus the extras, commission included; then with
    // `calcTotals` the totals, with `assignNumber` a quote number when it has none, and with `save`
    // the quote written (updated, or inserted when it is not in the table yet). EXTG:DisplayQuote
    // shows nothing here: showing the quote is UPDATEQUOTE's.
    Status calcQuoteAuto(const params::PricingExtras &extras, Record &quote, bool assignNumber = true,
        bool calcTotals = true, bool save = true);

    // ASSIGNQUOTENUMBER: a quote without a number (QTE:Number 0) takes the next quote number from
    // the system configuration's counter SYCONF:LastQuoteNo, which is raised in the same statement.
    // The number is never below a number already on a quote, and two connections never get the same
    // one. A quote that has a number keeps it. Error: no system configuration record, or a failed write.
    Status assignQuoteNumber(Record &quote);
    // Steps the counter back after a numbered quote was removed again, when `number` is still the
    // last one issued (otherwise the gap stays). Ok either way unless the write fails.
    Status releaseQuoteNumber(qint32 number);
    // The quote number counter (SYCONF:LastQuoteNo).
    static NumberCounter quoteNumbers(Database &db);

    // ASSIGNSIGNATORY: who signs the quote letter: QTE:SignatoryID and QTE:Signatory (full name).
    // `source` 1: the logged-on user; 2: the quote's rep (QTE:Rep); 3: its estimator (QTE:Estimator).
    // A rep or estimator who is not in the user table gives way to the logged-on user; a logged-on
    // user not in the table signs with the session's identifier and name. A quote whose signatory
    // is 99999999 (an RFQ: no signatory wanted) is left alone.
    enum SignatorySource { SignLoggedOnUser = 1, SignRep = 2, SignEstimator = 3 };
    Status assignSignatory(Record &quote, int source = SignLoggedOnUser);

    // ASSIGNCOMMISSION (callers' argument "QTE"): the quote's commission follows its rep: QTE:RepCode
    // takes the rep user's commission code (USR:RepCode); a rep who is not in the user table or is
    // not a sales rep (USR:IsRep 0) earns none (QTE:CommissionRate 0). Commission_i is recalculated
    // (net price x rate). Error for a record type other than "QTE".
    Status assignCommission(const QString &recordType, Record &quote);

    // SELECTINCLUDES: which optional workings lines (WRK:Optional 1) the quote includes in its price.
    // `automatic` (the callers' argument 1, used when no user is there to choose): every optional
    // line is included; the lines that change are written and QTE:Calculate becomes 1. Choosing the
    // lines one by one needs the user and is not available here: Error, nothing changed.
    Status selectIncludes(Record &quote, bool automatic);

    // Removes quote `quoteId` with the rows that belong to it (workings, quantities, specification
    // text, tab texts, notes, attachment rows; orders and materials only lose the link). The quote
    // row itself may be missing: a new quote whose rows were written before it was stored. Files
    // are not touched. All or nothing.
    Status removeQuote(qint32 quoteId);

    // The quantities of the quote's list (up to the first zero).
    static QList<qint64> quantities(const Record &quote);

private:
    struct Costing
    {
        Decimal cost[PricingModel::kQuantities];
        Decimal calculated[PricingModel::kQuantities];
    };
    Status readWorkings(qint32 quoteId, QList<Record> *lines);
    Status costWorkings(const Record &quote, bool refreshCosts, bool saveWorkings, Costing *costing);
    static Status refreshUnitCost(Record &line, Table &materials, Table &labour, Table &outwork);
    // The quote's local and general tax rates (zero for an empty code; Error for an unknown one).
    // A library object reads each code's rates once: a chain of operations on one quote prices it
    // at one set of rates.
    Status taxRates(const Record &quote, Decimal *localRate, Decimal *generalRate);
    // The net price and tax of each quantity in the list, from SellingPrice_i.
    Status taxSplits(const Record &quote, QList<PricingModel::TaxSplit> *splits, Decimal *combinedRate = nullptr);
    Status copyRows(const QString &table, const QString &keyName, qint32 sourceId, qint32 targetId,
        const std::function<void(Record &)> &adjust);
    Status deleteRows(const QString &table, const QString &where, const QVariantList &params);
    Status writeQuote(const Record &quote);
    // Error naming the first per-quantity amount that is too large for its field.
    static Status checkAmounts(const Record &quote);
    Status fetchUser(const QString &initials, Record *user);

    Database &m_db;
    const Session &m_session;
    QHash<QString, QPair<Decimal, Decimal>> m_taxRates; // code -> local, general
};

} // namespace bizlib
