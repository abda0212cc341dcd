#include "bizlib/Dictionary.h"
#include "bizlib/dictionary/TableGroups.h"

// The shared web tables that the web monitor fills and the console reads, claims and clears.
// Field names, types and keys are the interface with the web monitor and the list filters.

namespace bizlib {

using namespace dictionary;

namespace {

void describeWebQuotes(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("WebQuotes"), QStringLiteral("WQTE"));
    t.field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("Number"), Type::Long())
        .field(QStringLiteral("Revision"), Type::CString(2))
        .field(QStringLiteral("WebID"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("Title"), Type::CString(501))
        .field(QStringLiteral("Spec"), Type::CString(4001))
        .field(QStringLiteral("Quantity1"), Type::Long())
        .field(QStringLiteral("Depth"), Type::Decimal(11, 4))
        .field(QStringLiteral("Width"), Type::Decimal(11, 4))
        .field(QStringLiteral("Pages"), Type::UShort())
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("Rep"), Type::CString(4))
        .field(QStringLiteral("SellingPrice1"), Type::Decimal(15, 2))
        .field(QStringLiteral("RunOn"), Type::Decimal(11, 0))
        .field(QStringLiteral("RunOnPrice"), Type::Decimal(13, 2))
        .field(QStringLiteral("Weight1"), Type::Decimal(13, 2))
        .field(QStringLiteral("TemplateID"), Type::Long())
        .field(QStringLiteral("PreviousID"), Type::Long())
        .field(QStringLiteral("QuoteType"), Type::CString(11))
        .field(QStringLiteral("WebCalc"), Type::Byte())
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("HasAttachments"), Type::Byte())
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedAt"), Type::Time())
        .field(QStringLiteral("Status"), Type::CString(21))
        // Filled when a workstation claims the request: the office's (else the client's) formatted address.
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("Address"), Type::CString(281))
        // Hint handed to the template selection (width chosen here).
        .field(QStringLiteral("TemplateHint"), Type::CString(101));
    // The request's own specification sections, used when it has no tab texts. Named "Spec..." so
    // that they never meet a same-named field of the quote in the field-by-name copy.
    addSpecSections(t, QStringLiteral("Spec"));
    t.key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID") }, true)
        .key(QStringLiteral("NUMBERKEY"), { QStringLiteral("Number") })
        .trimmedIndex(QStringLiteral("Status"))
        .autoNumber(QStringLiteral("QuoteID"))
        .related(QStringLiteral("WebAttachments"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("WebNotes"), { { QStringLiteral("QuoteID"), QStringLiteral("QuoteID") } })
        .related(QStringLiteral("TabTexts"), { { QStringLiteral("QuoteID"), QStringLiteral("WebQuoteID") } });
}

