#pragma once

// HTTP from both ends for the SOAP tests: a scripted loopback server whose replies may be as
// hostile as a test wants (endless, dripping, huge), and a raw client that sends any bytes to
// a real server and reads its answers, chunked or not.

#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

struct HttpRequest {
    QByteArray method;
    QByteArray target;
    QHash<QByteArray, QByteArray> headers; // lower-case names
    QByteArray body;

    QUrl url() const { return QUrl(QString::fromLatin1(target)); }
    QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
    // user:password from a Basic Authorization header, or a null string without one.
    QString credentials() const
    {
        const QByteArray value = header("authorization");
        if (!value.startsWith("Basic "))
            return {};
        return QString::fromUtf8(QByteArray::fromBase64(value.mid(6)));
    }
};

using Reply = std::function<void(QTcpSocket*, const HttpRequest&)>;

// A loopback HTTP server whose n-th request gets the n-th scripted reply (the last one repeats).
// With TLS it shows the self-signed certificate of tests/data/tls.
class ScriptedServer : public QObject
{
public:
    explicit ScriptedServer(bool tls = false)
    {
        if (tls) {
            auto server = std::make_unique<QSslServer>();
            QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
            configuration.setLocalCertificate(certificate());
            QFile key(QStringLiteral(ZORV_TEST_DATA "/tls/localhost.key"));
            key.open(QIODevice::ReadOnly);
            configuration.setPrivateKey(QSslKey(&key, QSsl::Rsa));
            server->setSslConfiguration(configuration);
            m_server = std::move(server);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        m_tls = tls;
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readable(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl base() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(m_server->serverPort()));
    }
    quint16 port() const { return m_server->serverPort(); }
    static QSslCertificate certificate()
    {
        return QSslCertificate::fromPath(QStringLiteral(ZORV_TEST_DATA "/tls/localhost.crt"))
            .value(0);
    }

    QList<HttpRequest> requests;
    QList<Reply> replies;
    int connections = 0;

private:
    void readable(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            HttpRequest request;
            const QList<QByteArray> lines = buffer.left(end).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0);
            request.target = first.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines.at(i).indexOf(':');
                if (colon > 0)
                    request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                           lines.at(i).mid(colon + 1).trimmed());
            }
            const qsizetype length = request.header("content-length").toLongLong();
            if (buffer.size() < end + 4 + length)
                return;
            request.body = buffer.mid(end + 4, length);
            buffer.remove(0, end + 4 + length);
            requests.append(request);
            if (!replies.isEmpty())
                replies.at(std::min(requests.size(), replies.size()) - 1)(socket, request);
        }
    }

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

inline QByteArray httpHead(int status, const QByteArray& reason, const QByteArray& headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n" + headers + "\r\n";
}

inline QByteArray chunkOf(const QByteArray& data)
{
    return QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n";
}

// A reply of 200 with a chunked body: first the start, then whatever next() gives each time the
// client has taken what was sent, until it gives nothing (then the body ends) or the client
// goes. A server as fast as the client lets it be, for answers of any length.
inline Reply streamed(QByteArray start, std::function<QByteArray()> next)
{
    return [start, next](QTcpSocket* socket, const HttpRequest&) {
        socket->write(
            httpHead(200, "OK", "Content-Type: text/xml\r\nTransfer-Encoding: chunked\r\n") +
            chunkOf(start));
        const auto more = [socket, next] {
            if (socket->bytesToWrite() > (256 << 10) ||
                socket->state() != QAbstractSocket::ConnectedState)
                return;
            const QByteArray piece = next();
            socket->write(piece.isEmpty() ? QByteArray("0\r\n\r\n") : chunkOf(piece));
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    };
}

// A reply of 200 that sends start, then one byte of drip every interval, for ever.
inline Reply dripping(QByteArray start, QByteArray drip, int intervalMs)
{
    return [start, drip, intervalMs](QTcpSocket* socket, const HttpRequest&) {
        socket->write(
            httpHead(200, "OK", "Content-Type: text/xml\r\nContent-Length: 100000000\r\n") + start);
        auto* timer = new QTimer(socket);
        auto at = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, drip, at] {
            socket->write(drip.mid(*at % drip.size(), 1));
            ++*at;
        });
        timer->start(intervalMs);
    };
}

