#include "bizlib/dictionary/TableGroups.h"

// The resources that quote workings and order items are priced from (materials with their stock
// figures, labour, outwork), the links that add child items, job types and markup profiles.

namespace bizlib::dictionary {

namespace {

void describeMaterials(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Materials"), QStringLiteral("MTL"))
        .field(QStringLiteral("MaterialID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(26))
        .field(QStringLiteral("Description"), Type::CString(501))
        .field(QStringLiteral("Type"), Type::CString(3)) // "PO" product order, "WO" works order
        .field(QStringLiteral("Class"), Type::CString(21)) // "Product" ...
        .field(QStringLiteral("Category"), Type::CString(21)) // "Product": the order takes the packaging
        .field(QStringLiteral("QuoteID"), Type::Long()) // quote a works-order material is made to
        .field(QStringLiteral("WorksOrder"), Type::Byte()) // always goes on the works order
        .field(QStringLiteral("WorksDefault"), Type::Byte()) // the order's works setting it gives
        .field(QStringLiteral("Exclude"), Type::Byte())
        .field(QStringLiteral("LinkedItems"), Type::Byte()) // has child items (ResourceLinks)
        .field(QStringLiteral("Unit"), Type::CString(21))
        .field(QStringLiteral("UnitCost"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        // Stock figures shown beside web order items.
        .field(QStringLiteral("Stock"), Type::Byte()) // stock-controlled
        .field(QStringLiteral("StockType"), Type::CString(21))
        .field(QStringLiteral("OnHand"), Type::Decimal(15, 6))
        .field(QStringLiteral("Available"), Type::Decimal(15, 6))
        .field(QStringLiteral("Reorder"), Type::Decimal(11, 2))
        .field(QStringLiteral("PackType"), Type::CString(21))
        .field(QStringLiteral("PackDepth"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackWidth"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackHeight"), Type::Decimal(11, 4))
        .field(QStringLiteral("PackPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("PackQuantity"), Type::Decimal(15, 4))
        .field(QStringLiteral("Website"), Type::Byte()) // offered on the website
        .key(QStringLiteral("MATERIALIDKEY"), { QStringLiteral("MaterialID") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("Code") }, true)
        .autoNumber(QStringLiteral("MaterialID"));
}

void describeLabour(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Labour"), QStringLiteral("LAB"))
        .field(QStringLiteral("LabourID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(11))
        .field(QStringLiteral("Description"), Type::CString(101))
        .field(QStringLiteral("Category"), Type::CString(21))
        .field(QStringLiteral("CostRate"), Type::Decimal(15, 4))
        .field(QStringLiteral("SellRate"), Type::Decimal(15, 4))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("LinkedItems"), Type::Byte())
        .key(QStringLiteral("LABOURIDKEY"), { QStringLiteral("LabourID") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("Code") }, true)
        .autoNumber(QStringLiteral("LabourID"));
}

void describeOutwork(DictionaryBuilder &b)
{
    b.table(QStringLiteral("Outwork"), QStringLiteral("OUT"))
        .field(QStringLiteral("OutworkID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(21))
        .field(QStringLiteral("Description"), Type::CString(101))
        .field(QStringLiteral("Category"), Type::CString(21)) // "Sundry" for delivery and voucher codes
        .field(QStringLiteral("UnitCost"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("MarkupPercent"), Type::Decimal(9, 4))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("WorksDefault"), Type::Byte())
        .field(QStringLiteral("LinkedItems"), Type::Byte())
        .key(QStringLiteral("OUTWORKIDKEY"), { QStringLiteral("OutworkID") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("Code") }, true)
        .key(QStringLiteral("CATEGORYKEY"), { QStringLiteral("Category"), QStringLiteral("Code") })
        .autoNumber(QStringLiteral("OutworkID"));
}

void describeResourceLinks(DictionaryBuilder &b)
{
    // Child items added with a material, labour or outwork item. The parent is named by type letter
    // and identifier; identifiers of the three resource tables overlap, so the resource tables
    // carry no relation to this table (a delete by identifier alone would hit other types' links).
    b.table(QStringLiteral("ResourceLinks"), QStringLiteral("RLNK"))
        .field(QStringLiteral("ResourceLinkID"), Type::Long())
        .field(QStringLiteral("ParentType"), Type::CString(2))
        .field(QStringLiteral("ParentResourceID"), Type::Long())
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("ChildType"), Type::CString(2))
        .field(QStringLiteral("ChildResourceID"), Type::Long())
        .field(QStringLiteral("Quantity"), Type::Decimal(15, 6))
        .key(QStringLiteral("RESOURCELINKIDKEY"), { QStringLiteral("ResourceLinkID") }, true)
        .key(QStringLiteral("PARENTKEY"),
            { QStringLiteral("ParentType"), QStringLiteral("ParentResourceID"), QStringLiteral("Sequence") })
        .autoNumber(QStringLiteral("ResourceLinkID"));
}

void describeJobTypes(DictionaryBuilder &b)
{
    b.table(QStringLiteral("JobTypes"), QStringLiteral("JOB"))
        .field(QStringLiteral("JobTypeID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(11))
        .field(QStringLiteral("Description"), Type::CString(51))
        .field(QStringLiteral("MarkupMethod"), Type::CString(11))
        .field(QStringLiteral("Markup"), Type::CString(7))
        .field(QStringLiteral("Website"), Type::Byte())
        .key(QStringLiteral("JOBTYPEIDKEY"), { QStringLiteral("JobTypeID") }, true)
        .key(QStringLiteral("CODEKEY"), { QStringLiteral("Code") })
        .autoNumber(QStringLiteral("JobTypeID"));
}

void describeMarkups(DictionaryBuilder &b)
{
    // A markup profile (code of up to 6 characters) with the period it is valid for.
    b.table(QStringLiteral("Markups"), QStringLiteral("MKP"))
        .field(QStringLiteral("MarkupID"), Type::Long())
        .field(QStringLiteral("Markup"), Type::CString(7))
        .field(QStringLiteral("Description"), Type::CString(51))
        .field(QStringLiteral("ValidFrom"), Type::Date())
        .field(QStringLiteral("ValidTo"), Type::Date()) // 0: open-ended
        .field(QStringLiteral("MaterialPercent"), Type::Decimal(9, 4))
        .field(QStringLiteral("LabourPercent"), Type::Decimal(9, 4))
        .field(QStringLiteral("OutworkPercent"), Type::Decimal(9, 4))
        .key(QStringLiteral("MARKUPIDKEY"), { QStringLiteral("MarkupID") }, true)
        .key(QStringLiteral("MARKUPKEY"), { QStringLiteral("Markup"), QStringLiteral("-ValidFrom") })
        .autoNumber(QStringLiteral("MarkupID"));
}

} // namespace

void describeResourceTables(DictionaryBuilder &b)
{
    describeMaterials(b);
    describeLabour(b);
    describeOutwork(b);
    describeResourceLinks(b);
    describeJobTypes(b);
    describeMarkups(b);
}

} // namespace bizlib::dictionary
