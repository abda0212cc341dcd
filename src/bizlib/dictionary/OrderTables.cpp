#include "bizlib/dictionary/TableGroups.h"

// Orders (jobs), their items, and the invoice headers that website synchronisation resets.
// An order is built from a web order by a field-by-name copy, so the fields it shares with the
// web order keep the web order's names and types.

namespace bizlib::dictionary {

namespace {

void describeOrders(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("Orders"), QStringLiteral("ORD"));
    t.alias(QStringLiteral("ORDA")) // the alias reads the previous order a repeat is copied from
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("JobNo"), Type::Long()) // job number, issued from SYCONF's LastJobNo
        .field(QStringLiteral("Number"), Type::Long()) // the web order's number
        .field(QStringLiteral("Revision"), Type::Long())
        .field(QStringLiteral("WebID"), Type::Long())
        .field(QStringLiteral("OrderType"), Type::CString(16)) // "Product", "Service"
        .field(QStringLiteral("Status"), Type::CString(21))
        .field(QStringLiteral("Works"), Type::Byte()) // produced as a works order
        .field(QStringLiteral("StockOrder"), Type::Byte()) // supplied from stock as a product order
        .field(QStringLiteral("OrderSequence"), Type::Long()) // place among the orders made from one web order
        .field(QStringLiteral("ItemNumber"), Type::Long()) // number of the last item converted into it
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("Name"), Type::CString(51)) // client name
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("Address"), Type::CString(281))
        .field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("DClientID"), Type::Long())
        .field(QStringLiteral("DClientCode"), Type::CString(11))
        .field(QStringLiteral("DOfficeID"), Type::Long())
        .field(QStringLiteral("DOffice"), Type::CString(11))
        .field(QStringLiteral("DContactID"), Type::Long())
        .field(QStringLiteral("DContact"), Type::CString(51))
        .field(QStringLiteral("DName"), Type::CString(51))
        .field(QStringLiteral("DAddress"), Type::CString(281));
    addAddressLines(t, QStringLiteral("D"));
    t.field(QStringLiteral("DCountryID"), Type::Long())
        .field(QStringLiteral("DCountry"), Type::CString(41))
        .field(QStringLiteral("DCountryCode"), Type::CString(4))
        .field(QStringLiteral("DTel"), Type::CString(26))
        .field(QStringLiteral("DEmail"), Type::CString(81))
        .field(QStringLiteral("DMethod"), Type::CString(31)) // delivery method, kept as list options
        .field(QStringLiteral("Title"), Type::CString(501))
        .field(QStringLiteral("Spec"), Type::CString(1001))
        .field(QStringLiteral("OrderNo"), Type::CString(36)) // the client's order number
        .field(QStringLiteral("ExternalRef"), Type::CString(16))
        .field(QStringLiteral("Priority"), Type::CString(11))
        // The quantity as text, as the web order gives it, and its numeric value.
        .field(QStringLiteral("Quantity"), Type::CString(81))
        .field(QStringLiteral("QuantityValue"), Type::Long())
        .field(QStringLiteral("QuantityIndex"), Type::Byte())
        .field(QStringLiteral("UnitText"), Type::CString(21)) // "Job" when nothing else is given
        .field(QStringLiteral("PriceQuantity"), Type::Decimal(11, 2))
        .field(QStringLiteral("UnitQuantity"), Type::Decimal(15, 4))
        .field(QStringLiteral("QuotePrice"), Type::Decimal(15, 2)) // net value of the order
        .field(QStringLiteral("Tax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Total"), Type::Decimal(15, 2))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxCodeForce"), Type::Byte())
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("Prepay"), Type::Byte())
        .field(QStringLiteral("Prepaid"), Type::Byte())
        .field(QStringLiteral("Required"), Type::Date())
        .field(QStringLiteral("DueDate"), Type::Date())
        .field(QStringLiteral("DueTime"), Type::Time())
        .field(QStringLiteral("Weight"), Type::Decimal(13, 2))
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("QuoteNo"), Type::Long())
        .field(QStringLiteral("QuoteRevision"), Type::CString(2))
        .field(QStringLiteral("PreviousID"), Type::Long())
        .field(QStringLiteral("WebSignupID"), Type::Long())
        .field(QStringLiteral("StockCode"), Type::CString(26))
        .field(QStringLiteral("ProductCode"), Type::CString(26))
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("Notes"), Type::CString(501))
        .field(QStringLiteral("HasAttachments"), Type::Byte())
        .field(QStringLiteral("ArtworkPath"), Type::CString(257))
        // Packaging taken from a product material.
        .field(QStringLiteral("PackType"), Type::CString(21))
        .field(QStringLiteral("PackDepth"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackWidth"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackHeight"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("PackQuantity"), Type::Long())
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedAt"), Type::Time())
        .field(QStringLiteral("CreatedBy"), Type::CString(4))
        .field(QStringLiteral("Owner"), Type::CString(4))
        .field(QStringLiteral("Website"), Type::Byte()) // synchronised to the website
        .field(QStringLiteral("Platform"), Type::CString(11))
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID") }, true)
        .key(QStringLiteral("JOBNOKEY"), { QStringLiteral("JobNo") })
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID") })
        .key(QStringLiteral("CLIENTWEBKEY"),
            { QStringLiteral("ClientID"), QStringLiteral("Website"), QStringLiteral("-CreatedOn") })
        .autoNumber(QStringLiteral("OrderID"))
        .related(QStringLiteral("OrderItems"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("SpecTexts"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("TabTexts"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("Notes"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("Attachments"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("InvoiceHeaders"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } },
            RelationRule::Clear);
}

void describeOrderItems(DictionaryBuilder &b)
{
    b.table(QStringLiteral("OrderItems"), QStringLiteral("ORDI"))
        .field(QStringLiteral("OrderItemID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("LineNo"), Type::Long())
        .field(QStringLiteral("ParentItemID"), Type::Long()) // the item a linked (child) item belongs to
        .field(QStringLiteral("Type"), Type::CString(2)) // "M", "L", "O"
        .field(QStringLiteral("Code"), Type::CString(26))
        .field(QStringLiteral("Description"), Type::CString(500))
        .field(QStringLiteral("Quantity"), Type::Decimal(15, 6))
        .field(QStringLiteral("Quantity2"), Type::Decimal(15, 6))
        .field(QStringLiteral("MaterialID"), Type::Long())
        .field(QStringLiteral("LabourID"), Type::Long())
        .field(QStringLiteral("OutworkID"), Type::Long())
        .field(QStringLiteral("UnitCost"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("Cost"), Type::Decimal(15, 2))
        .field(QStringLiteral("UnitCost2"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice2"), Type::Decimal(15, 4))
        .field(QStringLiteral("Net"), Type::Decimal(15, 2))
        .field(QStringLiteral("FixedCharge1"), Type::Byte()) // the price is fixed, not recalculated
        .field(QStringLiteral("FixedCharge2"), Type::Byte())
        .field(QStringLiteral("PricingBasis"), Type::CString(4)) // three characters: "Fix", "Use" ...
        .field(QStringLiteral("CostCode"), Type::CString(26))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("LTaxRate"), Type::Decimal(9, 4)) // local, general and combined rate
        .field(QStringLiteral("GTaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("LTax"), Type::Decimal(13, 2))
        .field(QStringLiteral("GTax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Tax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Gross"), Type::Decimal(15, 2))
        .key(QStringLiteral("ORDERITEMIDKEY"), { QStringLiteral("OrderItemID") }, true)
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID"), QStringLiteral("Sequence") })
        .key(QStringLiteral("ORDERTYPECODEKEY"),
            { QStringLiteral("OrderID"), QStringLiteral("Type"), QStringLiteral("Code") })
        .key(QStringLiteral("PARENTITEMKEY"), { QStringLiteral("ParentItemID") })
        .autoNumber(QStringLiteral("OrderItemID"))
        // An item's files stay with the order when the item goes.
        .related(QStringLiteral("Attachments"), { { QStringLiteral("OrderItemID"), QStringLiteral("OrderItemID") } },
            RelationRule::Clear);
}

void describeInvoiceHeaders(DictionaryBuilder &b)
{
    b.table(QStringLiteral("InvoiceHeaders"), QStringLiteral("HDR"))
        .field(QStringLiteral("HeaderID"), Type::Long())
        .field(QStringLiteral("HeaderType"), Type::CString(3)) // "PF" pro-forma, "IN" invoice, "CR" credit
        .field(QStringLiteral("Number"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("InvoiceDate"), Type::Date())
        .field(QStringLiteral("Net"), Type::Decimal(15, 2))
        .field(QStringLiteral("Tax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Total"), Type::Decimal(15, 2))
        .field(QStringLiteral("Status"), Type::CString(21))
        .field(QStringLiteral("Website"), Type::Byte()) // synchronised to the website
        .key(QStringLiteral("HEADERIDKEY"), { QStringLiteral("HeaderID") }, true)
        .key(QStringLiteral("CLIENTWEBKEY"),
            { QStringLiteral("ClientID"), QStringLiteral("Website"), QStringLiteral("HeaderType"),
                QStringLiteral("-InvoiceDate") })
        .key(QStringLiteral("NUMBERKEY"), { QStringLiteral("HeaderType"), QStringLiteral("Number") })
        .autoNumber(QStringLiteral("HeaderID"));
}

} // namespace

void describeOrderTables(DictionaryBuilder &b)
{
    describeOrders(b);
    describeOrderItems(b);
    describeInvoiceHeaders(b);
}

} // namespace bizlib::dictionary
