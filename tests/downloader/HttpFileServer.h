#pragma once

#include <QHash>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

// A small HTTP server on 127.0.0.1 with its own thread, so that it answers while the test's
// thread is blocked in a download or waits for a process. Each path has a fixed reply; unknown
// paths get 404.
class HttpFileServer : public QThread
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray location; // for redirects
    };

    explicit HttpFileServer(QHash<QByteArray, Reply> routes)
        : m_routes(std::move(routes))
    {
        start();
        m_ready.acquire();
    }
    ~HttpFileServer() override
    {
        quit();
        wait();
    }

    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, [&server, this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, this] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
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
        const QByteArray path = request.split(' ').value(1);
        m_buffers.remove(socket);
        const Reply reply = m_routes.value(path, Reply { 404, "not here", {} });
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status)
            + " X\r\nContent-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n";
        if (!reply.location.isEmpty())
            head += "Location: " + reply.location + "\r\n";
        socket->write(head + "\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QHash<QByteArray, Reply> m_routes;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QSemaphore m_ready;
    quint16 m_port = 0;
};
