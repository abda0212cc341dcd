#include "bizlib/dictionary/TableGroups.h"

// Quotes and what hangs off a quote or an order: workings, quantities, specification texts, tab
// texts, notes and attachments. Fields that match a web table's field by name receive it in the
// field-by-name copies of the conversions, so those keep the web table's name and type.

namespace bizlib::dictionary {

namespace {

void describeQuotes(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("Quotes"), QStringLiteral("QTE"));
    t.alias(QStringLiteral("QTEA")) // the alias holds a template or source quote beside the new one
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("Number"), Type::Long()) // quote number, issued from SYCONF's LastQuoteNo
        .field(QStringLiteral("Revision"), Type::CString(2))
        .field(QStringLiteral("QuoteType"), Type::CString(11)) // "Quote" or "RFQ"
        .field(QStringLiteral("Status"), Type::CString(21))
        .field(QStringLiteral("Title"), Type::CString(501))
        .field(QStringLiteral("Spec"), Type::CString(4001))
        .field(QStringLiteral("WebID"), Type::Long()) // web reference of the request or web order
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("Name"), Type::CString(51)) // client name
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("Address"), Type::CString(281))
        .field(QStringLiteral("JobTypeID"), Type::Long())
        .field(QStringLiteral("ProductCode"), Type::CString(26))
        .field(QStringLiteral("ArtworkPath"), Type::CString(257))
        .field(QStringLiteral("Rep"), Type::CString(4))
        .field(QStringLiteral("RepCode"), Type::CString(11)) // the rep user's commission code
        .field(QStringLiteral("Estimator"), Type::CString(4))
        .field(QStringLiteral("CreatedBy"), Type::CString(4))
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedAt"), Type::Time())
        .field(QStringLiteral("SignatoryID"), Type::Long()) // 99999999 on an RFQ: no signatory wanted
        .field(QStringLiteral("Signatory"), Type::CString(51))
        .field(QStringLiteral("TemplateID"), Type::Long())
        .field(QStringLiteral("PreviousID"), Type::Long())
        .field(QStringLiteral("IsTemplate"), Type::Byte())
        .field(QStringLiteral("OrderID"), Type::Long()) // the order the quote was won as (0: none)
        .field(QStringLiteral("OpportunityID"), Type::Long())
        .field(QStringLiteral("CampaignID"), Type::Long())
        .field(QStringLiteral("ProjectID"), Type::Long())
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("HasAttachments"), Type::Byte())
        .field(QStringLiteral("RFQ"), Type::Byte())
        .field(QStringLiteral("AutoWebQuote"), Type::Byte()) // generated for a web order, priced without a user
        .field(QStringLiteral("WebCalc"), Type::Byte()) // the website calculated the price
        .field(QStringLiteral("Website"), Type::Byte()) // synchronised to the website
        .field(QStringLiteral("Checked"), Type::Byte()) // a user has checked the quote
        .field(QStringLiteral("Calculate"), Type::Byte()) // the workings need calculating before pricing
        .field(QStringLiteral("PriceCalculated"), Type::Byte()) // price from the workings, not a target price
        // Pricing settings; a chosen template passes on the job type and these five.
        .field(QStringLiteral("MarkupMethod"), Type::CString(11))
        .field(QStringLiteral("Markup"), Type::CString(7)) // markup profile
        .field(QStringLiteral("PriceList"), Type::CString(13)) // price-list code
        .field(QStringLiteral("UseTargetPrice"), Type::Byte())
        .field(QStringLiteral("IncludeTax"), Type::Byte())
        .field(QStringLiteral("UseCurrency"), Type::Byte())
        .field(QStringLiteral("Currency"), Type::CString(21))
        .field(QStringLiteral("ExchangeRate"), Type::Decimal(13, 6))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxCodeForce"), Type::Byte())
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("CommissionRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("Depth"), Type::Decimal(11, 4))
        .field(QStringLiteral("Width"), Type::Decimal(11, 4))
        .field(QStringLiteral("Pages"), Type::UShort())
        .field(QStringLiteral("RunOn"), Type::Decimal(11, 0))
        .field(QStringLiteral("RunOnPrice"), Type::Decimal(13, 2))
        .field(QStringLiteral("QuantityIndex"), Type::Byte()); // which of the five quantities was ordered
    // Up to five quantities (0 ends the list), each with its text, prices and totals.
    addFive(t, QStringLiteral("Quantity"), Type::Long());
    addFive(t, QStringLiteral("QuantityText"), Type::CString(81));
    addFive(t, QStringLiteral("TargetPrice"), Type::Decimal(15, 2));
    addFive(t, QStringLiteral("CostTotal"), Type::Decimal(15, 2));
    addFive(t, QStringLiteral("MarkupTotal"), Type::Decimal(15, 2));
    addFive(t, QStringLiteral("SellingPrice"), Type::Decimal(15, 2));
    addFive(t, QStringLiteral("TaxAmount"), Type::Decimal(13, 2));
    addFive(t, QStringLiteral("Commission"), Type::Decimal(13, 2));
    addFive(t, QStringLiteral("Weight"), Type::Decimal(13, 2));
    t.key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID") }, true)
        .key(QStringLiteral("NUMBERKEY"), { QStringLiteral("Number"), QStringLiteral("Revision") })
        .key(QStringLiteral("CLIENTWEBKEY"),
            { QStringLiteral("ClientID"), QStringLiteral("Website"), QStringLiteral("-CreatedOn") })
        .key(QStringLiteral("TEMPLATEKEY"), { QStringLiteral("IsTemplate"), QStringLiteral("Title") })
        .key(QStringLiteral("ESTIMATORKEY"), { QStringLiteral("Estimator"), QStringLiteral("Status") })
        .autoNumber(QStringLiteral("QuoteID"))
        .related(QStringLiteral("QuoteWorkings"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("QuoteQuantities"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("SpecTexts"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("TabTexts"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("Notes"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("Attachments"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        // Orders and materials outlive a removed quote; they only lose the link.
        .related(
            QStringLiteral("Orders"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } }, RelationRule::Clear)
        .related(QStringLiteral("Materials"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } },
            RelationRule::Clear);
}

void describeQuoteWorkings(DictionaryBuilder &b)
{
    b.table(QStringLiteral("QuoteWorkings"), QStringLiteral("WRK"))
        .field(QStringLiteral("WorkingID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("Type"), Type::CString(2)) // "M" material, "L" labour, "O" outwork
        .field(QStringLiteral("Category"), Type::CString(21)) // "Adhoc", "User" ...
        .field(QStringLiteral("MaterialID"), Type::Long())
        .field(QStringLiteral("LabourID"), Type::Long())
        .field(QStringLiteral("OutworkID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(26))
        .field(QStringLiteral("Description"), Type::CString(500))
        .field(QStringLiteral("Quantity"), Type::Decimal(15, 6))
        .field(QStringLiteral("UnitCost"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("Cost"), Type::Decimal(15, 2))
        .field(QStringLiteral("MarkupPercent"), Type::Decimal(9, 4))
        .field(QStringLiteral("SellingPrice"), Type::Decimal(15, 2))
        .field(QStringLiteral("PricingBasis"), Type::CString(4)) // "Fix", "Use" ...
        .field(QStringLiteral("CostCode"), Type::CString(26)) // "NONE" for lines carried over from an order
        .field(QStringLiteral("FixedCharge"), Type::Byte())
        // An optional line (an extra the client may take) counts in the price only while included.
        .field(QStringLiteral("Optional"), Type::Byte())
        .field(QStringLiteral("Included"), Type::Byte())
        .key(QStringLiteral("WORKINGIDKEY"), { QStringLiteral("WorkingID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("Sequence") })
        .autoNumber(QStringLiteral("WorkingID"));
}

void describeQuoteQuantities(DictionaryBuilder &b)
{
    // Units of each of a quote's quantities, which an order placed for that quantity takes over.
    b.table(QStringLiteral("QuoteQuantities"), QStringLiteral("QQTY"))
        .field(QStringLiteral("QuoteQuantityID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("QuantityIndex"), Type::Byte()) // 1 .. 5
        .field(QStringLiteral("Quantity"), Type::Long())
        .field(QStringLiteral("QuantityText"), Type::CString(81))
        .field(QStringLiteral("UnitText"), Type::CString(21))
        .field(QStringLiteral("PriceQuantity"), Type::Decimal(11, 2))
        .field(QStringLiteral("UnitQuantity"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .key(QStringLiteral("QUOTEQUANTITYIDKEY"), { QStringLiteral("QuoteQuantityID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("QuantityIndex") }, true)
        .autoNumber(QStringLiteral("QuoteQuantityID"));
}

void describeSpecTexts(DictionaryBuilder &b)
{
    // One record per quote or per order: the twelve specification sections.
    auto t = b.table(QStringLiteral("SpecTexts"), QStringLiteral("SPTXT"));
    t.field(QStringLiteral("SpecTextID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long());
    addSpecSections(t, QString());
    t.key(QStringLiteral("SPECTEXTIDKEY"), { QStringLiteral("SpecTextID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID") })
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID") })
        .autoNumber(QStringLiteral("SpecTextID"));
}

void describeTabTexts(DictionaryBuilder &b)
{
    // A row with a web request set and no quote/order belongs to the request.
    b.table(QStringLiteral("TabTexts"), QStringLiteral("TXT"))
        .alias(QStringLiteral("TXTA"))
        .field(QStringLiteral("TabTextID"), Type::Long())
        .field(QStringLiteral("TabID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("WebQuoteID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("WebOrderID"), Type::Long())
        .field(QStringLiteral("Text"), Type::Text())
        .key(QStringLiteral("TABTEXTIDKEY"), { QStringLiteral("TabTextID") }, true)
        .key(QStringLiteral("QUOTEIDTABIDKEY"),
            { QStringLiteral("QuoteID"), QStringLiteral("TabID"), QStringLiteral("TabTextID") })
        .key(QStringLiteral("WEBQUOTEIDTABIDKEY"),
            { QStringLiteral("WebQuoteID"), QStringLiteral("TabID"), QStringLiteral("TabTextID") })
        .key(QStringLiteral("ORDERIDTABIDKEY"),
            { QStringLiteral("OrderID"), QStringLiteral("TabID"), QStringLiteral("TabTextID") })
        .key(QStringLiteral("WEBORDERIDTABIDKEY"),
            { QStringLiteral("WebOrderID"), QStringLiteral("TabID"), QStringLiteral("TabTextID") })
        .autoNumber(QStringLiteral("TabTextID"));
}

void describeTabs(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Tabs"), QStringLiteral("TAB"))
        .field(QStringLiteral("TabID"), Type::Long())
        .field(QStringLiteral("Name"), Type::CString(31)) // "Size", "Prepress" ... names a section
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("SpecSection"), Type::Byte()) // 1: the tab feeds a specification section
        .key(QStringLiteral("TABIDKEY"), { QStringLiteral("TabID") }, true)
        .key(QStringLiteral("NAMEKEY"), { QStringLiteral("Name") })
        .key(QStringLiteral("SEQUENCEKEY"), { QStringLiteral("Sequence") })
        .autoNumber(QStringLiteral("TabID"))
        .related(QStringLiteral("TabTexts"), { { QStringLiteral("TabID"), QStringLiteral("TabID") } });
}

// Notes and attachments of quotes and orders. QuoteID / OrderID name the owner (as ParentType and
// ParentID do); a field-by-name copy from a web record brings the web request's identifiers, so
// whoever copies sets both owner fields afterwards.
void describeNotes(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Notes"), QStringLiteral("NTE"))
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("ParentType"), Type::CString(11)) // "QTE" or "ORD"
        .field(QStringLiteral("ParentID"), Type::Long())
        .field(QStringLiteral("Subject"), Type::CString(61))
        .field(QStringLiteral("Class"), Type::CString(21))
        .field(QStringLiteral("Notes"), Type::CString(2049))
        .field(QStringLiteral("Document"), Type::CString(257))
        .field(QStringLiteral("Priority"), Type::Text())
        .field(QStringLiteral("OnQuote"), Type::Byte())
        .field(QStringLiteral("OnOrder"), Type::Byte())
        .field(QStringLiteral("OnProof"), Type::Byte())
        .field(QStringLiteral("OnDelivery"), Type::Byte())
        .field(QStringLiteral("OnInvoice"), Type::Byte())
        .field(QStringLiteral("OnPOrder"), Type::Byte())
        .field(QStringLiteral("OnPInvoice"), Type::Byte())
        .field(QStringLiteral("OnClient"), Type::Byte())
        .field(QStringLiteral("OnSupplier"), Type::Byte())
        .field(QStringLiteral("OnJobBag"), Type::Byte())
        .field(QStringLiteral("OnStock"), Type::Byte())
        .field(QStringLiteral("OnCRM"), Type::Byte())
        .field(QStringLiteral("Alert"), Type::Byte())
        .field(QStringLiteral("CreatedBy"), Type::CString(4))
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedAt"), Type::Time())
        .field(QStringLiteral("ReadOn"), Type::Date())
        .field(QStringLiteral("ReadAt"), Type::Time())
        .field(QStringLiteral("ReadBy"), Type::CString(4))
        .field(QStringLiteral("Actioned"), Type::Byte())
        .field(QStringLiteral("ActionedOn"), Type::Date())
        .field(QStringLiteral("ActionedAt"), Type::Time())
        .field(QStringLiteral("ActionedBy"), Type::CString(4))
        .field(QStringLiteral("UpdatedOn"), Type::Date())
        .field(QStringLiteral("UpdatedAt"), Type::Time())
        .field(QStringLiteral("UpdatedBy"), Type::CString(4))
        .key(QStringLiteral("NOTEIDKEY"), { QStringLiteral("NoteID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("NoteID") })
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID"), QStringLiteral("NoteID") })
        .key(QStringLiteral("PARENTKEY"), { QStringLiteral("ParentType"), QStringLiteral("ParentID") })
        .autoNumber(QStringLiteral("NoteID"));
}

void describeAttachments(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Attachments"), QStringLiteral("ATT"))
        .field(QStringLiteral("AttachmentID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("OrderItemID"), Type::Long()) // the order item the file belongs to (0: the order)
        .field(QStringLiteral("ParentType"), Type::CString(11))
        .field(QStringLiteral("ParentID"), Type::Long())
        .field(QStringLiteral("SourceName"), Type::CString(513))
        .field(QStringLiteral("SourceFile"), Type::CString(513))
        .field(QStringLiteral("LocalPath"), Type::CString(257))
        .field(QStringLiteral("Filename"), Type::CString(513))
        .field(QStringLiteral("Artwork"), Type::Byte())
        .field(QStringLiteral("Output"), Type::Byte())
        .field(QStringLiteral("UseSource"), Type::Byte())
        .field(QStringLiteral("Copied"), Type::Byte()) // the file was copied to the company's folder
        .field(QStringLiteral("Website"), Type::Byte()) // came from the website
        .key(QStringLiteral("ATTACHMENTIDKEY"), { QStringLiteral("AttachmentID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("Filename") })
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID"), QStringLiteral("Filename") })
        .key(QStringLiteral("ORDERITEMIDKEY"), { QStringLiteral("OrderItemID") })
        .key(QStringLiteral("PARENTKEY"), { QStringLiteral("ParentType"), QStringLiteral("ParentID") })
        .autoNumber(QStringLiteral("AttachmentID"));
}

} // namespace

void describeQuoteTables(DictionaryBuilder &b)
{
    describeQuotes(b);
    describeQuoteWorkings(b);
    describeQuoteQuantities(b);
    describeSpecTexts(b);
    describeTabTexts(b);
    describeTabs(b);
    describeNotes(b);
    describeAttachments(b);
}

} // namespace bizlib::dictionary
