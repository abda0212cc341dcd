#include "support/SmtpSink.h"

#include "support/TestCertificate.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>

namespace testsupport {

namespace {

// Hands out sockets that can start TLS later (STARTTLS).
class SslCapableServer : public QTcpServer
{
protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificate(QSslCertificate(kTestCertificatePem));
        config.setPrivateKey(QSslKey(kTestKeyPem, QSsl::Ec));
        socket->setSslConfiguration(config);
        addPendingConnection(socket);
    }
};

} // namespace

// One client connection: reads command lines and answers them on the sink's thread.
class SmtpSinkSession
{
public:
    SmtpSinkSession(SmtpSink &sink, QSslSocket *socket)
        : m_sink(sink)
        , m_socket(socket)
        , m_config(sink.config())
    {
        m_sink.countConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this] { read(); });
        if (m_config.greeting == SmtpSink::Greeting::Normal)
            reply("220 sink.test ESMTP ready");
        else if (m_config.greeting == SmtpSink::Greeting::Reject)
            reply("554 5.3.2 sink.test No SMTP service here");
    }

    ~SmtpSinkSession()
    {
        QObject::disconnect(m_socket, nullptr, nullptr, nullptr);
        m_socket->abort();
        delete m_socket;
    }

private:
    enum class State { Command, AuthPlain, Data };

    void reply(const QByteArray &line) { m_socket->write(line + "\r\n"); }

    void read()
    {
        m_buffer += m_socket->readAll();
        qsizetype end;
        while ((end = m_buffer.indexOf('\n')) >= 0) {
            QByteArray line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (m_config.greeting == SmtpSink::Greeting::Silent)
                continue;
            if (m_state == State::Data)
                dataLine(line);
            else if (m_state == State::AuthPlain)
                authPlain(line);
            else
                command(line);
        }
    }

    void dataLine(const QByteArray &line)
    {
        if (line == ".") {
            m_state = State::Command;
            m_sink.recordMessage(m_message);
            reply("250 2.0.0 Ok: queued as " + QByteArray::number(m_sink.messages().size()));
            resetTransaction();
            return;
        }
        m_message.data += (line.startsWith('.') ? line.mid(1) : line) + "\r\n";
    }

    void authPlain(const QByteArray &encoded)
    {
        m_state = State::Command;
        const QList<QByteArray> parts = QByteArray::fromBase64(encoded).split('\0');
        const QString user = parts.size() == 3 ? QString::fromUtf8(parts.at(1)) : QString();
        const QString password = parts.size() == 3 ? QString::fromUtf8(parts.at(2)) : QString();
        if (user == m_config.user && password == m_config.password) {
            m_user = user;
            m_password = password;
            m_loginEncrypted = m_socket->isEncrypted();
            m_authenticated = true;
            reply("235 2.7.0 Authentication successful");
        } else {
            reply("535 5.7.8 Authentication credentials invalid");
        }
    }

    static QString pathOf(const QByteArray &arg)
    {
        const qsizetype open = arg.indexOf('<');
        const qsizetype close = arg.indexOf('>', open);
        return open >= 0 && close > open ? QString::fromUtf8(arg.mid(open + 1, close - open - 1)) : QString();
    }

    void resetTransaction()
    {
        m_message = SmtpSink::Message();
        m_message.helo = m_helo;
        m_message.user = m_user;
        m_message.password = m_password;
        m_message.loginEncrypted = m_loginEncrypted;
        m_message.encrypted = m_socket->isEncrypted();
        m_inTransaction = false;
    }

    void command(const QByteArray &line)
    {
        const QByteArray verb = line.left(4).toUpper();
        const QByteArray arg = line.mid(5).trimmed();
        if (verb == "EHLO" || verb == "HELO") {
            m_helo = QString::fromUtf8(arg);
            resetTransaction();
            if (verb == "HELO") {
                reply("250 sink.test");
                return;
            }
            reply("250-sink.test greets " + arg);
            if (m_config.startTls && !m_socket->isEncrypted())
                reply("250-STARTTLS");
            if (m_config.loginRequired)
                reply("250-AUTH PLAIN");
            reply("250-8BITMIME");
            reply("250 SIZE 20000000");
        } else if (line.toUpper() == "STARTTLS") {
            if (!m_config.startTls || m_socket->isEncrypted()) {
                reply("502 5.5.2 Error: command not recognized");
                return;
            }
            reply("220 2.0.0 Ready to start TLS");
            m_socket->flush();
            // A new conversation starts: EHLO again, nothing of before counts.
            m_helo.clear();
            m_user.clear();
            m_password.clear();
            m_authenticated = false;
            m_loginEncrypted = false;
            resetTransaction();
            m_socket->startServerEncryption();
        } else if (verb == "AUTH") {
            if (!line.toUpper().startsWith("AUTH PLAIN")) {
                reply("504 5.5.4 Unrecognized authentication type");
                return;
            }
            const QByteArray initial = line.mid(10).trimmed();
            if (initial.isEmpty()) {
                m_state = State::AuthPlain;
                reply("334 ");
            } else {
                authPlain(initial);
            }
        } else if (verb == "MAIL") {
            if (m_config.loginRequired && !m_authenticated) {
                reply("530 5.7.0 Authentication required");
                return;
            }
            resetTransaction();
            m_message.from = pathOf(arg);
            m_inTransaction = true;
            reply("250 2.1.0 Ok");
        } else if (verb == "RCPT") {
            if (!m_inTransaction) {
                reply("503 5.5.1 Error: need MAIL command");
                return;
            }
            const QString to = pathOf(arg);
            if (m_config.rejected.contains(to.toLower())) {
                reply("550 5.1.1 <" + to.toUtf8() + ">: Recipient address rejected: User unknown");
                return;
            }
            m_message.recipients << to;
            reply("250 2.1.5 Ok");
        } else if (verb == "DATA") {
            if (m_message.recipients.isEmpty()) {
                reply("554 5.5.1 Error: no valid recipients");
                return;
            }
            m_state = State::Data;
            reply("354 End data with <CR><LF>.<CR><LF>");
        } else if (verb == "RSET") {
            resetTransaction();
            reply("250 2.0.0 Ok");
        } else if (verb == "NOOP") {
            reply("250 2.0.0 Ok");
        } else if (verb == "QUIT") {
            reply("221 2.0.0 Bye");
            m_socket->disconnectFromHost();
        } else {
            reply("502 5.5.2 Error: command not recognized");
        }
    }

    SmtpSink &m_sink;
    QSslSocket *m_socket;
    SmtpSink::Config m_config;
    QByteArray m_buffer;
    State m_state = State::Command;
    SmtpSink::Message m_message;
    QString m_helo;
    QString m_user;
    QString m_password;
    bool m_authenticated = false;
    bool m_loginEncrypted = false;
    bool m_inTransaction = false;
};

