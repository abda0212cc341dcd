#include "console/setup/SetupFields.h"

#include <QHash>
#include <algorithm>
#include <limits>

namespace console {

namespace {

using S = config::ConsoleSettings;
using D = CompanyDefaults;
using Kind = SetupField::Kind;
constexpr qint32 kAny = std::numeric_limits<qint32>::max();

template<class T> QVariant toVariant(const T &v)
{
    if constexpr (std::is_same_v<T, bizlib::Decimal>)
        return v.toString();
    else if constexpr (std::is_same_v<T, bool>)
        return v;
    else if constexpr (std::is_integral_v<T>)
        return static_cast<int>(v);
    else
        return v;
}

template<class T> T fromVariant(const QVariant &v, const SetupField &f)
{
    if constexpr (std::is_same_v<T, bizlib::Decimal>) {
        return bizlib::Decimal::fromString(v.toString()).rescaled(f.width);
    } else if constexpr (std::is_same_v<T, bool>) {
        return v.toBool();
    } else if constexpr (std::is_integral_v<T>) {
        return static_cast<T>(std::clamp<qint64>(v.toLongLong(), f.minimum, f.maximum));
    } else {
        const QString text = v.toString();
        return f.width > 0 ? text.left(f.width) : text;
    }
}

// A field held in `part` of the values (the settings or the defaults).
template<class P, class T>
SetupField make(const char *name, Kind kind, P SetupValues::*part, T P::*member, bool raises, int width = 0,
    qint32 minimum = 0, qint32 maximum = kAny)
{
    SetupField f;
    f.name = QString::fromLatin1(name);
    f.kind = kind;
    f.width = width;
    f.minimum = minimum;
    f.maximum = maximum;
    f.raisesSaveQuestion = raises;
    f.get = [=](const SetupValues &v) { return toVariant((v.*part).*member); };
    f.set = [=](SetupValues &v, const QVariant &value) { (v.*part).*member = fromVariant<T>(value, f); };
    return f;
}

template<class T>
SetupField ini(const char *name, T S::*member, bool raises, int width = 0, qint32 minimum = 0, qint32 maximum = kAny)
{
    Kind kind = Kind::Text;
    if constexpr (std::is_same_v<T, bool>)
        kind = Kind::Flag;
    else if constexpr (std::is_same_v<T, bizlib::Decimal>)
        kind = Kind::Decimal;
    else if constexpr (std::is_integral_v<T>)
        kind = Kind::Number;
    return make(name, kind, &SetupValues::settings, member, raises, width, minimum, maximum);
}

template<class T> SetupField def(const char *name, T D::*member, bool raises, Kind kind, int width = 0)
{
    return make(name, kind, &SetupValues::defaults, member, raises, width);
}

QList<SetupField> buildFields()
{
    const bool yes = true;
    const bool no = false;
    QList<SetupField> f {
        // General: website login, hot folders, start-up options.
        ini("INI:WEBURL", &S::webUrl, yes, S::WebUrlWidth),
        ini("INI:WEBVERSION", &S::webVersion, yes, S::WebVersionPlaces),
        ini("INI:ADMINEMAIL", &S::adminEmail, yes, S::AdminEmailWidth),
        ini("INI:APITOKEN", &S::apiToken, yes, S::ApiTokenWidth),
        ini("INI:EDOCHOTFOLDER", &S::edocHotFolder, yes, S::EdocHotFolderWidth),
        ini("INI:HOTFOLDER", &S::hotFolder, yes, S::HotFolderWidth),
        ini("INI:AUTOSAVEATTACHMENTS", &S::autoSaveAttachments, yes),
        ini("INI:DOWNLOADER", &S::downloader, yes, S::DownloaderWidth),
    };
    SetupField startup;
    startup.name = QStringLiteral("INI:STARTUPWEBCONSOLE");
    startup.kind = Kind::Flag;
    startup.raisesSaveQuestion = yes;
    startup.get = [](const SetupValues &v) { return QVariant(v.startupWebConsole != 0); };
    startup.set = [](SetupValues &v, const QVariant &value) { v.startupWebConsole = value.toBool() ? 1 : 0; };
    f << startup;
    f << ini("INI:SYNCDATETIME", &S::syncDateTime, yes) << ini("INI:MINIMIZETOTRAY", &S::minimizeToTray, yes)
      << ini("INI:DISABLELOG", &S::disableLog, yes)
      // Options: documents, processing, sign-ups, phrase toolbox, e-mail notifications.
      << ini("INI:UPLOADORDERPDF", &S::uploadOrderPdf, yes) << ini("INI:UPLOADPROOFPDF", &S::uploadProofPdf, yes)
      << ini("INI:UPLOADDELIVERYPDF", &S::uploadDeliveryPdf, yes)
      << ini("INI:UPLOADINVOICEPDF", &S::uploadInvoicePdf, yes)
      << ini("INI:AUTOPROCESSQUOTES", &S::autoProcessQuotes, yes)
      << ini("INI:AUTOPROCESSRFQS", &S::autoProcessRfqs, yes)
      << ini("INI:RFQESTIMATOR", &S::rfqEstimator, yes, S::RfqEstimatorWidth)
      << ini("INI:RFQNOTIFY", &S::rfqNotify, yes) << ini("INI:SKIPPRODUCTORDER", &S::skipProductOrder, yes)
      << ini("INI:SIGNUPPROCESS", &S::signupProcess, yes, S::SignupProcessWidth)
      << ini("INI:SIGNUPACCOUNT", &S::signupAccount, yes, S::SignupAccountWidth)
      << ini("INI:QUOTEPHRASES", &S::quotePhrases, yes) << ini("INI:ORDERPHRASES", &S::orderPhrases, yes)
      << ini("INI:AUTOEMAILREP", &S::autoEmailRep, yes)
      << ini("INI:AUTOEMAILMANAGER", &S::autoEmailManager, yes)
      // Defaults: codes, markup, web defaults, synchronisation date ...
      << ini("INI:VOUCHERCODE", &S::voucherCode, yes, S::VoucherCodeWidth)
      << ini("INI:LOCALDELIVERY", &S::localDelivery, yes, S::LocalDeliveryWidth)
      << ini("INI:COURIERDELIVERY", &S::courierDelivery, yes, S::CourierDeliveryWidth)
      << ini("INI:FREEDELIVERY", &S::freeDelivery, yes)
      << def("DEF:WEBMARKUP", &D::webMarkup, yes, Kind::Text, D::WebMarkupWidth)
      << def("DEF:WEBEXPIRY", &D::webExpiry, yes, Kind::Number) << def("DEF:WEBENABLE", &D::webEnable, yes, Kind::Flag)
      << def("DEF:WEBNOTIFY", &D::webNotify, yes, Kind::Flag)
      << def("DEF:WEBHISTORY", &D::webHistory, yes, Kind::Date)
      // ... and the document layouts, which do not raise the question, nor does anything after them.
      << ini("INI:QUOTELAYOUT", &S::quoteLayout, no) << ini("INI:SERVICEORDERLAYOUT", &S::serviceOrderLayout, no)
      << ini("INI:PRODUCTORDERLAYOUT", &S::productOrderLayout, no) << ini("INI:PROOFLAYOUT", &S::proofLayout, no)
      << ini("INI:DELIVERYLAYOUT", &S::deliveryLayout, no)
      << ini("INI:INVOICELAYOUT", &S::invoiceLayout, no)
      // Alerts.
      << ini("INI:ENQUIRYSOUND", &S::enquirySound, no, S::SoundWidth) << ini("INI:ENQUIRYALERT", &S::enquiryAlert, no)
      << ini("INI:SIGNUPSOUND", &S::signupSound, no, S::SoundWidth) << ini("INI:SIGNUPALERT", &S::signupAlert, no)
      << ini("INI:PENDINGREMINDER", &S::pendingReminder, no)
      << ini("INI:PENDINGINTERVAL", &S::pendingInterval, no, 0, 0, S::ByteMaximum)
      // Timers.
      << ini("INI:POLLSITETIMER", &S::pollsiteTimer, no) << ini("INI:WEBTASKTIMER", &S::webtaskTimer, no)
      << ini("INI:MAXWEBTASKS", &S::maxWebtasks, no, 0, 0, S::MaxWebtasksLimit)
      << ini("INI:MAXATTEMPTS", &S::maxAttempts, no, 0, 0, S::ByteMaximum) << ini("INI:USERTIMER", &S::userTimer, no)
      << ini("INI:REFRESHINTERVAL", &S::refreshInterval, no, 0, 1)
      << ini("INI:SESSIONCLEANERTIMER", &S::sessionCleanerTimer, no)
      // Connection.
      << ini("INI:USESSL", &S::useSsl, no) << ini("INI:USEPROXY", &S::useProxy, no)
      << ini("INI:PROXYSERVER", &S::proxyServer, no, S::ProxyServerWidth)
      << ini("INI:PROXYPORT", &S::proxyPort, no, 0, 0, 65535)
      << ini("INI:PROXYUSER", &S::proxyUser, no, S::ProxyUserWidth)
      << ini("INI:PROXYPASSWORD", &S::proxyPassword, no, S::ProxyPasswordWidth)
      // Payment.
      << def("DEF:GATEWAYTYPE", &D::gatewayType, no, Kind::Text, D::GatewayWordWidth)
      << def("DEF:GATEWAYURL", &D::gatewayUrl, no, Kind::Text, D::GatewayUrlWidth)
      << def("DEF:GATEWAYID", &D::gatewayId, no, Kind::Text, D::GatewayIdWidth)
      << def("DEF:GATEWAYMODE", &D::gatewayMode, no, Kind::Text, D::GatewayWordWidth);
    return f;
}

} // namespace

const QList<SetupField> &SetupField::all()
{
    static const QList<SetupField> fields = buildFields();
    return fields;
}

const SetupField *SetupField::find(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        for (qsizetype i = 0; i < all().size(); ++i)
            h.insert(all().at(i).name, i);
        return h;
    }();
    const auto it = index.constFind(name.toUpper());
    return it == index.constEnd() ? nullptr : &all().at(*it);
}

} // namespace console
