#include "DemoSoapServer.h"

#include "DemoServerConnection.h"

#include <QTcpSocket>
#include <QTimer>

namespace
{
// Refused connections waiting for their client to read the 503; more are cut at once.
constexpr int kMaxRefusing = 64;
constexpr int kRefuseLingerMs = 2000;
} // namespace

DemoSoapServer::DemoSoapServer(DemoServerSettings settings, QObject* parent)
    : QTcpServer(parent), m_settings(std::move(settings))
{
    m_pool.setMaxThreadCount(m_settings.maxConnections);
}

DemoSoapServer::~DemoSoapServer()
{
    close();
    m_pool.waitForDone();
}

bool DemoSoapServer::listen(quint16 port)
{
    return QTcpServer::listen(QHostAddress::LocalHost, port);
}

void DemoSoapServer::incomingConnection(qintptr descriptor)
{
    if (m_active.load() >= m_settings.maxConnections) {
        refuse(descriptor);
        return;
    }
    ++m_active;
    m_pool.start(new DemoServerConnection(descriptor, m_settings, m_sessions, m_throttle,
                                          [this] { --m_active; }));
}

void DemoSoapServer::refuse(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QByteArray body = "<html><body>Too many connections</body></html>";
    socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/html; charset=utf-8\r\n"
                  "Retry-After: 1\r\nConnection: close\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    if (m_refusing >= kMaxRefusing) {
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kRefuseLingerMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        return;
    }
    // The client reads the answer and closes; what it sends meanwhile is dropped.
    ++m_refusing;
    connect(socket, &QObject::destroyed, this, [this] { --m_refusing; });
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kRefuseLingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}
