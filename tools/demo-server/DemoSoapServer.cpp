#include "DemoSoapServer.h"

#include "DemoServerConnection.h"

#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace
{
// Refused connections waiting for their client to read the 503; more are cut at once.
constexpr int kMaxRefusing = 64;
constexpr int kRefuseLingerMs = 2000;

// Ends both directions of a connection that another thread reads: its wait returns at once.
void shutDown(qintptr descriptor)
{
#ifdef Q_OS_WIN
    ::shutdown(static_cast<SOCKET>(descriptor), SD_BOTH);
#else
    ::shutdown(static_cast<int>(descriptor), SHUT_RDWR);
#endif
}
} // namespace

DemoSoapServer::DemoSoapServer(DemoServerSettings settings, QObject* parent)
    : QTcpServer(parent), m_settings(std::move(settings)),
      m_connections(m_settings.maxConnections, shutDown), m_bodies(m_settings.bodyMemory)
{
    // Connections closed for newcomers finish on threads of their own meanwhile.
    m_pool.setMaxThreadCount(2 * m_settings.maxConnections);
}

DemoSoapServer::~DemoSoapServer()
{
    close();
    m_connections.closeAll();
    m_pool.waitForDone();
}

bool DemoSoapServer::listen(quint16 port)
{
    return QTcpServer::listen(QHostAddress::LocalHost, port);
}

void DemoSoapServer::incomingConnection(qintptr descriptor)
{
    const std::optional<quint64> id =
        m_connections.admit(descriptor, ConnectionRegistry::Clock::now());
    if (!id) {
        refuse(descriptor);
        return;
    }
    m_pool.start(new DemoServerConnection(
        descriptor, *id, {m_settings, m_sessions, m_throttle, m_connections, m_bodies}));
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
