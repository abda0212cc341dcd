#pragma once

#include <QString>

namespace quotes {

// The business record that a web request's texts, notes and attachments are copied onto: a new
// quote (from a web quote request) or a new order (from a web order). It names the fields and
// keys that differ between the two; the copying itself is the same.
struct ConversionOwner
{
    enum class Kind { Quote, Order };

    Kind kind = Kind::Quote;
    qint32 id = 0; // the new quote's or order's identifier
    qint32 requestId = 0; // the web request's identifier (WQTE:QuoteID or WORD:OrderID)

    static ConversionOwner quote(qint32 quoteId, qint32 webQuoteId) { return { Kind::Quote, quoteId, webQuoteId }; }
    static ConversionOwner order(qint32 orderId, qint32 webOrderId) { return { Kind::Order, orderId, webOrderId }; }

    bool isQuote() const { return kind == Kind::Quote; }
    QString parentType() const { return isQuote() ? QStringLiteral("QTE") : QStringLiteral("ORD"); }
    // The owner field of SpecTexts, TabTexts, Notes and Attachments, and the matching web field.
    QString ownerField() const { return isQuote() ? QStringLiteral("QuoteID") : QStringLiteral("OrderID"); }
    QString otherOwnerField() const { return isQuote() ? QStringLiteral("OrderID") : QStringLiteral("QuoteID"); }
    QString webTabField() const { return isQuote() ? QStringLiteral("WebQuoteID") : QStringLiteral("WebOrderID"); }
    // Keys: by owner (SpecTexts, Notes, Attachments and their web tables), tab texts by owner and
    // by web request.
    QString ownerKey() const { return isQuote() ? QStringLiteral("QUOTEIDKEY") : QStringLiteral("ORDERIDKEY"); }
    QString tabKey() const { return isQuote() ? QStringLiteral("QUOTEIDTABIDKEY") : QStringLiteral("ORDERIDTABIDKEY"); }
    QString webTabKey() const
    {
        return isQuote() ? QStringLiteral("WEBQUOTEIDTABIDKEY") : QStringLiteral("WEBORDERIDTABIDKEY");
    }
    // The folder of the company data folder that copies of the attachments go to.
    QString folderName() const { return isQuote() ? QStringLiteral("quotes") : QStringLiteral("orders"); }
};

} // namespace quotes
