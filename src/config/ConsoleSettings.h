#pragma once

#include "bizlib/Decimal.h"

#include <QString>

namespace config {

// The console settings: the web monitor service's settings (section "Settings" and "Layouts"
// of its settings file, shared with the service) and this workstation's console preferences
// (section "Web" of the workstation INI file). Members carry their INI key's name; the
// initial values are the defaults of absent keys, except the ones built at read time (the hot
// folders from the resource folder, the sounds from the working folder).
// Flags are bool (stored as 0/1); widths are the longest texts kept.
struct ConsoleSettings // NOLINT(clang-analyzer-optin.performance.Padding): members follow the files
{
    static constexpr int WebUrlWidth = 200;
    static constexpr int AdminEmailWidth = 80;
    static constexpr int ApiTokenWidth = 80;
    static constexpr int ProxyServerWidth = 100;
    static constexpr int ProxyUserWidth = 100;
    static constexpr int ProxyPasswordWidth = 80;
    static constexpr int HotFolderWidth = 256;
    static constexpr int EdocHotFolderWidth = 256;
    static constexpr int LocalDeliveryWidth = 10;
    static constexpr int CourierDeliveryWidth = 10;
    static constexpr int VoucherCodeWidth = 20;
    static constexpr int DownloaderWidth = 20;
    static constexpr int RfqEstimatorWidth = 3;
    static constexpr int SignupProcessWidth = 20;
    static constexpr int SignupAccountWidth = 10; // a client account code
    static constexpr int SoundWidth = 512;
    // DECIMAL(9,2)
    static constexpr int WebVersionDigits = 9;
    static constexpr int WebVersionPlaces = 2;
    // "MaxWebtasks", "MaxAttempts" and "PendingInterval" are bytes; the service takes at most
    // MaxWebtasksLimit webtasks at once.
    static constexpr int ByteMaximum = 255;
    static constexpr int MaxWebtasksLimit = 50;
    // "SessionCleanerTimer" is never below this.
    static constexpr int SessionCleanerMinimum = 600;

    // Section "Settings" of the web monitor settings file.
    QString webUrl; // "WebURL"
    bizlib::Decimal webVersion { 630, WebVersionPlaces }; // "WebVersion"
    QString adminEmail; // "AdminEmail"
    QString apiToken; // "APIToken"
    bool useProxy = false; // "UseProxy"
    QString proxyServer; // "ProxyServer"
    qint32 proxyPort = 0; // "ProxyPort"
    QString proxyUser; // "ProxyUser"
    QString proxyPassword; // "ProxyPassword" (plain text)
    qint32 pollsiteTimer = 1; // "PollsiteTimer", seconds
    qint32 webtaskTimer = 1; // "WebtaskTimer", seconds
    qint32 maxWebtasks = 1; // "MaxWebtasks", 0..50
    qint32 maxAttempts = 0; // "MaxAttempts", 0..255
    qint32 userTimer = 0; // "UserTimer", seconds, 0 = never
    qint32 refreshInterval = 30; // "RefreshInterval", seconds
    qint32 sessionCleanerTimer = SessionCleanerMinimum; // "SessionCleanerTimer", seconds (key default 300)
    bool useSsl = false; // "UseSSL"
    QString hotFolder; // "HotFolder"
    QString edocHotFolder; // "EdocHotFolder"
    bool autoSaveAttachments = true; // "AutoSaveAttachments"
    bool disableLog = true; // "DisableLog"
    QString localDelivery; // "LocalDelivery"
    QString courierDelivery; // "CourierDelivery"
    bool freeDelivery = false; // "FreeDelivery"
    QString voucherCode; // "VoucherCode"
    bool uploadOrderPdf = true; // "UploadOrderPDF"
    bool uploadProofPdf = true; // "UploadProofPDF"
    bool uploadDeliveryPdf = true; // "UploadDeliveryPDF"
    bool uploadInvoicePdf = true; // "UploadInvoicePDF"
    QString downloader = QStringLiteral(".NET"); // "Downloader": "Standard" or ".NET"
    bool autoProcessQuotes = false; // "AutoProcessQuotes"
    bool autoProcessRfqs = false; // "AutoProcessRFQs"
    bool autoProcessOrders = false; // "AutoProcessOrders"
    QString rfqEstimator; // "RFQEstimator" (user initials)
    bool rfqNotify = false; // "RFQNotify"
    bool addressNotify = false; // "AddressNotify"
    bool autoEmailRep = false; // "AutoEmailRep"
    bool autoEmailManager = false; // "AutoEmailManager"
    bool skipProductOrder = false; // "SkipProductOrder"
    QString signupProcess = QStringLiteral("Manual"); // "SignupProcess": "Manual", "Existing", "Auto"
    QString signupAccount; // "SignupAccount": the web-enabled client that B2C sign-ups are booked to

    // Section "Layouts" of the web monitor settings file: layout numbers, 0 = none chosen.
    qint32 quoteLayout = 0; // "QuoteLayout"
    qint32 serviceOrderLayout = 0; // "ServiceOrderLayout"
    qint32 productOrderLayout = 0; // "ProductOrderLayout"
    qint32 proofLayout = 0; // "ProofLayout"
    qint32 deliveryLayout = 0; // "DeliveryLayout"
    qint32 invoiceLayout = 0; // "InvoiceLayout"

    // Section "Web" of the workstation INI file.
    bool enquiryAlert = true; // "EnquiryAlert"
    QString enquirySound; // "EnquirySound"
    bool signupAlert = true; // "SignupAlert"
    QString signupSound; // "SignupSound"
    bool syncDateTime = false; // "SyncDateTime"
    bool minimizeToTray = true; // "MinimizeToTray"
    bool pendingReminder = false; // "PendingReminder"
    qint32 pendingInterval = 3; // "PendingInterval", minutes, 0..255
    bool quotePhrases = true; // "QuotePhrases"
    bool orderPhrases = true; // "OrderPhrases"
    // Minutes that webtasks may wait while the web monitor starts none before the status bar's
    // light turns red, 1..1440.
    qint32 webmonStallMinutes = 10; // "WebmonStallMinutes"

    bool operator==(const ConsoleSettings &) const = default;
};

} // namespace config