QString SmtpSink::Message::header(const QByteArray &name) const
{
    const QList<QByteArray> lines = data.left(data.indexOf("\r\n\r\n")).split('\n');
    QByteArray value;
    bool inHeader = false;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (inHeader && (line.startsWith(' ') || line.startsWith('\t'))) {
            value += line;
            continue;
        }
        if (inHeader)
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0) {
            value = line.mid(colon + 1).trimmed();
            inHeader = true;
        }
    }
    return QString::fromUtf8(value);
}

QByteArray SmtpSink::Message::body() const
{
    const qsizetype end = data.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : data.mid(end + 4);
}

SmtpSink::SmtpSink() = default;

SmtpSink::~SmtpSink()
{
    stop();
}

bool SmtpSink::start()
{
    if (m_thread)
        return m_port != 0;
    m_thread = std::make_unique<QThread>();
    m_thread->start();
    m_context = new QObject;
    m_context->moveToThread(m_thread.get());
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            m_server = new SslCapableServer;
            QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
                while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                    socket->setParent(nullptr);
                    m_sessions << new SmtpSinkSession(*this, static_cast<QSslSocket *>(socket));
                }
            });
            if (m_server->listen(QHostAddress::LocalHost, 0))
                m_port = m_server->serverPort();
        },
        Qt::BlockingQueuedConnection);
    return m_port != 0;
}

void SmtpSink::stop()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            qDeleteAll(m_sessions);
            m_sessions.clear();
            m_server->close();
            delete m_server;
            m_server = nullptr;
            delete m_context;
            m_context = nullptr;
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_port = 0;
}

void SmtpSink::setGreeting(Greeting greeting)
{
    QMutexLocker lock(&m_mutex);
    m_config.greeting = greeting;
}

void SmtpSink::offerStartTls()
{
    QMutexLocker lock(&m_mutex);
    m_config.startTls = true;
}

void SmtpSink::rejectRecipient(const QString &address)
{
    QMutexLocker lock(&m_mutex);
    m_config.rejected.insert(address.toLower());
}

void SmtpSink::requireLogin(const QString &user, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    m_config.loginRequired = true;
    m_config.user = user;
    m_config.password = password;
}

QList<SmtpSink::Message> SmtpSink::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

int SmtpSink::connectionCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_connections;
}

SmtpSink::Config SmtpSink::config() const
{
    QMutexLocker lock(&m_mutex);
    return m_config;
}

void SmtpSink::recordMessage(const Message &m)
{
    QMutexLocker lock(&m_mutex);
    m_messages << m;
}

void SmtpSink::countConnection()
{
    QMutexLocker lock(&m_mutex);
    ++m_connections;
}

quint16 SmtpSink::closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace testsupport
