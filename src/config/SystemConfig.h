#pragma once

#include <QString>

namespace config {

// The workstation's system configuration (the business system's record of its local INI
// file): every key of its sections, each member named after its key. Types follow the keys:
// text (QString, cut to the key's width on reading), number (qint32), short (qint16, a 0/1
// flag unless its key says otherwise) and flag (quint8). The initial values are the defaults
// of absent keys; the ones noted "absent: ..." are built when the file is read (see
// readSystemConfig()).
struct SystemConfig // NOLINT(clang-analyzer-optin.performance.Padding): members follow the file
{
    // Section "General".
    QString globalPath; // "GlobalPath"
    QString globalData; // "GlobalData"
    QString configData; // "ConfigData" (absent: "GlobalData")
    QString localData; // "LocalData"
    QString netPath; // "NetPath"
    QString localPath; // "LocalPath"
    QString resourcePath; // "ResourcePath"
    QString reportFilename; // "ReportFilename" (absent: "GlobalData"/report.tps)
    QString layoutFilename; // "LayoutFilename" (absent: "GlobalData"/layout.tps)
    QString queryWizard; // "QueryWizard" (absent: "GlobalData"/queries.tps)
    QString reportWizard; // "ReportWizard" (absent: "GlobalData"/Wizrept.tps)
    QString viewWizard; // "ViewWizard" (absent: "GlobalData"/Wizview.tps)
    QString version; // "Version"
    qint16 validLogout = 0; // "ValidLogout"
    QString wallpaper; // "Wallpaper"
    qint16 phraseTools = 1; // "PhraseTools"
    qint16 chatWidget = 1; // "ChatWidget"
    qint32 locale = 0; // "Locale"
    QString languageFile; // "LanguageFile"
    QString languageDict; // "LanguageDict"
    QString languageCode = QStringLiteral("eng"); // "LanguageCode"
    qint16 useWindowsLocale = 1; // "UseWindowsLocale"
    qint16 useWindowsCurrency = 1; // "UseWindowsCurrency"
    qint16 useBackup = 1; // "UseBackup"
    QString supportUrl = QStringLiteral("https://example.com/support"); // "SupportURL"
    QString websiteUrl = QStringLiteral("https://example.com/"); // "WebsiteURL"
    QString logonUrl = QStringLiteral("https://example.com/logon"); // "LogonURL"
    qint16 noInternet = 0; // "NoInternet"
    QString dialMethod = QStringLiteral("VOIP"); // "DialMethod"
    QString dialUrl = QStringLiteral("callto:"); // "DialURL"

    // Section "Interface".
    quint8 skinDisable = 0; // "SkinDisable"
    QString skinFile; // "SkinFile"
    QString themeColour = QStringLiteral("Default"); // "ThemeColour"
    QString fontName; // "FontName"
    qint32 fontSize = 0; // "FontSize"
    qint32 fontColour = 0; // "FontColour"
    qint32 fontStyle = 0; // "FontStyle"
    qint32 fontCharset = 0; // "FontCharset"
    qint16 raisedButtons = 1; // "RaisedButtons"
    qint16 roundCorners = 0; // "RoundCorners"
    qint16 handCursor = 1; // "HandCursor"
    quint8 whiteTheme = 0; // "WhiteTheme"
    qint32 listHeight = 13; // "ListHeight"
    quint8 listColours = 1; // "ListColours"
    qint32 headerColour = 6710886; // "HeaderColour"
    qint32 toolbarColour = 12632256; // "ToolbarColour"
    qint32 titleColour = 16777215; // "TitleColour"
    qint32 panelColour = 10061943; // "PanelColour"
    qint32 buttonColour = 0; // "ButtonColour"
    qint16 toolTips = 0; // "ToolTips"
    qint16 autoEntry = 0; // "AutoEntry"
    qint32 toolbarIconSize = 16; // "ToolbarIconSize"
    qint16 toolbarIconsAbove = 0; // "ToolbarIconsAbove"

    // Section "Multicompany".
    qint32 companyNo = 0; // "CompanyNo" (absent: the company in use)
    QString companyName = QStringLiteral("Default company"); // "CompanyName"

    // Section "Security".
    qint32 lastLoginId = 0; // "LastLoginID"
    qint32 lastLoginDate = 0; // "LastLoginDate"
    qint32 lastLoginTime = 0; // "LastLoginTime"

    // Section "Printing".
    qint16 wordQuote = 0; // "WordQuote"
    qint16 wordLetter = 0; // "WordLetter"
    qint16 saveLayout = 0; // "SaveLayout"

