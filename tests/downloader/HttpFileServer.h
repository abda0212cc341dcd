#pragma once

#include "support/TestCertificate.h"

#include <QAtomicInt>
#include <QHash>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <memory>

// A small HTTP server on 127.0.0.1 with its own thread, so that it answers while the test's
// thread is blocked in a download or waits for a process. Each path has a fixed reply; unknown
// paths get 404. With Tls it speaks https with the test certificate (testsupport::kTestCertificatePem).
class HttpFileServer : public QThread
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray location; // for redirects
    };
    enum class Protocol { Http, Https };

    explicit HttpFileServer(QHash<QByteArray, Reply> routes, Protocol protocol = Protocol::Http)
        : m_routes(std::move(routes))
        , m_protocol(protocol)
    {
        start();
        m_ready.acquire();
    }
    ~HttpFileServer() override
    {
        quit();
        wait();
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(m_protocol == Protocol::Https ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(m_port)
            .arg(path);
    }
    // Requests answered so far.
    int requests() const { return m_requests.loadAcquire(); }

protected:
    void run() override
    {
        std::unique_ptr<QTcpServer> server;
        if (m_protocol == Protocol::Https) {
            auto ssl = std::make_unique<QSslServer>();
            QSslConfiguration config = QSslConfiguration::defaultConfiguration();
            config.setLocalCertificate(QSslCertificate(testsupport::kTestCertificatePem));
            config.setPrivateKey(QSslKey(testsupport::kTestKeyPem, QSsl::Ec));
            ssl->setSslConfiguration(config);
            server = std::move(ssl);
        } else {
            server = std::make_unique<QTcpServer>();
        }
        QTcpServer *s = server.get();
        const auto take = [s, this] {
            while (QTcpSocket *socket = s->nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, this] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                if (socket->bytesAvailable() > 0)
                    answer(socket);
            }
        };
        // A TLS connection is pending only once its handshake is done.
        QObject::connect(s, &QTcpServer::newConnection, s, take);
        QObject::connect(s, &QTcpServer::pendingConnectionAvailable, s, take);
        s->listen(QHostAddress::LocalHost, 0);
        m_port = s->serverPort();
        m_ready.release();
        exec();
    }

private:
    void answer(QTcpSocket *socket)
    {
        m_buffers[socket] += socket->readAll();
        const QByteArray &request = m_buffers[socket];
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1).split('?').value(0);
        m_buffers.remove(socket);
        m_requests.fetchAndAddRelease(1);
        const Reply reply = m_routes.value(path, Reply { 404, "not here", {} });
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status)
            + " X\r\nContent-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n";
        if (!reply.location.isEmpty())
            head += "Location: " + reply.location + "\r\n";
        socket->write(head + "\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QHash<QByteArray, Reply> m_routes;
    Protocol m_protocol;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QSemaphore m_ready;
    QAtomicInt m_requests;
    quint16 m_port = 0;
};
