#include "DemoServerConnection.h"

#include "DemoSoapService.h"
#include "HttpRequestParser.h"
#include "HttpResponseWriter.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace
{
// Bytes read at a time: the parser never holds much more than one request.
constexpr qint64 kReadBytes = 64 * 1024;
constexpr int kLingerMs = 1000;
constexpr qint64 kLingerBytes = 1 << 20;
} // namespace

DemoServerConnection::DemoServerConnection(qintptr descriptor, const DemoServerSettings& settings,
                                           SessionStore& sessions, LogonThrottle& throttle,
                                           std::function<void()> finished)
    : m_descriptor(descriptor), m_settings(settings), m_sessions(sessions), m_throttle(throttle),
      m_finished(std::move(finished))
{
}

void DemoServerConnection::run()
{
    {
        QTcpSocket socket;
        if (socket.setSocketDescriptor(m_descriptor)) {
            HttpResponseWriter writer(socket, m_settings.idleTimeoutMs);
            HttpRequestParser parser;
            DemoSoapService service(m_settings, m_sessions, m_throttle,
                                    socket.peerAddress().toString());
            for (;;) {
                const Received received = receive(socket, parser, writer);
                if (received == Received::Closed)
                    break;
                if (received == Received::Failed) {
                    writer.startRequest(false, false);
                    const QByteArray reason = parser.errorReason();
                    writer.respond(parser.errorStatus(), reason, "text/html; charset=utf-8",
                                   "<html><body>" + reason + "</body></html>");
                    linger(socket);
                    break;
                }
                const HttpRequestParser::Request request = parser.take();
                writer.startRequest(request.http10, request.keepAlive());
                service.serve(request, writer);
                if (writer.closes())
                    break;
            }
            socket.disconnectFromHost();
            if (socket.state() != QAbstractSocket::UnconnectedState)
                socket.waitForDisconnected(kLingerMs);
        }
    }
    m_finished();
}

DemoServerConnection::Received DemoServerConnection::receive(QTcpSocket& socket,
                                                             HttpRequestParser& parser,
                                                             HttpResponseWriter& writer)
{
    // The header must come whole within the idle time; a body only has to keep coming.
    QDeadlineTimer deadline(m_settings.idleTimeoutMs);
    bool continued = false;
    while (parser.state() == HttpRequestParser::State::NeedMore) {
        if (parser.expectsContinue() && !continued) {
            continued = true;
            if (!writer.continueBody())
                return Received::Closed;
        }
        if (socket.bytesAvailable() == 0) {
            if (socket.state() != QAbstractSocket::ConnectedState ||
                !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return Received::Closed;
            continue;
        }
        parser.feed(socket.read(kReadBytes));
        if (parser.readingBody())
            deadline.setRemainingTime(m_settings.idleTimeoutMs);
    }
    return parser.state() == HttpRequestParser::State::Complete ? Received::Request
                                                                : Received::Failed;
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
