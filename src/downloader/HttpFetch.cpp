#include "downloader/HttpFetch.h"

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

    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_options.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_options.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, m_options.totalSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "webconsole-downloader");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (!proxy.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());
        if (!proxyUser.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, proxyUser.constData());
            curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
    }

    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (rc == CURLE_OK)
        return bizlib::Status::ok();
    if (!sink.error.isEmpty())
        return bizlib::Status::error(sink.error);
    const QString detail
        = errorBuffer[0] != 0 ? QString::fromUtf8(errorBuffer) : QString::fromUtf8(curl_easy_strerror(rc));
    return bizlib::Status::error(detail.trimmed());
}

} // namespace downloader
