#include "config/ConsoleSettingsFile.h"

#include "config/IniBinding.h"
#include "config/PathText.h"
#include "config/TraceLog.h"
#include "config/TraceScope.h"

#include <QDir>
#include <QFileInfo>

namespace config {

namespace {

using S = ConsoleSettings;
using B = IniBinding<ConsoleSettings>;

const char *const kSettings = "Settings";
const char *const kLayouts = "Layouts";
const char *const kWeb = "Web";
constexpr int kSessionCleanerKeyDefault = 300;

// Sections "Settings" and "Layouts" of the web monitor settings file, in key order.
const QList<B> &webMonitorKeys()
{
    static const QList<B> keys = {
        iniKey(kSettings, "WebURL", &S::webUrl, S::WebUrlWidth),
        iniKey(kSettings, "WebVersion", &S::webVersion, S::WebVersionPlaces),
        iniKey(kSettings, "AdminEmail", &S::adminEmail, S::AdminEmailWidth),
        iniKey(kSettings, "APIToken", &S::apiToken, S::ApiTokenWidth),
        iniKey(kSettings, "UseProxy", &S::useProxy),
        iniKey(kSettings, "ProxyServer", &S::proxyServer, S::ProxyServerWidth),
        iniKey(kSettings, "ProxyPort", &S::proxyPort),
        iniKey(kSettings, "ProxyUser", &S::proxyUser, S::ProxyUserWidth),
        iniKey(kSettings, "ProxyPassword", &S::proxyPassword, S::ProxyPasswordWidth),
        iniKey(kSettings, "PollsiteTimer", &S::pollsiteTimer),
        iniKey(kSettings, "WebtaskTimer", &S::webtaskTimer),
        iniKey(kSettings, "MaxWebtasks", &S::maxWebtasks, 0, 0, S::MaxWebtasksLimit),
        iniKey(kSettings, "MaxAttempts", &S::maxAttempts, 0, 0, S::ByteMaximum),
        iniKey(kSettings, "UserTimer", &S::userTimer),
        iniKey(kSettings, "RefreshInterval", &S::refreshInterval),
        iniKey(kSettings, "SessionCleanerTimer", &S::sessionCleanerTimer),
        iniKey(kSettings, "UseSSL", &S::useSsl),
        iniKey(kSettings, "HotFolder", &S::hotFolder, S::HotFolderWidth),
        iniKey(kSettings, "EdocHotFolder", &S::edocHotFolder, S::EdocHotFolderWidth),
        iniKey(kSettings, "AutoSaveAttachments", &S::autoSaveAttachments),
        iniKey(kSettings, "DisableLog", &S::disableLog),
        iniKey(kSettings, "LocalDelivery", &S::localDelivery, S::LocalDeliveryWidth),
        iniKey(kSettings, "CourierDelivery", &S::courierDelivery, S::CourierDeliveryWidth),
        iniKey(kSettings, "FreeDelivery", &S::freeDelivery),
        iniKey(kSettings, "VoucherCode", &S::voucherCode, S::VoucherCodeWidth),
        iniKey(kSettings, "UploadOrderPDF", &S::uploadOrderPdf),
        iniKey(kSettings, "UploadProofPDF", &S::uploadProofPdf),
        iniKey(kSettings, "UploadDeliveryPDF", &S::uploadDeliveryPdf),
        iniKey(kSettings, "UploadInvoicePDF", &S::uploadInvoicePdf),
        iniKey(kSettings, "Downloader", &S::downloader, S::DownloaderWidth),
        iniKey(kSettings, "AutoProcessQuotes", &S::autoProcessQuotes),
        iniKey(kSettings, "AutoProcessRFQs", &S::autoProcessRfqs),
        iniKey(kSettings, "AutoProcessOrders", &S::autoProcessOrders),
        iniKey(kSettings, "RFQEstimator", &S::rfqEstimator, S::RfqEstimatorWidth),
        iniKey(kSettings, "RFQNotify", &S::rfqNotify),
        iniKey(kSettings, "AddressNotify", &S::addressNotify),
        iniKey(kSettings, "AutoEmailRep", &S::autoEmailRep),
        iniKey(kSettings, "AutoEmailManager", &S::autoEmailManager),
        iniKey(kSettings, "SkipProductOrder", &S::skipProductOrder),
        iniKey(kSettings, "SignupProcess", &S::signupProcess, S::SignupProcessWidth),
        iniKey(kSettings, "SignupAccount", &S::signupAccount, S::SignupAccountWidth),
        iniKey(kLayouts, "QuoteLayout", &S::quoteLayout),
        iniKey(kLayouts, "ServiceOrderLayout", &S::serviceOrderLayout),
        iniKey(kLayouts, "ProductOrderLayout", &S::productOrderLayout),
        iniKey(kLayouts, "ProofLayout", &S::proofLayout),
        iniKey(kLayouts, "DeliveryLayout", &S::deliveryLayout),
        iniKey(kLayouts, "InvoiceLayout", &S::invoiceLayout),
    };
    return keys;
}

// Section "Web" of the workstation INI file.
const QList<B> &workstationKeys()
{
    static const QList<B> keys = {
        iniKey(kWeb, "EnquiryAlert", &S::enquiryAlert),
        iniKey(kWeb, "EnquirySound", &S::enquirySound, S::SoundWidth),
        iniKey(kWeb, "SignupAlert", &S::signupAlert),
        iniKey(kWeb, "SignupSound", &S::signupSound, S::SoundWidth),
        iniKey(kWeb, "SyncDateTime", &S::syncDateTime),
        iniKey(kWeb, "MinimizeToTray", &S::minimizeToTray),
        iniKey(kWeb, "PendingReminder", &S::pendingReminder),
        iniKey(kWeb, "PendingInterval", &S::pendingInterval, 0, 0, S::ByteMaximum),
        iniKey(kWeb, "QuotePhrases", &S::quotePhrases),
        iniKey(kWeb, "OrderPhrases", &S::orderPhrases),
        iniKey(kWeb, "WebmonStallMinutes", &S::webmonStallMinutes, 0, 1, 24 * 60),
    };
    return keys;
}

void createMissingFolder(const QString &folder)
{
    // A relative folder is not made: it would land in whatever folder the program started in.
    if (!QDir::isAbsolutePath(folder.trimmed()))
        return;
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder); // a failure is not reported: the folder is needed only later
}

} // namespace

