#include "bizlib/mail/SmtpTransport.h"

#include "bizlib/ProcedureTrace.h"
#include "bizlib/mail/MimeWriter.h"

#include <QFileInfo>
#include <QSysInfo>
#include <QUrl>
#include <curl/curl.h>
#include <mutex>

namespace bizlib::mail {

namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload
{
    QByteArray data;
    qsizetype position = 0;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const qsizetype room = static_cast<qsizetype>(size * count);
    const qsizetype n = std::min(room, u->data.size() - u->position);
    if (n > 0)
        memcpy(buffer, u->data.constData() + u->position, static_cast<size_t>(n));
    u->position += n;
    return static_cast<size_t>(n);
}

// The server's replies as libcurl reads them: the last one, and the last refusal (4xx, 5xx),
// which is what explains a failure even when a QUIT was answered after it.
// It also follows whether the conversation is encrypted, and whether a login went out in the clear.
struct Replies
{
    QStringList pending;
    QString last;
    QString lastRefusal;
    bool encrypted = false; // TLS from the first byte, or since the server accepted STARTTLS
    bool startTlsSent = false;
    bool loginInClear = false;

    void sent(const QByteArray &chunk)
    {
        const QByteArray command = chunk.trimmed().toUpper();
        if (command.startsWith("STARTTLS"))
            startTlsSent = true;
        else if (command.startsWith("AUTH") && !encrypted)
            loginInClear = true;
    }

    void take(const QByteArray &chunk)
    {
        for (const QByteArray &raw : chunk.split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty())
                continue;
            pending << line;
            // A reply ends with the line whose code is followed by a blank (or nothing).
            const bool final = line.size() >= 3 && line.at(0).isDigit() && line.at(1).isDigit() && line.at(2).isDigit()
                && (line.size() == 3 || line.at(3) == u' ');
            if (!final)
                continue;
            last = pending.join(u' ');
            pending.clear();
            // The answer to STARTTLS: libcurl starts TLS now, and goes on only when it succeeds.
            if (startTlsSent && !encrypted && line.startsWith(QLatin1String("220")))
                encrypted = true;
            if (line.at(0) == u'4' || line.at(0) == u'5')
                lastRefusal = last;
        }
    }
    QString answer() const { return lastRefusal.isEmpty() ? last : lastRefusal; }
};

int debugCallback(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    if (type == CURLINFO_HEADER_IN)
        static_cast<Replies *>(user)->take(QByteArray(data, static_cast<qsizetype>(size)));
    else if (type == CURLINFO_HEADER_OUT)
        static_cast<Replies *>(user)->sent(QByteArray(data, static_cast<qsizetype>(size)));
    return 0;
}

QByteArray angle(const QString &address)
{
    return '<' + address.toLatin1() + '>';
}

} // namespace

SmtpTransport::SmtpTransport(const MailSettings &settings)
    : m_settings(settings)
{ }

SmtpTransport::SmtpTransport(const MailSettings &settings, const Tls &tls)
    : m_settings(settings)
    , m_tls(tls)
{ }

QString SmtpTransport::url(QString *error) const
{
    QString e;
    QString host = m_settings.server.trimmed();
    QString port = m_settings.port.trimmed();
    const QString encryption = m_settings.encryption.trimmed().toUpper();
    QString scheme = QStringLiteral("smtp");
    QString defaultPort = QStringLiteral("25");
    if (encryption == QLatin1String("SSL")) {
        scheme = QStringLiteral("smtps");
        defaultPort = QStringLiteral("465");
    } else if (encryption == QLatin1String("TLS") || encryption == QLatin1String("STARTTLS")) {
        defaultPort = QStringLiteral("587");
    } else if (!encryption.isEmpty() && encryption != QLatin1String("NONE")) {
        e = QStringLiteral("The e-mail encryption \"%1\" is not known (use None, SSL or TLS).")
                .arg(m_settings.encryption);
    }
    // "host:port" in the server key, when the port key is blank.
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon > 0 && host.count(u':') == 1) {
        if (port.isEmpty())
            port = host.mid(colon + 1);
        host = host.left(colon);
    }
    if (port.isEmpty())
        port = defaultPort;
    bool numeric = false;
    const int portNumber = port.toInt(&numeric);
    if (host.isEmpty())
        e = QStringLiteral("No SMTP server is set up for sending e-mail (\"EmailServer\").");
    else if (!numeric || portNumber <= 0 || portNumber > 65535)
        e = QStringLiteral("The SMTP port \"%1\" is not a port number.").arg(port);
    if (!e.isEmpty()) {
        if (error)
            *error = e;
        return {};
    }
    QString helo = m_settings.helo.trimmed();
    if (helo.isEmpty())
        helo = QSysInfo::machineHostName();
    if (host.contains(u':'))
        host = u'[' + host + u']';
    return scheme + QLatin1String("://") + host + u':' + QString::number(portNumber) + u'/'
        + QString::fromLatin1(QUrl::toPercentEncoding(helo));
}

