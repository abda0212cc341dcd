#include "downloader/HttpFetch.h"

#include <QFile>
#include <QIODevice>
#include <curl/curl.h>
#include <mutex>

namespace downloader {

namespace {

struct Sink
{
    QIODevice *out = nullptr;
    qint64 written = 0;
    qint64 limit = 0;
    QString error;
};

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const auto n = static_cast<qint64>(size * count);
    if (sink->written + n > sink->limit) {
        sink->error = QStringLiteral("the file is larger than %1 bytes").arg(sink->limit);
        return 0;
    }
    if (sink->out->write(data, n) != n) {
        sink->error = QStringLiteral("cannot write the file: %1").arg(sink->out->errorString());
        return 0;
    }
    sink->written += n;
    return static_cast<size_t>(n);
}

} // namespace

HttpFetch::HttpFetch(Options options)
    : m_options(std::move(options))
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bizlib::Status HttpFetch::get(const QString &url, QIODevice &out) const
{
    CURL *curl = curl_easy_init();
    if (!curl)
        return bizlib::Status::error(QStringLiteral("the web library cannot start"));
    Sink sink { &out, 0, m_options.maxBytes, {} };
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray proxy = m_options.proxy.toUtf8();
    const QByteArray proxyUser = m_options.proxyUser.toUtf8();
    const QByteArray proxyPassword = m_options.proxyPassword.toUtf8();
    const QByteArray caFile = QFile::encodeName(m_options.caFile);
    // An https address may only lead on to https.
    const bool encrypted = url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);

    // The first option libcurl refuses stops the fetch: a download without its limits, its
    // protocol rules or its proxy is not one to make.
    QString refused;
    const auto set = [&](CURLoption option, const char *name, auto value) {
        if (!refused.isEmpty())
            return;
        const CURLcode rc = curl_easy_setopt(curl, option, value);
        if (rc != CURLE_OK)
            refused = QStringLiteral("the web library refused the option %1 (%2)")
                          .arg(QLatin1String(name), QString::fromUtf8(curl_easy_strerror(rc)));
    };
#define WC_SET(option, value) set(option, #option, value)
    WC_SET(CURLOPT_ERRORBUFFER, errorBuffer);
    WC_SET(CURLOPT_URL, urlBytes.constData());
    WC_SET(CURLOPT_PROTOCOLS_STR, "http,https");
    WC_SET(CURLOPT_REDIR_PROTOCOLS_STR, encrypted ? "https" : "http,https");
    WC_SET(CURLOPT_FOLLOWLOCATION, 1L);
    WC_SET(CURLOPT_MAXREDIRS, MaxRedirects);
    WC_SET(CURLOPT_FAILONERROR, 1L);
    WC_SET(CURLOPT_CONNECTTIMEOUT, m_options.connectTimeoutSeconds);
    WC_SET(CURLOPT_LOW_SPEED_LIMIT, 1L);
    WC_SET(CURLOPT_LOW_SPEED_TIME, m_options.stallSeconds);
    WC_SET(CURLOPT_TIMEOUT, m_options.totalSeconds);
    WC_SET(CURLOPT_NOSIGNAL, 1L);
    WC_SET(CURLOPT_USERAGENT, "webconsole-downloader");
    WC_SET(CURLOPT_WRITEFUNCTION, writeBody);
    WC_SET(CURLOPT_WRITEDATA, static_cast<void *>(&sink));
    if (!caFile.isEmpty())
        WC_SET(CURLOPT_CAINFO, caFile.constData());
    if (!proxy.isEmpty()) {
        WC_SET(CURLOPT_PROXY, proxy.constData());
        if (!proxyUser.isEmpty()) {
            WC_SET(CURLOPT_PROXYUSERNAME, proxyUser.constData());
            WC_SET(CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
    }
#undef WC_SET
    if (!refused.isEmpty()) {
        curl_easy_cleanup(curl);
        return bizlib::Status::error(refused);
    }

    const CURLcode rc = curl_easy_perform(curl);
    long redirects = 0;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects);
    char *redirectUrl = nullptr;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirectUrl);
    const bool toPlainHttp = encrypted && rc == CURLE_UNSUPPORTED_PROTOCOL
        && (redirects > 0 || (redirectUrl && qstrnicmp(redirectUrl, "http:", 5) == 0));
    curl_easy_cleanup(curl);
    if (rc == CURLE_OK)
        return bizlib::Status::ok();
    if (!sink.error.isEmpty())
        return bizlib::Status::error(sink.error);
    if (toPlainHttp)
        return bizlib::Status::error(
            QStringLiteral("the https address redirects to an unencrypted http address, which is refused"));
    const QString detail
        = errorBuffer[0] != 0 ? QString::fromUtf8(errorBuffer) : QString::fromUtf8(curl_easy_strerror(rc));
    return bizlib::Status::error(detail.trimmed());
}

} // namespace downloader
