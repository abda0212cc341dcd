#include "bizlib/Dictionary.h"
#include "bizlib/dictionary/TableGroups.h"

#include <initializer_list>

// Single-record tables of the business system: the system configuration (SYCONF), the company
// defaults (DEFAULTS), the workstation configuration record (BREVIX) and the company (CMPY).
// The BREVIX fields are the keys of the workstation's local INI file under the same names, so
// that the configuration record and the file map one to one.

namespace bizlib {

namespace {

struct NamedField
{
    const char *name;
    FieldDef type;
};

void addFields(TableBuilder &t, std::initializer_list<NamedField> fields)
{
    for (const NamedField &f : fields)
        t.field(QString::fromLatin1(f.name), f.type);
}

// Types used for the configuration keys: paths and addresses up to 256 characters, "short"
// switches (16 bits, 0/1 unless stated), 8-bit flags and plain numbers.
FieldDef path()
{
    return Type::CString(257);
}
FieldDef shortFlag()
{
    return Type::UShort();
}
FieldDef flag()
{
    return Type::Byte();
}
FieldDef number()
{
    return Type::Long();
}

// E-mail settings kept both by the company defaults and by each workstation; the workstation's
// own EmailDisable and EmailCustom come first in its record only.
void addEmailSettings(TableBuilder &t, bool workstation)
{
    if (workstation)
        addFields(t, { { "EmailDisable", shortFlag() }, { "EmailCustom", shortFlag() } });
    addFields(t,
        { { "EmailProfile", Type::CString(301) }, { "EmailTransport", Type::CString(21) }, // "MAPI" or "SMTP"
            { "EmailProvider", Type::CString(31) }, { "EmailFormat", Type::CString(21) }, // "Text" or "Html"
            { "EmailEditor", Type::CString(21) }, { "EmailBrevixDialog", shortFlag() }, { "EmailBCCSelf", shortFlag() },
            { "EmailNotify", flag() }, { "EmailReadReceipt", shortFlag() }, { "EmailDeliveryReceipt", shortFlag() },
            { "EmailServer", Type::CString(101) }, { "EmailPort", Type::CString(11) },
            { "EmailHelo", Type::CString(51) }, { "EmailFrom", Type::CString(101) },
            { "EmailEncryption", Type::CString(11) }, { "EmailServerTimeout", number() },
            { "EmailUsername", Type::CString(129) }, { "EmailPassword", Type::CString(129) },
            { "EmailSecret", Type::CString(501) }, { "EmailDefaultTemplate", Type::CString(513) },
            { "EmailUnsubscribeEmail", Type::CString(101) } });
}

void addSmsSettings(TableBuilder &t, bool workstation)
{
    addFields(t, { { "SMSEnable", shortFlag() } });
    if (workstation)
        addFields(t, { { "SMSCustom", shortFlag() } });
    addFields(t,
        { { "SMSProvider", Type::CString(21) }, { "SMSOriginator", Type::CString(21) },
            { "SMSPort", Type::CString(21) }, { "SMSAccount", Type::CString(101) },
            { "SMSPassword", Type::CString(1001) }, { "SMSSetupURL", path() }, { "SMSAccountURL", path() },
            { "SMSDefaultTemplate", Type::CString(513) } });
}

void describeSyconf(DictionaryBuilder &b)
{
    b.table(QStringLiteral("SYCONF"), QStringLiteral("SYS"))
        .field(QStringLiteral("SyconfID"), Type::Long())
        .field(QStringLiteral("CompanyName"), Type::CString(51))
        .field(QStringLiteral("UpgradeCompleted"), Type::Byte()) // 0: the database upgrade did not finish
        .field(QStringLiteral("MultiCompany"), Type::Byte()) // 1: the installation runs several companies
        .field(QStringLiteral("StampDate"), Type::Date()) // when the record was first used
        .field(QStringLiteral("StampTime"), Type::Time())
        .field(QStringLiteral("Email"), Type::CString(101)) // the system's own e-mail address
        .field(QStringLiteral("CountryCode"), Type::CString(4))
        .field(QStringLiteral("Version"), Type::CString(21))
        // Business numbering: the last number issued; stepped back only when the record holding
        // that number is removed again.
        .field(QStringLiteral("LastQuoteNo"), Type::Long())
        .field(QStringLiteral("LastJobNo"), Type::Long())
        .field(QStringLiteral("LastInvoiceNo"), Type::Long())
        .key(QStringLiteral("SYCONFIDKEY"), { QStringLiteral("SyconfID") }, true)
        .autoNumber(QStringLiteral("SyconfID"));
}

void describeDefaults(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("DEFAULTS"), QStringLiteral("DEF"));
    t.field(QStringLiteral("DefaultsID"), Type::Long());
    addEmailSettings(t, false);
    addSmsSettings(t, false);
    // Web defaults for new clients and the payment gateway.
    t.field(QStringLiteral("WebMarkup"), Type::CString(7)) // markup profile for web enquiries
        .field(QStringLiteral("WebExpiry"), Type::Long()) // days of web access for a new web user
        .field(QStringLiteral("WebEnable"), Type::Byte())
        .field(QStringLiteral("WebNotify"), Type::Byte())
        .field(QStringLiteral("WebHistory"), Type::Date())
        .field(QStringLiteral("GatewayType"), Type::CString(21)) // "None" or "Paypal"
        .field(QStringLiteral("GatewayURL"), Type::CString(101))
        .field(QStringLiteral("GatewayID"), Type::CString(81))
        .field(QStringLiteral("GatewayMode"), Type::CString(21)) // "Production" or "Sandbox"
        // Defaults for new accounts, quotes and orders.
        .field(QStringLiteral("ShippingDays"), Type::Long())
        .field(QStringLiteral("Payment"), Type::CString(20))
        .field(QStringLiteral("Area"), Type::CString(11))
        .field(QStringLiteral("QuoteStatus"), Type::CString(21)) // status of a new quote
        .field(QStringLiteral("LeadDays"), Type::Long()) // due date of an order without one
        // Orders arriving by XML transfer: where their specification comes from ("PO", "MERGE" ...)
        // and the two copy flags handed to the order copy.
        .field(QStringLiteral("XMLSpec"), Type::CString(11))
        .field(QStringLiteral("XMLCopyWorkings"), Type::Byte())
        .field(QStringLiteral("XMLCopyNotes"), Type::Byte())
        .key(QStringLiteral("DEFAULTSIDKEY"), { QStringLiteral("DefaultsID") }, true)
        .autoNumber(QStringLiteral("DefaultsID"));
}

void describeBrevix(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("BREVIX"), QStringLiteral("BRV"));
    t.field(QStringLiteral("BrevixID"), Type::Long());
    // "General"
    addFields(t,
        { { "GlobalPath", path() }, { "GlobalData", path() }, { "ConfigData", path() }, { "LocalData", path() },
            { "NetPath", path() }, { "LocalPath", path() }, { "ResourcePath", path() }, { "ReportFilename", path() },
            { "LayoutFilename", path() }, { "QueryWizard", path() }, { "ReportWizard", path() },
            { "ViewWizard", path() }, { "Version", Type::CString(21) }, { "ValidLogout", shortFlag() },
            { "Wallpaper", path() }, { "PhraseTools", shortFlag() }, { "ChatWidget", shortFlag() },
            { "Locale", number() }, { "LanguageFile", path() }, { "LanguageDict", path() },
            { "LanguageCode", Type::CString(5) }, { "UseWindowsLocale", shortFlag() },
            { "UseWindowsCurrency", shortFlag() }, { "UseBackup", shortFlag() }, { "SupportURL", path() },
            { "WebsiteURL", path() }, { "LogonURL", path() }, { "NoInternet", shortFlag() },
            { "DialMethod", Type::CString(21) }, { "DialURL", Type::CString(101) } });
    // "Interface" (colours are RGB numbers)
    addFields(t,
        { { "SkinDisable", flag() }, { "SkinFile", path() }, { "ThemeColour", Type::CString(21) },
            { "FontName", Type::CString(101) }, { "FontSize", number() }, { "FontColour", number() },
            { "FontStyle", number() }, { "FontCharset", number() }, { "RaisedButtons", shortFlag() },
            { "RoundCorners", shortFlag() }, { "HandCursor", shortFlag() }, { "WhiteTheme", flag() },
            { "ListHeight", number() }, { "ListColours", flag() }, { "HeaderColour", number() },
            { "ToolbarColour", number() }, { "TitleColour", number() }, { "PanelColour", number() },
            { "ButtonColour", number() }, { "ToolTips", shortFlag() }, { "AutoEntry", shortFlag() },
            { "ToolbarIconSize", number() }, { "ToolbarIconsAbove", shortFlag() } });
    // "Multicompany", "Security", "Printing", "Faxing"
    addFields(t,
        { { "CompanyNo", number() }, { "CompanyName", Type::CString(51) }, { "LastLoginID", number() },
            { "LastLoginDate", Type::Date() }, { "LastLoginTime", Type::Time() }, { "WordQuote", shortFlag() },
            { "WordLetter", shortFlag() }, { "SaveLayout", shortFlag() }, { "FaxDisable", shortFlag() },
            { "FaxDevice", Type::CString(51) }, { "FaxDriver", Type::CString(51) }, { "FaxDomain", Type::CString(101) },
            { "FaxAccount", Type::CString(101) }, { "FaxPassword", Type::CString(101) }, { "FaxURL", path() },
            { "FaxPrefix", Type::CString(11) }, { "FaxNumber", Type::CString(31) },
            { "FaxDefaultTemplate", Type::CString(513) } });
    // "Email", "SMS"
    addEmailSettings(t, true);
    addSmsSettings(t, true);
    // "Utilities": notepad switches ("MaterialNotepad" holds a word such as "Never")
    addFields(t,
        { { "SpellDisable", shortFlag() }, { "MessagerEnable", shortFlag() }, { "ClientNotepad", shortFlag() },
            { "SupplierNotepad", shortFlag() }, { "RFQNotepad", shortFlag() }, { "QuoteNotepad", shortFlag() },
            { "OrderNotepad", shortFlag() }, { "ProofNotepad", shortFlag() }, { "DeliveryNotepad", shortFlag() },
            { "InvoiceNotepad", shortFlag() }, { "POrderNotepad", shortFlag() }, { "PInvoiceNotepad", shortFlag() },
            { "ActivityNotepad", shortFlag() }, { "OpportunityNotepad", shortFlag() },
            { "MaterialNotepad", Type::CString(11) }, { "TicketNotepad", shortFlag() },
            { "PopupNotepad", shortFlag() } });
    // "Startup": which lists the business system opens when it starts
    for (const char *key :
        { "StartupViewQuotes", "StartupViewRFQs", "StartupViewQuoteChecking", "StartupViewQuoteFollowups",
            "StartupViewLibrary", "StartupQuoteQuery", "StartupViewOrders", "StartupViewOrderStatus",
            "StartupViewOrderChecking", "StartupViewPendingProofs", "StartupViewSchedule", "StartupViewPressWorkToList",
            "StartupOrderQuery", "StartupViewClients", "StartupClientQuery", "StartupViewSuppliers",
            "StartupSupplierQuery", "StartupViewCostOrders", "StartupViewApprovals", "StartupViewDeptTracking",
            "StartupViewWIP", "StartupCostSummary", "StartupCostQuery", "StartupViewInvoices", "StartupInvoiceQuery",
            "StartupViewPOrders", "StartupViewPOrderChecking", "StartupPOrderQuery", "StartupViewPInvoices",
            "StartupPInvoiceQuery", "StartupCRMProspects", "StartupCRMActivities", "StartupCRMQuery",
            "StartupCRMSchedule", "StartupCRMDiary", "StartupCRMList", "StartupCRMTickets", "StartupViewStock",
            "StartupStockQuery", "StartupStockReOrders", "StartupStockIssues", "StartupStockReturns",
            "StartupStockAllocations", "StartupViewGoods", "StartupGoodsQuery", "StartupGoodsIssues",
            "StartupGoodsTransfer", "StartupGoodsReturns", "StartupWebConsole", "StartupMessenger" })
        t.field(QString::fromLatin1(key), shortFlag());
    // "Web", "CRM", "Marlin", "VOIP"
    addFields(t,
        { { "WebMonitorStart", shortFlag() }, { "SyncSuite", Type::CString(21) }, { "SyncContacts", shortFlag() },
            { "SyncCalendar", shortFlag() }, { "SyncTasks", shortFlag() }, { "SyncAddAppts", shortFlag() },
            { "SyncAddTasks", shortFlag() }, { "SyncAddEmail", shortFlag() }, { "SyncUsername", Type::CString(101) },
            { "SyncPassword", Type::CString(101) }, { "SyncAPIKey", path() }, { "SyncRemoveEmailOnReply", shortFlag() },
            { "SyncEmailInterval", number() }, { "SyncTaskInterval", number() }, { "MarlinIntegration", shortFlag() },
            { "MarlinDSN", Type::CString(51) }, { "MarlinUsername", Type::CString(51) },
            { "MarlinPassword", Type::CString(51) }, { "VOIPEnable", shortFlag() },
            { "VOIPProvider", Type::CString(51) }, { "VOIPAccount", Type::CString(101) },
            { "VOIPPassword", Type::CString(101) }, { "VOIPAPIKey", path() } });
    t.key(QStringLiteral("BREVIXIDKEY"), { QStringLiteral("BrevixID") }, true).autoNumber(QStringLiteral("BrevixID"));
}

