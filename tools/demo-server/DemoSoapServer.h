#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTcpServer>

class QTcpSocket;

// Serves the embedded demo system over the RFC SOAP protocol of ABAP systems on a loopback
// port: Basic authentication, session cookies, RFC_READ_TABLE answers streamed in chunks,
// exceptions as SOAP faults, and the logoff address.
class DemoSoapServer : public QObject
{
    Q_OBJECT
public:
    explicit DemoSoapServer(QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const;

private:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // lower-case names
        QByteArray body;
    };

    void readable(QTcpSocket* socket);
    bool parse(QByteArray& buffer, Request& request);
    void serve(QTcpSocket* socket, const Request& request);
    void serveCall(QTcpSocket* socket, const Request& request);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QSet<QByteArray> m_sessions;
};