QString webMonitorIniPath(const QString &globalPath, int companyNo)
{
    QString name = QStringLiteral("webmon");
    if (companyNo != 0)
        name += QStringLiteral("%1").arg(companyNo, 2, 10, QLatin1Char('0'));
    return joinPath(globalPath, name + QStringLiteral(".ini"));
}

ConsoleSettings getIniSettings(
    const SettingsFiles &files, const QString &resourcePath, TraceLog &trace, const QString &workingFolder)
{
    TraceScope scope(trace, QStringLiteral("GetINISettings"));
    IniFile webmon(files.webMonitorIni);
    const IniFile local(files.localIni);

    ConsoleSettings defaults;
    defaults.sessionCleanerTimer = kSessionCleanerKeyDefault;
    defaults.hotFolder = joinPath(resourcePath, QStringLiteral("preflight"));
    defaults.edocHotFolder = joinPath(resourcePath, QStringLiteral("artwork"));
    const QString work = workingFolder.isEmpty() ? QDir::currentPath() : workingFolder;
    defaults.enquirySound = joinPath(work, QStringLiteral("enquiry.wav"));
    defaults.signupSound = joinPath(work, QStringLiteral("signup.wav"));

    ConsoleSettings s;
    for (const B &key : webMonitorKeys())
        key.read(webmon, s, defaults);

    s.webUrl = clipRight(s.webUrl);
    if (s.webUrl.endsWith(QLatin1Char('/')))
        s.webUrl.chop(1);

    if (s.edocHotFolder.isEmpty()) {
        s.edocHotFolder = s.hotFolder;
        if (!webmon.writeText(QString::fromLatin1(kSettings), QStringLiteral("EdocHotFolder"), s.edocHotFolder))
            trace.message(QStringLiteral("Settings not saved: ") + webmon.errorString());
    }
    createMissingFolder(s.hotFolder);
    createMissingFolder(s.edocHotFolder);

    if (s.sessionCleanerTimer < ConsoleSettings::SessionCleanerMinimum)
        s.sessionCleanerTimer = ConsoleSettings::SessionCleanerMinimum;

    for (const B &key : workstationKeys())
        key.read(local, s, defaults);
    return s;
}

bool putIniSettings(
    ConsoleSettings &settings, const SettingsFiles &files, TraceLog &trace, const ConsoleSettings *asRead)
{
    TraceScope scope(trace, QStringLiteral("PutINISettings"));
    settings.webUrl = clipRight(settings.webUrl);
    for (int pass = 0; pass < 3 && settings.webUrl.endsWith(QLatin1Char('/')); ++pass)
        settings.webUrl.chop(1);

    // Read just before the write (which reads once more under its lock and keeps every key it
    // is not given).
    IniFile webmon(files.webMonitorIni);
    IniFile local(files.localIni);
    const auto entries = [&](const QList<B> &keys, const IniFile &file) {
        QList<IniFile::Entry> out;
        for (const B &key : keys) {
            const IniFile::Entry entry = key.entry(settings);
            if (!asRead || entry.value != key.format(*asRead) || !file.contains(entry.section, entry.key))
                out.append(entry);
        }
        return out;
    };
    const QList<IniFile::Entry> webmonEntries = entries(webMonitorKeys(), webmon);
    const QList<IniFile::Entry> localEntries = entries(workstationKeys(), local);

    const bool webmonWritten = webmon.write(webmonEntries);
    if (!webmonWritten)
        trace.message(QStringLiteral("Settings not saved: ") + webmon.errorString());
    const bool localWritten = local.write(localEntries);
    if (!localWritten)
        trace.message(QStringLiteral("Settings not saved: ") + local.errorString());
    return webmonWritten && localWritten;
}

} // namespace config