void describeCompany(DictionaryBuilder &b)
{
    auto t = b.table(QStringLiteral("Company"), QStringLiteral("CMPY"));
    t.field(QStringLiteral("CompanyID"), Type::Long())
        .field(QStringLiteral("Name"), Type::CString(51))
        .field(QStringLiteral("Address"), Type::CString(281));
    dictionary::addAddressLines(t);
    t.field(QStringLiteral("CountryID"), Type::Long()) // the business's own country, default of new accounts
        .field(QStringLiteral("Country"), Type::CString(41))
        .field(QStringLiteral("CountryCode"), Type::CString(4))
        .field(QStringLiteral("Currency"), Type::CString(21))
        .field(QStringLiteral("Tel"), Type::CString(26))
        .field(QStringLiteral("Fax"), Type::CString(26))
        .field(QStringLiteral("Email"), Type::CString(101))
        .field(QStringLiteral("Web"), Type::CString(101))
        .field(QStringLiteral("TaxReg"), Type::CString(21))
        .field(QStringLiteral("RegNo"), Type::CString(21))
        .key(QStringLiteral("COMPANYIDKEY"), { QStringLiteral("CompanyID") }, true)
        .autoNumber(QStringLiteral("CompanyID"));
}

} // namespace

void describeSystemTables(DictionaryBuilder &b)
{
    describeSyconf(b);
    describeDefaults(b);
    describeBrevix(b);
    describeCompany(b);
}

} // namespace bizlib
