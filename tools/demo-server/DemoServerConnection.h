#pragma once

#include "DemoServerShared.h"

#include <QRunnable>
#include <QtGlobal>

class HttpRequestParser;
class HttpResponseWriter;
class QTcpSocket;

// One client's connection, served on a worker thread of its own with blocking reads and
// writes, so that a slow or idle client delays nobody else: requests one after the other,
// errors in a request answered with their HTTP status before the connection closes, an idle
// connection closed after the idle time, a request whose head or body comes too slowly after
// the head time. It tells the server's list of connections how far it has come, so that at the
// connection limit the slowest can be closed for a newcomer.
class DemoServerConnection : public QRunnable
{
public:
    DemoServerConnection(qintptr descriptor, quint64 id, const DemoServerShared& shared);

    void run() override;

private:
    enum class Received { Request, Failed, TimedOut, NoRoom, Closed };

    void serve(QTcpSocket& socket);
    Received receive(QTcpSocket& socket, HttpRequestParser& parser, HttpResponseWriter& writer);
    // Takes the body's share of the server's memory for bodies, as far as it is known now.
    bool reserveBody(const HttpRequestParser& parser);
    void releaseBody();
    // Answers a request that cannot be served and ends the connection.
    void refuse(QTcpSocket& socket, HttpResponseWriter& writer, int status,
                const QByteArray& reason, const QByteArray& headers = {});
    // Reads and drops what the client still sends, for a moment, so that the answer before a
    // close reaches it instead of a reset.
    void linger(QTcpSocket& socket);

    qintptr m_descriptor;
    quint64 m_id;
    DemoServerShared m_shared;
    qint64 m_reserved = 0; // bytes of the body memory this connection holds
};
