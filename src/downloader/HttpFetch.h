#pragma once

#include "bizlib/Status.h"

#include <QString>

class QIODevice;

namespace downloader {

// Fetches web addresses with libcurl.
//
// Only http and https are spoken, also on redirects (a redirect to file:, ftp: ... fails), and
// an https address is only ever sent on to another https address: a redirect to plain http
// fails, so that nobody on the way can read or change what an encrypted address promised. At
// most MaxRedirects redirects are followed, and an HTTP error status (400 and above) fails the
// fetch. Every option is checked as it is given to libcurl: one it refuses (an older libcurl
// that lacks it, a value out of range) fails the fetch before anything is sent. A connection
// that cannot be made within the connect timeout, a transfer that moves less than one byte a
// second for the stall time, one that takes longer than the total time or grows beyond the size
// limit, all fail.
class HttpFetch
{
public:
    struct Options
    {
        long connectTimeoutSeconds = 30;
        long stallSeconds = 60;
        long totalSeconds = 3600;
        qint64 maxBytes = qint64(4) * 1024 * 1024 * 1024;
        // "host:port" of a proxy to go through (empty: libcurl's usual choice), with its login.
        QString proxy;
        QString proxyUser;
        QString proxyPassword;
        // The certificates that https servers are checked against: a CA bundle file (empty: the
        // system's).
        QString caFile;
    };

    static constexpr long MaxRedirects = 10;

    explicit HttpFetch(Options options);

    // Writes the body of `url` to `out`; the status says why it failed (the address is not in
    // the message, the caller names it).
    bizlib::Status get(const QString &url, QIODevice &out) const;

private:
    Options m_options;
};

} // namespace downloader