void describeWebOrders(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("WebOrders"), QStringLiteral("WORD"));
    t.field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("Number"), Type::Long())
        .field(QStringLiteral("Revision"), Type::Long())
        .field(QStringLiteral("WebID"), Type::Long())
        .field(QStringLiteral("OrderType"), Type::CString(16))
        .field(QStringLiteral("StockCode"), Type::CString(26))
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("Contact"), Type::CString(51))
        .field(QStringLiteral("Quantity"), Type::CString(81))
        .field(QStringLiteral("Title"), Type::CString(501))
        .field(QStringLiteral("Spec"), Type::CString(1001))
        .field(QStringLiteral("OrderNo"), Type::CString(36))
        .field(QStringLiteral("QuotePrice"), Type::Decimal(15, 2))
        .field(QStringLiteral("Tax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Total"), Type::Decimal(15, 2))
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("Prepay"), Type::Byte())
        .field(QStringLiteral("Prepaid"), Type::Byte())
        .field(QStringLiteral("ExternalRef"), Type::CString(16))
        .field(QStringLiteral("Required"), Type::Date())
        .field(QStringLiteral("Priority"), Type::CString(11))
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("DOffice"), Type::CString(11))
        .field(QStringLiteral("Weight"), Type::Decimal(13, 2))
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("PreviousID"), Type::Long())
        .field(QStringLiteral("WebSignupID"), Type::Long())
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("Notes"), Type::CString(501))
        .field(QStringLiteral("HasAttachments"), Type::Byte())
        .field(QStringLiteral("CreatedOn"), Type::Date())
        .field(QStringLiteral("CreatedAt"), Type::Time())
        .field(QStringLiteral("Status"), Type::CString(21))
        // Invoice side written by sign-up acceptance; "XMLTFR" in Platform marks an XML transfer
        // (the platform width is not fixed by the web monitor; 10 characters are kept).
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("Address"), Type::CString(281))
        .field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("Platform"), Type::CString(11))
        // Delivery block. DOfficeID and DContactID of -1 mean "no delivery office/contact wanted".
        .field(QStringLiteral("DClientID"), Type::Long())
        .field(QStringLiteral("DClientCode"), Type::CString(11))
        .field(QStringLiteral("DOfficeID"), Type::Long())
        .field(QStringLiteral("DContact"), Type::CString(51))
        .field(QStringLiteral("DContactID"), Type::Long())
        .field(QStringLiteral("DName"), Type::CString(51)) // delivery company name; width chosen as the client name's
        .field(QStringLiteral("DAddress"), Type::CString(281));
    addAddressLines(t, QStringLiteral("D"));
    t.field(QStringLiteral("DCountryID"), Type::Long())
        .field(QStringLiteral("DCountry"), Type::CString(41)) // as CTY:CountryName
        .field(QStringLiteral("DCountryCode"), Type::CString(4)) // as CTY:CountryCode
        .field(QStringLiteral("DTel"), Type::CString(26))
        .field(QStringLiteral("DEmail"), Type::CString(81))
        // Carried into the business order by the field-by-name copy (widths chosen here): the
        // delivery method text and the 256-character artwork path/URL.
        .field(QStringLiteral("DMethod"), Type::CString(31))
        .field(QStringLiteral("ArtworkPath"), Type::CString(257));
    addSpecSections(t, QStringLiteral("Spec"));
    t.key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID") }, true)
        .key(QStringLiteral("NUMBERKEY"), { QStringLiteral("Number") })
        .key(QStringLiteral("WEBSIGNUPIDKEY"), { QStringLiteral("WebSignupID") })
        .trimmedIndex(QStringLiteral("Status"))
        .autoNumber(QStringLiteral("OrderID"))
        .related(QStringLiteral("WebOrderItems"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("WebAttachments"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("WebNotes"), { { QStringLiteral("OrderID"), QStringLiteral("OrderID") } })
        .related(QStringLiteral("TabTexts"), { { QStringLiteral("OrderID"), QStringLiteral("WebOrderID") } });
}

void describeWebOrderItems(DictionaryBuilder &b)
{
    b.table(QStringLiteral("WebOrderItems"), QStringLiteral("WORDI"))
        .field(QStringLiteral("OrderItemID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("Code"), Type::CString(26))
        .field(QStringLiteral("Description"), Type::CString(500))
        .field(QStringLiteral("Quantity"), Type::Decimal(15, 6))
        .field(QStringLiteral("Net"), Type::Decimal(15, 2))
        .field(QStringLiteral("Type"), Type::CString(2))
        // Line order, the parent web item of a linked item, and the resource the item names.
        .field(QStringLiteral("Sequence"), Type::Long())
        .field(QStringLiteral("ParentItemID"), Type::Long())
        .field(QStringLiteral("MaterialID"), Type::Long())
        .field(QStringLiteral("LabourID"), Type::Long())
        .field(QStringLiteral("OutworkID"), Type::Long())
        .field(QStringLiteral("Quantity2"), Type::Decimal(15, 6))
        // Pricing amounts as the website calculated them (names chosen here; the order item has the same).
        .field(QStringLiteral("UnitCost"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice"), Type::Decimal(15, 4))
        .field(QStringLiteral("Cost"), Type::Decimal(15, 2))
        .field(QStringLiteral("UnitCost2"), Type::Decimal(15, 4))
        .field(QStringLiteral("UnitPrice2"), Type::Decimal(15, 4))
        // Either flag set: the web price stands unchanged (no tax recalculation).
        .field(QStringLiteral("FixedCharge1"), Type::Byte())
        .field(QStringLiteral("FixedCharge2"), Type::Byte())
        .field(QStringLiteral("TaxCode"), Type::CString(11))
        .field(QStringLiteral("TaxRate"), Type::Decimal(9, 4))
        .field(QStringLiteral("Tax"), Type::Decimal(13, 2))
        .field(QStringLiteral("Gross"), Type::Decimal(15, 2))
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID") })
        .key(QStringLiteral("ORDERIDSEQUENCEKEY"), { QStringLiteral("OrderID"), QStringLiteral("Sequence") })
        .key(QStringLiteral("ORDERITEMIDKEY"), { QStringLiteral("OrderItemID") }, true)
        .autoNumber(QStringLiteral("OrderItemID"))
        .related(
            QStringLiteral("WebAttachments"), { { QStringLiteral("OrderItemID"), QStringLiteral("OrderItemID") } });
}

void describeWebSignup(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("WebSignup"), QStringLiteral("WSUP"));
    t.field(QStringLiteral("WebSignupID"), Type::Long())
        .field(QStringLiteral("FullName"), Type::CString(51))
        .field(QStringLiteral("Prefix"), Type::CString(16))
        .field(QStringLiteral("Sex"), Type::CString(2))
        .field(QStringLiteral("FirstName"), Type::CString(26))
        .field(QStringLiteral("LastName"), Type::CString(26))
        .field(QStringLiteral("Company"), Type::CString(51))
        .field(QStringLiteral("Position"), Type::CString(36));
    addAddressLines(t);
    t.field(QStringLiteral("CountryID"), Type::Long())
        .field(QStringLiteral("Tel"), Type::CString(26))
        .field(QStringLiteral("Fax"), Type::CString(26))
        .field(QStringLiteral("Mobile"), Type::CString(26))
        .field(QStringLiteral("Email"), Type::CString(81))
        .field(QStringLiteral("IsCustomer"), Type::Byte())
        .field(QStringLiteral("Automated"), Type::Byte())
        .field(QStringLiteral("Source"), Type::CString(21))
        .field(QStringLiteral("Response"), Type::CString(513))
        .field(QStringLiteral("ResponseDate"), Type::Date())
        .field(QStringLiteral("ResponseTime"), Type::Time())
        .field(QStringLiteral("ResponseBy"), Type::CString(4))
        .field(QStringLiteral("SignupDate"), Type::Date())
        .field(QStringLiteral("SignupTime"), Type::Time())
        .field(QStringLiteral("Status"), Type::CString(21))
        // Registration details read by the sign-up wizard. Platform: blank or "BO" for the own
        // portal, "XMLTFR" for XML transfers (width chosen here, as the web order's).
        .field(QStringLiteral("Notes"), Type::Text())
        .field(QStringLiteral("Platform"), Type::CString(11))
        .field(QStringLiteral("DomainID"), Type::Long())
        .field(QStringLiteral("WebPassword"), Type::CString(21))
        .field(QStringLiteral("Address"), Type::CString(281))
        .field(QStringLiteral("Area"), Type::CString(11))
        .field(QStringLiteral("DFirstName"), Type::CString(26))
        .field(QStringLiteral("DLastName"), Type::CString(26))
        .field(QStringLiteral("DFullName"), Type::CString(51))
        .field(QStringLiteral("DAddress1"), Type::CString(41))
        .field(QStringLiteral("DTel"), Type::CString(26))
        .field(QStringLiteral("DEmail"), Type::CString(81))
        // What the sign-up became, written on acceptance.
        .field(QStringLiteral("WebOrderID"), Type::Long())
        .field(QStringLiteral("ClientID"), Type::Long())
        .field(QStringLiteral("ClientCode"), Type::CString(11))
        .field(QStringLiteral("AccountCode"), Type::CString(11))
        .field(QStringLiteral("Office"), Type::CString(11))
        .field(QStringLiteral("OfficeID"), Type::Long())
        .field(QStringLiteral("ContactID"), Type::Long())
        .field(QStringLiteral("DeliveryOffice"), Type::CString(11))
        .field(QStringLiteral("DeliveryOfficeID"), Type::Long())
        .field(QStringLiteral("DeliveryContactID"), Type::Long())
        .key(QStringLiteral("WEBSIGNUPIDKEY"), { QStringLiteral("WebSignupID") }, true)
        .key(QStringLiteral("STATUSDATEKEY"),
            { QStringLiteral("Status"), QStringLiteral("SignupDate"), QStringLiteral("SignupTime") })
        .autoNumber(QStringLiteral("WebSignupID"));
}

void describeWebAttachments(DictionaryBuilder &b)
{
    b.table(QStringLiteral("WebAttachments"), QStringLiteral("WATT"))
        .field(QStringLiteral("AttachmentID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("OrderItemID"), Type::Long()) // the web order item the file belongs to (0: the order)
        .field(QStringLiteral("SourceName"), Type::CString(513))
        .field(QStringLiteral("SourceFile"), Type::CString(513))
        .field(QStringLiteral("LocalPath"), Type::CString(257))
        .field(QStringLiteral("Filename"), Type::CString(513))
        .field(QStringLiteral("Artwork"), Type::Byte())
        .field(QStringLiteral("Output"), Type::Byte())
        .field(QStringLiteral("UseSource"), Type::Byte())
        .key(QStringLiteral("ATTACHMENTIDKEY"), { QStringLiteral("AttachmentID") }, true)
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("Filename") })
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID"), QStringLiteral("Filename") })
        .key(QStringLiteral("ORDERITEMIDKEY"), { QStringLiteral("OrderItemID") })
        .autoNumber(QStringLiteral("AttachmentID"));
}

void describeWebNotes(DictionaryBuilder &b)
{
    b.table(QStringLiteral("WebNotes"), QStringLiteral("WNTE"))
        .field(QStringLiteral("NoteID"), Type::Long())
        .field(QStringLiteral("QuoteID"), Type::Long())
        .field(QStringLiteral("OrderID"), Type::Long())
        .field(QStringLiteral("ParentType"), Type::CString(11))
        .field(QStringLiteral("ParentID"), Type::Long())
        .field(QStringLiteral("Subject"), Type::CString(61))
        .field(QStringLiteral("Class"), Type::CString(21))
        .field(QStringLiteral("Notes"), Type::CString(2049))
        // The note editor keeps a linked file or URL of up to 256 characters.
        .field(QStringLiteral("Document"), Type::CString(257))
        .field(QStringLiteral("Priority"), Type::Text())
        .field(QStringLiteral("OnQuote"), Type::Byte())
        .field(QStringLiteral("OnOrder"), Type::Byte())
        .field(QStringLiteral("OnProof"), Type::Byte())
        .field(QStringLiteral("OnDelivery"), Type::Byte())
        .field(QStringLiteral("OnInvoice"), Type::Byte())
        .field(QStringLiteral("OnPOrder"), Type::Byte())
        .field(QStringLiteral("OnPInvoice"), Type::Byte())
        // The five display contexts the note editor does not offer (names chosen here).
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
        .key(QStringLiteral("QUOTEIDKEY"), { QStringLiteral("QuoteID"), QStringLiteral("Subject") })
        .key(QStringLiteral("ORDERIDKEY"), { QStringLiteral("OrderID"), QStringLiteral("Subject") })
        .autoNumber(QStringLiteral("NoteID"));
}

void describeWebTask(DictionaryBuilder &b)
{
    b.table(QStringLiteral("WebTask"), QStringLiteral("WTSK"))
        .field(QStringLiteral("WebTaskID"), Type::Long())
        .field(QStringLiteral("TaskDate"), Type::Date())
        .field(QStringLiteral("TaskTime"), Type::Time())
        .field(QStringLiteral("TaskUser"), Type::CString(81))
        .field(QStringLiteral("TaskType"), Type::CString(51))
        .field(QStringLiteral("TaskRequest"), Type::CString(41))
        .field(QStringLiteral("UserName"), Type::CString(81))
        .field(QStringLiteral("Company"), Type::CString(41))
        .field(QStringLiteral("Description"), Type::CString(513))
        .field(QStringLiteral("Status"), Type::CString(21))
        .field(QStringLiteral("Priority"), Type::Byte())
        .field(QStringLiteral("StartDate"), Type::Date())
        .field(QStringLiteral("StartTime"), Type::Time())
        .field(QStringLiteral("RestartDate"), Type::Date())
        .field(QStringLiteral("RestartTime"), Type::Time())
        .field(QStringLiteral("EndDate"), Type::Date())
        .field(QStringLiteral("EndTime"), Type::Time())
        .field(QStringLiteral("Attempts"), Type::Long())
        .field(QStringLiteral("Comments"), Type::CString(4097))
        // What the WEBTASK operation takes over from its parameter record, so that the web
        // monitor knows which record the task is about.
        .field(QStringLiteral("TaskID"), Type::Long())
        .field(QStringLiteral("ParentID"), Type::Long())
        .field(QStringLiteral("DomainID"), Type::Long())
        .field(QStringLiteral("WebID"), Type::Long())
        .field(QStringLiteral("UploadImage"), Type::Byte())
        .field(QStringLiteral("UploadPDF"), Type::Byte())
        .field(QStringLiteral("UploadAttachments"), Type::Byte())
        .field(QStringLiteral("Notify"), Type::Byte())
        .field(QStringLiteral("WebHistory"), Type::Date())
        .field(QStringLiteral("CheckedFlag"), Type::Byte())
        // Web platform of the task: blank or "BO" grants web access to new contacts (width chosen here).
        .field(QStringLiteral("Platform"), Type::CString(11))
        .key(QStringLiteral("WEBTASKIDKEY"), { QStringLiteral("WebTaskID") }, true)
        .key(QStringLiteral("REVDATEKEY"),
            { QStringLiteral("-TaskDate"), QStringLiteral("-TaskTime"), QStringLiteral("-WebTaskID") })
        .key(QStringLiteral("STATUSPRIORITYDATEKEY"),
            { QStringLiteral("Status"), QStringLiteral("Priority"), QStringLiteral("TaskDate"),
                QStringLiteral("TaskTime") })
        .autoNumber(QStringLiteral("WebTaskID"));
}

} // namespace

void describeWebTables(DictionaryBuilder &b)
{
    describeWebQuotes(b);
    describeWebOrders(b);
    describeWebOrderItems(b);
    describeWebSignup(b);
    describeWebAttachments(b);
    describeWebNotes(b);
    describeWebTask(b);
}

} // namespace bizlib
