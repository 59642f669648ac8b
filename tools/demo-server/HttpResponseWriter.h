#pragma once

#include <QByteArray>

class QTcpSocket;

// Writes the answers of one connection from the thread that serves it: whole answers with
// their length, or long ones in parts as they are produced (chunked, or up to the close for an
// HTTP/1.0 client). The client's reading paces the writing: at most kMaxBuffered bytes wait in
// memory, and a client that takes nothing for the idle time is given up on.
class HttpResponseWriter
{
public:
    static constexpr qint64 kMaxBuffered = 256 * 1024;

    HttpResponseWriter(QTcpSocket& socket, int idleTimeoutMs);

    // Each request sets how its answer is framed and whether the connection stays.
    void startRequest(bool http10, bool keepAlive);
    bool respond(int status, const QByteArray& reason, const QByteArray& type,
                 const QByteArray& body, const QByteArray& headers = {});
    // The head of an answer whose body follows in parts.
    bool begin(int status, const QByteArray& reason, const QByteArray& type,
               const QByteArray& headers = {});
    bool send(const QByteArray& part);
    bool finish();
    // Ends the connection without ending the answer: the client sees it cut short.
    void abandon();
    // Sends "100 Continue" to a client that waits for it before its body.
    bool continueBody();

    // The connection ends after this answer (the client asked, or it cannot go on).
    bool closes() const { return !m_keepAlive || m_broken; }
    bool broken() const { return m_broken; }

private:
    QByteArray head(int status, const QByteArray& reason, const QByteArray& type,
                    const QByteArray& headers) const;
    bool write(const QByteArray& bytes);
    bool drain();

    QTcpSocket& m_socket;
    int m_idleTimeoutMs;
    bool m_http10 = false;
    bool m_keepAlive = true;
    bool m_broken = false;
};
