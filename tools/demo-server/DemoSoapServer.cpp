#include "DemoSoapServer.h"

#include "DemoDestination.h"
#include "DemoSystem.h"
#include "RfcFunction.h"
#include "SoapEnvelope.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>
#include <QXmlStreamReader>

namespace
{
const QByteArray kCrLf("\r\n");

void respond(QTcpSocket* socket, int status, const QByteArray& reason, const QByteArray& type,
             const QByteArray& body, const QByteArray& extraHeaders = {})
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + kCrLf;
    head += "Content-Type: " + type + kCrLf;
    head += "Content-Length: " + QByteArray::number(body.size()) + kCrLf;
    head += extraHeaders;
    head += kCrLf;
    socket->write(head + body);
}

// Writes one chunk of a chunked answer, waiting when the client reads slower than rows come.
void chunk(QTcpSocket* socket, const QByteArray& data)
{
    if (data.isEmpty())
        return;
    socket->write(QByteArray::number(data.size(), 16) + kCrLf + data + kCrLf);
    while (socket->bytesToWrite() > (4 << 20) && socket->state() == QAbstractSocket::ConnectedState)
        socket->waitForBytesWritten(1000);
}

QByteArray fault(const QString& exception, const QString& message = {})
{
    return QByteArrayLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
               "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
               "<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</"
               "faultcode><faultstring>") +
           exception.toUtf8() +
           QByteArrayLiteral("</faultstring><detail><rfc:RFC_READ_TABLE.Exception "
                             "xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><Name>") +
           exception.toUtf8() + QByteArrayLiteral("</Name>") +
           (message.isEmpty()
                ? QByteArray()
                : "<Message>" + SoapEnvelope::escape(message).toUtf8() + "</Message>") +
           QByteArrayLiteral("</rfc:RFC_READ_TABLE.Exception></detail></SOAP-ENV:Fault>"
                             "</SOAP-ENV:Body></SOAP-ENV:Envelope>");
}

// Reads the function call of a request into a function object.
bool readCall(const QByteArray& body, RfcFunction& function, QString* name)
{
    QXmlStreamReader xml(body);
    int depth = 0;
    int callDepth = 0;
    QString table;
    std::vector<QString> row;
    QString column;
    QString text;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QString local = xml.name().toString();
            if (callDepth == 0 && xml.namespaceUri() == QLatin1String(SoapEnvelope::kNamespace)) {
                callDepth = depth;
                *name = local;
            } else if (callDepth > 0 && depth == callDepth + 1) {
                column = local;
                text.clear();
            } else if (callDepth > 0 && depth == callDepth + 2 && local == u"item") {
                table = column;
                row.assign(static_cast<size_t>(function.Tables(table).columns().size()), QString());
            } else if (callDepth > 0 && depth == callDepth + 3) {
                text.clear();
            }
        } else if (token == QXmlStreamReader::Characters) {
            text += xml.text();
        } else if (token == QXmlStreamReader::EndElement) {
            if (callDepth > 0 && depth == callDepth + 3) {
                RfcTable& rows = function.Tables(table);
                const int c = rows.columnIndex(xml.name().toString());
                if (c >= 0)
                    row[static_cast<size_t>(c)] = text;
            } else if (callDepth > 0 && depth == callDepth + 2) {
                function.Tables(table).deliver(std::move(row));
                row.clear();
            } else if (callDepth > 0 && depth == callDepth + 1) {
                // Tables are read item by item; every other element is a parameter.
                if (RfcFunction::columnsOf(*name, column).isEmpty())
                    function.Exports(column).Value = text;
                column.clear();
            }
            --depth;
        }
    }
    return !xml.hasError() && callDepth > 0;
}
} // namespace

DemoSoapServer::DemoSoapServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readable(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

bool DemoSoapServer::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

quint16 DemoSoapServer::port() const
{
    return m_server.serverPort();
}

bool DemoSoapServer::parse(QByteArray& buffer, Request& request)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                   lines.at(i).mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length").toLongLong();
    if (buffer.size() < end + 4 + length)
        return false;
    request.body = buffer.mid(end + 4, length);
    buffer.remove(0, end + 4 + length);
    return true;
}

void DemoSoapServer::readable(QTcpSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    Request request;
    while (parse(buffer, request)) {
        serve(socket, request);
        request = Request();
    }
}

void DemoSoapServer::serve(QTcpSocket* socket, const Request& request)
{
    const QUrl url(QString::fromLatin1(request.path));
    if (url.path() == u"/sap/public/bc/icf/logoff") {
        const QByteArray cookie = request.headers.value("cookie");
        for (const QByteArray& part : cookie.split(';'))
            m_sessions.remove(part.trimmed().mid(part.trimmed().indexOf('=') + 1));
        respond(socket, 200, "OK", "text/html", "<html><body>Logged off</body></html>");
        return;
    }
    if (url.path() != u"/sap/bc/soap/rfc" || request.method != "POST") {
        respond(socket, 404, "Not Found", "text/html", "<html><body>Not found</body></html>");
        return;
    }
    serveCall(socket, request);
}