Status SmtpTransport::send(const MailMessage &message)
{
    QString error;
    const QString target = url(&error);
    if (target.isEmpty())
        return Status::error(error);
    if (!message.from.valid)
        return Status::error(QStringLiteral("The e-mail has no valid sender address."));
    const QList<MailAddress> recipients = message.recipients();
    if (recipients.isEmpty())
        return Status::error(QStringLiteral("The e-mail has no recipient."));

    initCurlOnce();
    CURL *curl = curl_easy_init();
    if (!curl)
        return Status::error(QStringLiteral("The e-mail could not be sent: the SMTP library could not start."));

    curl_slist *rcpt = nullptr;
    for (const MailAddress &a : recipients)
        rcpt = curl_slist_append(rcpt, angle(a.address).constData());

    Upload upload { MimeWriter::write(message, MimeWriter::Bcc::Omit) };
    Replies replies;
    replies.encrypted = target.startsWith(QLatin1String("smtps:"));
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray urlBytes = target.toUtf8();
    const QByteArray fromBytes = angle(message.from.address);
    const QByteArray user = m_settings.username.toUtf8();
    const QByteArray password = m_settings.password.toUtf8();
    const QByteArray caFile = m_tls.caFile.toLocal8Bit();
    const long timeout = m_settings.effectiveTimeoutSeconds();
    const QString encryption = m_settings.encryption.trimmed().toUpper();

    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, fromBytes.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // the debug callback sees the server's replies only then
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, debugCallback);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &replies);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout * 1000L);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const bool required = encryption == QLatin1String("TLS") || encryption == QLatin1String("STARTTLS");
    const bool opportunistic = encryption.isEmpty() || encryption == QLatin1String("NONE");
    if (required)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    else if (opportunistic)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, QFileInfo(m_tls.caFile).isDir() ? CURLOPT_CAPATH : CURLOPT_CAINFO, caFile.constData());
    // "None" promised no checked connection: a server whose certificate cannot be checked still
    // gets the message, encrypted, as it got it in the clear before.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, m_tls.verifyPeer && !opportunistic ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, m_tls.verifyHost && !opportunistic ? 2L : 0L);

    const CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    if (replies.loginInClear && m_trace) {
        m_trace->message(QStringLiteral("WARNING: the e-mail password of %1 was sent to the SMTP server %2 without "
                                        "encryption: the server does not offer STARTTLS. Set the e-mail encryption "
                                        "to SSL or TLS if the server can, or use a server that can.")
                             .arg(m_settings.username.trimmed(), QUrl(target).authority()));
    }
    if (rc == CURLE_OK)
        return Status::ok();

    QString reason = QString::fromUtf8(errorBuffer).trimmed();
    if (reason.isEmpty())
        reason = QString::fromUtf8(curl_easy_strerror(rc));
    while (reason.endsWith(u'.'))
        reason.chop(1);
    // libcurl words a timeout differently depending on which wait ran out; say it one way.
    if (rc == CURLE_OPERATION_TIMEDOUT) {
        const QString limit = timeout == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(timeout);
        reason = QStringLiteral("the server did not answer within %1 (%2)").arg(limit, reason);
    }
    QString text = QStringLiteral("The e-mail could not be sent through the SMTP server %1: %2.")
                       .arg(QUrl(target).authority(), reason);
    if (!replies.answer().isEmpty())
        text += QStringLiteral(" The server answered: \"%1\".").arg(replies.answer());
    return Status::error(text);
}

} // namespace bizlib::mail
