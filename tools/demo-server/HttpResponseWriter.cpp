#include "HttpResponseWriter.h"

#include <QTcpSocket>

namespace
{
const QByteArray kCrLf("\r\n");
}

HttpResponseWriter::HttpResponseWriter(QTcpSocket& socket, int idleTimeoutMs)
    : m_socket(socket), m_idleTimeoutMs(idleTimeoutMs)
{
}

void HttpResponseWriter::startRequest(bool http10, bool keepAlive)
{
    m_http10 = http10;
    m_keepAlive = keepAlive && !http10;
}

QByteArray HttpResponseWriter::head(int status, const QByteArray& reason, const QByteArray& type,
                                    const QByteArray& headers) const
{
    QByteArray text =
        (m_http10 ? "HTTP/1.0 " : "HTTP/1.1 ") + QByteArray::number(status) + ' ' + reason + kCrLf;
    text += "Content-Type: " + type + kCrLf;
    text += headers;
    if (!m_keepAlive)
        text += "Connection: close" + kCrLf;
    return text;
}

bool HttpResponseWriter::respond(int status, const QByteArray& reason, const QByteArray& type,
                                 const QByteArray& body, const QByteArray& headers)
{
    return write(head(status, reason, type, headers) +
                 "Content-Length: " + QByteArray::number(body.size()) + kCrLf + kCrLf + body) &&
           drain();
}

bool HttpResponseWriter::begin(int status, const QByteArray& reason, const QByteArray& type,
                               const QByteArray& headers)
{
    // An HTTP/1.0 client knows no chunks: its answer ends where the connection does.
    return write(head(status, reason, type, headers) +
                 (m_http10 ? QByteArray() : "Transfer-Encoding: chunked" + kCrLf) + kCrLf);
}

bool HttpResponseWriter::send(const QByteArray& part)
{
    if (part.isEmpty())
        return !m_broken;
    if (m_http10)
        return write(part);
    return write(QByteArray::number(part.size(), 16) + kCrLf + part + kCrLf);
}

bool HttpResponseWriter::finish()
{
    return (m_http10 || write("0" + kCrLf + kCrLf)) && drain();
}

void HttpResponseWriter::abandon()
{
    m_broken = true;
    m_socket.abort();
}

bool HttpResponseWriter::continueBody()
{
    return write("HTTP/1.1 100 Continue" + kCrLf + kCrLf) && drain();
}

bool HttpResponseWriter::write(const QByteArray& bytes)
{
    if (m_broken)
        return false;
    if (m_socket.state() != QAbstractSocket::ConnectedState ||
        m_socket.write(bytes) != bytes.size()) {
        m_broken = true;
        return false;
    }
    m_socket.flush();
    // Rows are made only as fast as the client takes them.
    while (m_socket.bytesToWrite() > kMaxBuffered) {
        if (!m_socket.waitForBytesWritten(m_idleTimeoutMs)) {
            m_broken = true;
            return false;
        }
    }
    return true;
}

bool HttpResponseWriter::drain()
{
    while (!m_broken && m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(m_idleTimeoutMs))
            m_broken = true;
    }
    return !m_broken;
}