    // Section "Faxing".
    qint16 faxDisable = 1; // "FaxDisable"
    QString faxDevice = QStringLiteral("Winfax"); // "FaxDevice"
    QString faxDriver = QStringLiteral("Myfax"); // "FaxDriver"
    QString faxDomain = QStringLiteral("fax.example.com"); // "FaxDomain"
    QString faxAccount; // "FaxAccount"
    QString faxPassword; // "FaxPassword"
    QString faxUrl = QStringLiteral("https://fax.example.com/login"); // "FaxURL"
    QString faxPrefix; // "FaxPrefix"
    QString faxNumber; // "FaxNumber"
    QString faxDefaultTemplate; // "FaxDefaultTemplate"

    // Section "Email".
    qint16 emailDisable = 0; // "EmailDisable"
    qint16 emailCustom = 0; // "EmailCustom"
    QString emailProfile; // "EmailProfile"
    QString emailTransport = QStringLiteral("MAPI"); // "EmailTransport"
    QString emailProvider; // "EmailProvider"
    QString emailFormat = QStringLiteral("Text"); // "EmailFormat"
    QString emailEditor; // "EmailEditor"
    qint16 emailBrevixDialog = 0; // "EmailBrevixDialog"
    qint16 emailBccSelf = 0; // "EmailBCCSelf"
    quint8 emailNotify = 0; // "EmailNotify"
    qint16 emailReadReceipt = 0; // "EmailReadReceipt"
    qint16 emailDeliveryReceipt = 0; // "EmailDeliveryReceipt"
    QString emailServer; // "EmailServer" (absent: the company defaults)
    QString emailPort; // "EmailPort" (absent: the company defaults)
    QString emailHelo; // "EmailHelo" (absent: the company defaults)
    QString emailFrom; // "EmailFrom" (absent: the company defaults)
    QString emailEncryption; // "EmailEncryption" (absent: the company defaults)
    qint32 emailServerTimeout = 0; // "EmailServerTimeout" (absent: the company defaults)
    QString emailUsername; // "EmailUsername" (absent: the company defaults)
    QString emailPassword; // "EmailPassword" (absent: the company defaults)
    QString emailSecret; // "EmailSecret"
    QString emailDefaultTemplate; // "EmailDefaultTemplate"
    QString emailUnsubscribeEmail; // "EmailUnsubscribeEmail"

    // Section "SMS".
    qint16 smsEnable = 1; // "SMSEnable"
    qint16 smsCustom = 0; // "SMSCustom"
    QString smsProvider; // "SMSProvider"
    QString smsOriginator = QStringLiteral("kxq"); // "SMSOriginator"
    QString smsPort = QStringLiteral("BoomSMS"); // "SMSPort"
    QString smsAccount = QStringLiteral("demo"); // "SMSAccount"
    QString smsPassword; // "SMSPassword"
    QString smsSetupUrl; // "SMSSetupURL"
    QString smsAccountUrl; // "SMSAccountURL"
    QString smsDefaultTemplate; // "SMSDefaultTemplate"

    // Section "Utilities".
    qint16 spellDisable = 0; // "SpellDisable"
    qint16 messagerEnable = 0; // "MessagerEnable"
    qint16 clientNotepad = 1; // "ClientNotepad"
    qint16 supplierNotepad = 1; // "SupplierNotepad"
    qint16 rfqNotepad = 1; // "RFQNotepad"
    qint16 quoteNotepad = 1; // "QuoteNotepad"
    qint16 orderNotepad = 1; // "OrderNotepad"
    qint16 proofNotepad = 1; // "ProofNotepad"
    qint16 deliveryNotepad = 1; // "DeliveryNotepad"
    qint16 invoiceNotepad = 1; // "InvoiceNotepad"
    qint16 pOrderNotepad = 1; // "POrderNotepad"
    qint16 pInvoiceNotepad = 1; // "PInvoiceNotepad"
    qint16 activityNotepad = 0; // "ActivityNotepad"
    qint16 opportunityNotepad = 1; // "OpportunityNotepad"
    QString materialNotepad = QStringLiteral("Never"); // "MaterialNotepad"
    qint16 ticketNotepad = 1; // "TicketNotepad"
    qint16 popupNotepad = 1; // "PopupNotepad"

