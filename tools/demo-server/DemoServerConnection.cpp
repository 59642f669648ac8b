#include "DemoServerConnection.h"

#include "BodyBudget.h"
#include "ConnectionRegistry.h"
#include "DemoSoapService.h"
#include "HttpRequestParser.h"
#include "HttpResponseWriter.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <algorithm>

namespace
{
using Clock = ConnectionRegistry::Clock;

// Bytes read at a time: the parser never holds much more than one request.
constexpr qint64 kReadBytes = 64 * 1024;
constexpr int kLingerMs = 1000;
constexpr qint64 kLingerBytes = 1 << 20;

qint64 msSince(Clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

// How long a connection may still wait for the rest of its request: the idle time for its
// first byte, the head time for its head, and for its body the head time plus a second per
// minBodyRate bytes that came, but never longer than the idle time without a byte.
class RequestClock
{
public:
    RequestClock(const DemoServerSettings& settings, qint64 received)
        : m_settings(settings), m_received(received)
    {
        m_headStarted = received > 0;
    }

    void bytesCame(qint64 count)
    {
        m_received += count;
        m_lastByte = Clock::now();
        if (!m_headStarted) {
            m_headStarted = true;
            m_headStart = m_lastByte;
        }
    }
    void bodyStarts()
    {
        m_bodyStarted = true;
        m_bodyStart = Clock::now();
        m_bodyFrom = m_received;
    }
    bool bodyStarted() const { return m_bodyStarted; }
    qint64 received() const { return m_received; }

    qint64 remainingMs() const
    {
        if (!m_headStarted)
            return m_settings.idleTimeoutMs - msSince(m_waitStart);
        if (!m_bodyStarted)
            return m_settings.headTimeoutMs - msSince(m_headStart);
        const qint64 allowed =
            m_settings.headTimeoutMs + (m_received - m_bodyFrom) * 1000 / m_settings.minBodyRate;
        return std::min(allowed - msSince(m_bodyStart),
                        m_settings.idleTimeoutMs - msSince(m_lastByte));
    }

private:
    const DemoServerSettings& m_settings;
    Clock::time_point m_waitStart = Clock::now();
    Clock::time_point m_lastByte = m_waitStart;
    Clock::time_point m_headStart = m_waitStart;
    Clock::time_point m_bodyStart = m_waitStart;
    bool m_headStarted = false;
    bool m_bodyStarted = false;
    qint64 m_received = 0;
    qint64 m_bodyFrom = 0;
};
} // namespace

DemoServerConnection::DemoServerConnection(qintptr descriptor, quint64 id,
                                           const DemoServerShared& shared)
    : m_descriptor(descriptor), m_id(id), m_shared(shared)
{
}

void DemoServerConnection::run()
{
    QTcpSocket socket;
    // Bytes wait in the system's buffer until the parser asks for them, not in ours.
    socket.setReadBufferSize(kReadBytes);
    if (socket.setSocketDescriptor(m_descriptor))
        serve(socket);
    releaseBody();
    m_shared.connections.leave(m_id);
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(kLingerMs);
}

void DemoServerConnection::serve(QTcpSocket& socket)
{
    HttpResponseWriter writer(socket, m_shared.settings.idleTimeoutMs);
    HttpRequestParser parser;
    DemoSoapService service(m_shared.settings, m_shared.sessions, m_shared.throttle,
                            socket.peerAddress().toString());
    for (;;) {
        switch (receive(socket, parser, writer)) {
        case Received::Closed:
            return;
        case Received::Failed:
            refuse(socket, writer, parser.errorStatus(), parser.errorReason());
            return;
        case Received::TimedOut:
            refuse(socket, writer, 408, "Request Timeout");
            return;
        case Received::NoRoom:
            refuse(socket, writer, 503, "Service Unavailable", "Retry-After: 1\r\n");
            return;
        case Received::Request:
            break;
        }
        m_shared.connections.serving(m_id);
        const HttpRequestParser::Request request = parser.take();
        writer.startRequest(request.http10, request.keepAlive());
        service.serve(request, writer);
        releaseBody();
        if (writer.closes())
            return;
    }
}

DemoServerConnection::Received DemoServerConnection::receive(QTcpSocket& socket,
                                                             HttpRequestParser& parser,
                                                             HttpResponseWriter& writer)
{
    // Bytes of a pipelined request may be held already.
    RequestClock clock(m_shared.settings, parser.bufferedBytes());
    m_shared.connections.waiting(m_id, Clock::now(), clock.received());
    bool continued = false;
    while (parser.state() == HttpRequestParser::State::NeedMore) {
        if (parser.readingBody()) {
            // A body that does not fit is refused before the client sends it, when it waits.
            if (!reserveBody(parser))
                return Received::NoRoom;
            if (parser.expectsContinue() && !continued) {
                continued = true;
                if (!writer.continueBody())
                    return Received::Closed;
            }
            if (!clock.bodyStarted())
                clock.bodyStarts();
        }
        if (socket.bytesAvailable() == 0) {
            const qint64 wait = clock.remainingMs();
            if (wait > 0 && socket.state() == QAbstractSocket::ConnectedState &&
                socket.waitForReadyRead(static_cast<int>(wait)))
                continue;
            const bool timedOut =
                socket.state() == QAbstractSocket::ConnectedState && clock.remainingMs() <= 0;
            return timedOut && clock.received() > 0 ? Received::TimedOut : Received::Closed;
        }
        const QByteArray bytes = socket.read(kReadBytes);
        clock.bytesCame(bytes.size());
        parser.feed(bytes);
        m_shared.connections.received(m_id, clock.received());
    }
    if (parser.state() == HttpRequestParser::State::Failed)
        return Received::Failed;
    return reserveBody(parser) ? Received::Request : Received::NoRoom;
}

bool DemoServerConnection::reserveBody(const HttpRequestParser& parser)
{
    const qint64 needed = parser.bodyBytesNeeded();
    if (needed <= m_reserved)
        return true;
    if (!m_shared.bodies.take(needed - m_reserved))
        return false;
    m_reserved = needed;
    return true;
}

void DemoServerConnection::releaseBody()
{
    m_shared.bodies.give(m_reserved);
    m_reserved = 0;
}

void DemoServerConnection::refuse(QTcpSocket& socket, HttpResponseWriter& writer, int status,
                                  const QByteArray& reason, const QByteArray& headers)
{
    writer.startRequest(false, false);
    writer.respond(status, reason, "text/html; charset=utf-8",
                   "<html><body>" + reason + "</body></html>", headers);
    linger(socket);
}

void DemoServerConnection::linger(QTcpSocket& socket)
{
    QDeadlineTimer deadline(kLingerMs);
    qint64 dropped = 0;
    while (dropped < kLingerBytes && socket.state() == QAbstractSocket::ConnectedState) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        dropped += socket.read(kReadBytes).size();
    }
}