void DemoSoapServer::serveCall(QTcpSocket* socket, const Request& request)
{
    const QUrlQuery query(QUrl(QString::fromLatin1(request.path)));
    const QByteArray authorization = request.headers.value("authorization");
    const QString credentials = QString::fromUtf8(
        QByteArray::fromBase64(authorization.mid(authorization.indexOf(' ') + 1)));
    LogonData logon;
    logon.User = credentials.section(u':', 0, 0);
    logon.Password = credentials.section(u':', 1);
    logon.client = query.queryItemValue(QStringLiteral("sap-client"));
    logon.Language = query.queryItemValue(QStringLiteral("sap-language"));
    DemoDestination destination(DemoSystem::databasePath());
    if (!authorization.startsWith("Basic ") || !destination.logon(logon).ok) {
        respond(socket, 401, "Unauthorized", "text/html", "<html><body>Logon failed</body></html>",
                "WWW-Authenticate: Basic realm=\"SAP NetWeaver Application Server\"\r\n");
        return;
    }
    QByteArray session;
    const QByteArray cookieName =
        "SAP_SESSIONID_" + QByteArray(DemoSystem::kSystemId) + '_' + logon.client.toLatin1();
    for (const QByteArray& part : request.headers.value("cookie").split(';')) {
        if (part.trimmed().startsWith(cookieName + '='))
            session = part.trimmed().mid(cookieName.size() + 1);
    }
    QByteArray setCookie;
    if (session.isEmpty() || !m_sessions.contains(session)) {
        session = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
        m_sessions.insert(session);
        setCookie = "Set-Cookie: " + cookieName + '=' + session + "; path=/\r\n";
    }

    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
    QString name;
    if (!readCall(request.body, function, &name) || name != u"RFC_READ_TABLE") {
        respond(socket, 500, "Internal Server Error", "text/xml; charset=utf-8",
                fault(name.isEmpty() ? QStringLiteral("SOAP_ERROR")
                                     : QStringLiteral("FUNCTION_NOT_FOUND")),
                setCookie);
        return;
    }
    // The answer starts with the first row, or at the end when there is none, so that an
    // exception raised before any row can still be a fault.
    bool started = false;
    QByteArray pending;
    const auto begin = [&] {
        started = true;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\n"
                      "Transfer-Encoding: chunked\r\n" +
                      setCookie + "\r\n");
        QByteArray head =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<soap-env:Envelope xmlns:soap-env=\"http://schemas.xmlsoap.org/soap/envelope/\">"
            "<soap-env:Body><rfc:RFC_READ_TABLE.Response "
            "xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><FIELDS>";
        // The fields are known before the first row: they go first, as a client reads best.
        for (const RfcTable::Row& row : function.Tables(QStringLiteral("FIELDS")).rows()) {
            head += "<item>";
            static const char* const kColumns[] = {"FIELDNAME", "OFFSET", "LENGTH", "TYPE",
                                                   "FIELDTEXT"};
            for (size_t c = 0; c < 5; ++c)
                head += QByteArray("<") + kColumns[c] + '>' +
                        SoapEnvelope::escape(row[c]).toUtf8() + "</" + kColumns[c] + '>';
            head += "</item>";
        }
        head += "</FIELDS><DATA>";
        chunk(socket, head);
    };
    // A system that may run out of memory answers only when the call is done, so that the
    // failure is a fault and not the end of a shorter answer.
    const bool wholeAnswer = destination.profile().rowBudget > 0;
    function.Tables(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
        if (wholeAnswer) {
            pending += "<item><WA>" + SoapEnvelope::escape(row.front()).toUtf8() + "</WA></item>";
            return;
        }
        if (!started)
            begin();
        pending += "<item><WA>" + SoapEnvelope::escape(row.front()).toUtf8() + "</WA></item>";
        if (pending.size() > (64 << 10)) {
            chunk(socket, pending);
            pending.clear();
        }
    });
    const bool ok = function.Call();
    if (!ok && !started) {
        respond(socket, 500, "Internal Server Error", "text/xml; charset=utf-8",
                fault(function.exception(), function.message()), setCookie);
        return;
    }
    if (!ok) {
        // Rows went out already: only a broken answer keeps the client from taking the rows
        // it got for all of them.
        socket->abort();
        return;
    }
    if (wholeAnswer && !started) {
        const QByteArray rows = std::move(pending);
        pending.clear();
        begin();
        pending = rows;
    }
    if (!started)
        begin();
    pending +=
        "</DATA><OPTIONS/></rfc:RFC_READ_TABLE.Response></soap-env:Body></soap-env:Envelope>";
    chunk(socket, pending);
    socket->write("0\r\n\r\n");
}