    // Section "Startup".
    qint16 startupViewQuotes = 0; // "StartupViewQuotes"
    qint16 startupViewRfqs = 0; // "StartupViewRFQs"
    qint16 startupViewQuoteChecking = 0; // "StartupViewQuoteChecking"
    qint16 startupViewQuoteFollowups = 0; // "StartupViewQuoteFollowups"
    qint16 startupViewLibrary = 0; // "StartupViewLibrary"
    qint16 startupQuoteQuery = 0; // "StartupQuoteQuery"
    qint16 startupViewOrders = 0; // "StartupViewOrders"
    qint16 startupViewOrderStatus = 0; // "StartupViewOrderStatus"
    qint16 startupViewOrderChecking = 0; // "StartupViewOrderChecking"
    qint16 startupViewPendingProofs = 0; // "StartupViewPendingProofs"
    qint16 startupViewSchedule = 0; // "StartupViewSchedule"
    qint16 startupViewPressWorkToList = 0; // "StartupViewPressWorkToList"
    qint16 startupOrderQuery = 0; // "StartupOrderQuery"
    qint16 startupViewClients = 0; // "StartupViewClients"
    qint16 startupClientQuery = 0; // "StartupClientQuery"
    qint16 startupViewSuppliers = 0; // "StartupViewSuppliers"
    qint16 startupSupplierQuery = 0; // "StartupSupplierQuery"
    qint16 startupViewCostOrders = 0; // "StartupViewCostOrders"
    qint16 startupViewApprovals = 0; // "StartupViewApprovals"
    qint16 startupViewDeptTracking = 0; // "StartupViewDeptTracking"
    qint16 startupViewWip = 0; // "StartupViewWIP"
    qint16 startupCostSummary = 0; // "StartupCostSummary"
    qint16 startupCostQuery = 0; // "StartupCostQuery"
    qint16 startupViewInvoices = 0; // "StartupViewInvoices"
    qint16 startupInvoiceQuery = 0; // "StartupInvoiceQuery"
    qint16 startupViewPOrders = 0; // "StartupViewPOrders"
    qint16 startupViewPOrderChecking = 0; // "StartupViewPOrderChecking"
    qint16 startupPOrderQuery = 0; // "StartupPOrderQuery"
    qint16 startupViewPInvoices = 0; // "StartupViewPInvoices"
    qint16 startupPInvoiceQuery = 0; // "StartupPInvoiceQuery"
    qint16 startupCrmProspects = 0; // "StartupCRMProspects"
    qint16 startupCrmActivities = 0; // "StartupCRMActivities"
    qint16 startupCrmQuery = 0; // "StartupCRMQuery"
    qint16 startupCrmSchedule = 0; // "StartupCRMSchedule"
    qint16 startupCrmDiary = 0; // "StartupCRMDiary"
    qint16 startupCrmList = 0; // "StartupCRMList"
    qint16 startupCrmTickets = 0; // "StartupCRMTickets"
    qint16 startupViewStock = 0; // "StartupViewStock"
    qint16 startupStockQuery = 0; // "StartupStockQuery"
    qint16 startupStockReOrders = 0; // "StartupStockReOrders"
    qint16 startupStockIssues = 0; // "StartupStockIssues"
    qint16 startupStockReturns = 0; // "StartupStockReturns"
    qint16 startupStockAllocations = 0; // "StartupStockAllocations"
    qint16 startupViewGoods = 0; // "StartupViewGoods"
    qint16 startupGoodsQuery = 0; // "StartupGoodsQuery"
    qint16 startupGoodsIssues = 0; // "StartupGoodsIssues"
    qint16 startupGoodsTransfer = 0; // "StartupGoodsTransfer"
    qint16 startupGoodsReturns = 0; // "StartupGoodsReturns"
    qint16 startupWebConsole = 0; // "StartupWebConsole"
    qint16 startupMessenger = 0; // "StartupMessenger"

    // Section "Web".
    qint16 webMonitorStart = 0; // "WebMonitorStart"

    // Section "CRM".
    QString syncSuite = QStringLiteral("MSOffice"); // "SyncSuite"
    qint16 syncContacts = 0; // "SyncContacts"
    qint16 syncCalendar = 1; // "SyncCalendar"
    qint16 syncTasks = 0; // "SyncTasks"
    qint16 syncAddAppts = 0; // "SyncAddAppts"
    qint16 syncAddTasks = 0; // "SyncAddTasks"
    qint16 syncAddEmail = 0; // "SyncAddEmail"
    QString syncUsername; // "SyncUsername"
    QString syncPassword; // "SyncPassword"
    QString syncApiKey; // "SyncAPIKey"
    qint16 syncRemoveEmailOnReply = 0; // "SyncRemoveEmailOnReply"
    qint32 syncEmailInterval = 0; // "SyncEmailInterval"
    qint32 syncTaskInterval = 0; // "SyncTaskInterval"

    // Section "Marlin".
    qint16 marlinIntegration = 0; // "MarlinIntegration"
    QString marlinDsn = QStringLiteral("Marlin"); // "MarlinDSN"
    QString marlinUsername; // "MarlinUsername"
    QString marlinPassword; // "MarlinPassword"

    // Section "VOIP".
    qint16 voipEnable = 1; // "VOIPEnable"
    QString voipProvider = QStringLiteral("VoipBuster"); // "VOIPProvider"
    QString voipAccount; // "VOIPAccount"
    QString voipPassword; // "VOIPPassword"
    QString voipApiKey; // "VOIPAPIKey"

    bool operator==(const SystemConfig &) const = default;
};

} // namespace config