// One answer as a raw client read it.
struct HttpAnswer {
    int status = 0;
    QHash<QByteArray, QByteArray> headers; // lower-case names
    QByteArray body;
    bool complete = false; // the body ended as its framing says
    bool closed = false;   // the server closed the connection after it

    QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
};

// A client that sends any bytes to a server and reads its answers, blocking, from the test's
// thread. The server must run in another process (or thread).
class RawClient
{
public:
    // receiveBuffer: a small one makes the client slow to take what the server sends.
    bool connectTo(quint16 port, int receiveBuffer = 0)
    {
        if (receiveBuffer > 0)
            m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBuffer);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(10000);
    }

    void send(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        while (m_socket.bytesToWrite() > 0 && m_socket.waitForBytesWritten(10000)) {
        }
    }

    // Reads one whole answer, or what came of it within the time.
    HttpAnswer read(int timeoutMs = 30000)
    {
        HttpAnswer answer;
        QDeadlineTimer deadline(timeoutMs);
        qsizetype end = -1;
        while ((end = m_buffer.indexOf("\r\n\r\n")) < 0) {
            if (!more(deadline)) {
                answer.closed = true;
                return answer;
            }
        }
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        answer.status = lines.value(0).split(' ').value(1).toInt();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines.at(i).indexOf(':');
            if (colon > 0)
                answer.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                      lines.at(i).mid(colon + 1).trimmed());
        }
        m_buffer.remove(0, end + 4);
        if (answer.status == 100)
            return answer;
        if (answer.header("transfer-encoding") == "chunked")
            readChunks(answer, deadline);
        else if (answer.headers.contains("content-length"))
            readLength(answer, answer.header("content-length").toLongLong(), deadline);
        else
            readToClose(answer, deadline);
        return answer;
    }

    // True when the server closes the connection within the time.
    bool closedWithin(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (more(deadline)) {
        }
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }

    void abort() { m_socket.abort(); }
    bool waitingData() { return m_socket.waitForReadyRead(0) || m_socket.bytesAvailable() > 0; }
    QTcpSocket& socket() { return m_socket; }

private:
    bool more(const QDeadlineTimer& deadline)
    {
        if (m_socket.bytesAvailable() == 0 &&
            (m_socket.state() != QAbstractSocket::ConnectedState ||
             !m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))))
            return false;
        m_buffer += m_socket.readAll();
        return true;
    }

    void readLength(HttpAnswer& answer, qint64 length, const QDeadlineTimer& deadline)
    {
        while (m_buffer.size() < length && more(deadline)) {
        }
        answer.complete = m_buffer.size() >= length;
        answer.body = m_buffer.left(length);
        m_buffer.remove(0, answer.body.size());
    }

    void readChunks(HttpAnswer& answer, const QDeadlineTimer& deadline)
    {
        for (;;) {
            qsizetype line = -1;
            while ((line = m_buffer.indexOf("\r\n")) < 0) {
                if (!more(deadline))
                    return;
            }
            const qint64 size = m_buffer.left(line).toLongLong(nullptr, 16);
            while (m_buffer.size() < line + 2 + size + 2) {
                if (!more(deadline))
                    return;
            }
            answer.body += m_buffer.mid(line + 2, size);
            m_buffer.remove(0, line + 2 + size + 2);
            if (size == 0) {
                answer.complete = true;
                return;
            }
        }
    }

    void readToClose(HttpAnswer& answer, const QDeadlineTimer& deadline)
    {
        while (more(deadline)) {
        }
        answer.body = m_buffer;
        m_buffer.clear();
        answer.closed = answer.complete = m_socket.state() != QAbstractSocket::ConnectedState;
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
};
