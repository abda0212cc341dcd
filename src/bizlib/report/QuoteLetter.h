#pragma once

#include "bizlib/Record.h"
#include "bizlib/Status.h"

#include <QList>
#include <QString>

namespace bizlib {

class Database;

// The quote letter as an HTML document for QTextDocument: the company's letterhead, the client
// with its address and contact, the letter's date, the quote number and title, the
// specification sections (the Private section left out), the quantities with their prices
// (net, tax and total; converted to the quote's currency when QTE:UseCurrency is set and an
// exchange rate is given), optionally the workings lines, and the signatory.
// A request for quotation (QTE:QuoteType "RFQ") has no prices and no signature.
class QuoteLetter
{
public:
    // Gathers what the letter shows for `quote` (its record as the caller holds it): the company
    // record, the client, contact and signatory user, the specification text record and the
    // workings. Missing records leave their part of the letter empty; a failed read is an Error.
    static Status load(Database &db, const Record &quote, QuoteLetter *letter);

    // With `detailed` the workings lines are listed below the prices.
    void setDetailed(bool detailed) { m_detailed = detailed; }
    // The letter's date (a DATE day number); 0: today.
    void setDate(qint32 day) { m_date = day; }

    // The letter's typeface (regular and bold) and size: one family, so that a PDF embeds two fonts.
    static QString fontFamily();
    static constexpr double kFontPoints = 10;

    // "Quote 24101A", or "Request for quotation 24101#".
    QString title() const;
    // Quote number and revision letter: "24101A".
    QString reference() const;
    QString html() const;

private:
    QString letterhead() const;
    QString recipient() const;
    QString pricesTable() const;
    QString specification() const;
    QString workings() const;
    // An amount in the letter's currency, with thousands separators.
    QString money(const Decimal &amount) const;
    bool isRfq() const;

    Record m_quote;
    Record m_company;
    Record m_client;
    Record m_contact;
    Record m_spec;
    Record m_signatory;
    QList<Record> m_workings;
    bool m_detailed = false;
    qint32 m_date = 0;
};

} // namespace bizlib
