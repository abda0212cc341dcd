#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class QThread;
class QObject;
class QTcpServer;

namespace testsupport {

class SmtpSinkSession;

// A small SMTP server on 127.0.0.1 for the e-mail tests. It runs on a thread of its own, so a
// client that blocks the test's thread (libcurl) can talk to it. It speaks EHLO/HELO, AUTH PLAIN
// (when a login is required), STARTTLS (when told to offer it, with the test certificate of
// TestCertificate.h), MAIL, RCPT, DATA, RSET, NOOP and QUIT, and records every message it
// accepts. It can be told to refuse the connection, to stay silent, or to reject a recipient.
class SmtpSink
{
public:
    enum class Greeting {
        Normal, // "220" and the conversation
        Reject, // "554": no service
        Silent, // accepts the connection and never answers
    };

    struct Message
    {
        QString helo; // the name the client gave in EHLO/HELO
        QString from; // MAIL FROM, without angle brackets
        QStringList recipients; // RCPT TO accepted, without angle brackets
        QByteArray data; // the message as received, dot-stuffing removed, CR LF line ends
        QString user; // AUTH PLAIN user name ("" without login)
        QString password;
        bool loginEncrypted = false; // the login came after STARTTLS
        bool encrypted = false; // the message came after STARTTLS

        // The value of the first header of that name, folded lines joined; empty when missing.
        QString header(const QByteArray &name) const;
        // Everything after the blank line that ends the header.
        QByteArray body() const;
    };

    SmtpSink();
    ~SmtpSink();
    SmtpSink(const SmtpSink &) = delete;
    SmtpSink &operator=(const SmtpSink &) = delete;

    // Listens on 127.0.0.1 on a free port; false when it cannot.
    bool start();
    // Closes the server and all connections; safe to call twice.
    void stop();
    quint16 port() const { return m_port; }

    void setGreeting(Greeting greeting);
    void rejectRecipient(const QString &address);
    // Advertises AUTH PLAIN and takes mail only after a login with these credentials.
    void requireLogin(const QString &user, const QString &password);
    // Advertises STARTTLS in the answer to EHLO until the connection is encrypted.
    void offerStartTls();

    QList<Message> messages() const;
    int connectionCount() const;

    // A port on 127.0.0.1 on which nothing listens (it was free a moment ago).
    static quint16 closedPort();

private:
    friend class SmtpSinkSession;
    struct Config
    {
        Greeting greeting = Greeting::Normal;
        QSet<QString> rejected; // lower case
        QString user;
        QString password;
        bool loginRequired = false;
        bool startTls = false;
    };
    Config config() const;
    void recordMessage(const Message &m);
    void countConnection();

    mutable QMutex m_mutex;
    Config m_config;
    QList<Message> m_messages;
    int m_connections = 0;

    std::unique_ptr<QThread> m_thread;
    QObject *m_context = nullptr; // lives on m_thread
    QTcpServer *m_server = nullptr; // lives on m_thread
    QList<SmtpSinkSession *> m_sessions; // used on m_thread only
    quint16 m_port = 0;
};

} // namespace testsupport
