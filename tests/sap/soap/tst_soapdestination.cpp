#include "HttpTestKit.h"
#include "sap/RfcFunction.h"
#include "sap/soap/SoapDestination.h"
#include "sap/soap/SystemCookieJar.h"

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QXmlStreamReader>

#include <QElapsedTimer>
#include <QNetworkCookie>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace
{
const QByteArray kRfc = "urn:sap-com:document:sap:rfc:functions";

QByteArray envelope(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
           "<SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

const QByteArray kResponseOpen = "<rfc:RFC_READ_TABLE.Response xmlns:rfc=\"" + kRfc +
                                 "\"><FIELDS><item><FIELDNAME>MANDT</FIELDNAME><OFFSET>000000"
                                 "</OFFSET><LENGTH>000003</LENGTH><TYPE>C</TYPE><FIELDTEXT>"
                                 "Client</FIELDTEXT></item></FIELDS><DATA>";
const QByteArray kFieldItem = "<item><FIELDNAME>MANDT</FIELDNAME><OFFSET>000000</OFFSET>"
                              "<LENGTH>000003</LENGTH><TYPE>C</TYPE><FIELDTEXT>Client"
                              "</FIELDTEXT></item>";
const QByteArray kResponseClose = "</DATA><OPTIONS/></rfc:RFC_READ_TABLE.Response>";

QByteArray rowsAnswer(const QList<QByteArray>& was)
{
    QByteArray body = kResponseOpen;
    for (const QByteArray& wa : was)
        body += "<item><WA>" + wa + "</WA></item>";
    return envelope(body + kResponseClose);
}

Reply answer(int status, const QByteArray& reason, const QByteArray& type, const QByteArray& body,
             const QByteArray& headers = {})
{
    return [=](QTcpSocket* socket, const HttpRequest&) {
        socket->write(httpHead(status, reason,
                               "Content-Type: " + type + "\r\nContent-Length: " +
                                   QByteArray::number(body.size()) + "\r\n" + headers) +
                      body);
    };
}

Reply soap(const QByteArray& body = rowsAnswer({}), const QByteArray& headers = {})
{
    return answer(200, "OK", "text/xml; charset=utf-8", body, headers);
}

const QByteArray kLoginPage = "<!DOCTYPE html><html><head><title>Logon</title></head><body>"
                              "<form><input name=\"sap-user\"><input name=\"sap-password\">"
                              "</form></body></html>";

LogonData logonData(const QString& password = QStringLiteral("s3cret"))
{
    LogonData data;
    data.system = QStringLiteral("http://127.0.0.1");
    data.client = QStringLiteral("100");
    data.user = QStringLiteral("DEMO");
    data.password = password;
    data.language = QStringLiteral("EN");
    return data;
}

struct Outcome {
    bool ok = false;
    QString exception;
    QString message;
    QStringList data;
    bool lost = false; // the way to the system broke
};

Outcome read(RfcDestination& destination, const QString& table = QStringLiteral("T000"))
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
    function.setImport(QStringLiteral("QUERY_TABLE"), table);
    function.table(QStringLiteral("FIELDS"));
    function.table(QStringLiteral("DATA"));
    Outcome outcome;
    outcome.ok = function.call();
    outcome.exception = function.exception();
    outcome.message = function.message();
    outcome.lost = function.connectionLost();
    for (const auto& row : function.table(QStringLiteral("DATA")).rows())
        outcome.data.append(row.at(0));
    return outcome;
}

QString queryTableOf(const QByteArray& body)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"QUERY_TABLE")
            return xml.readElementText();
    }
    return {};
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
} // namespace

Q_DECLARE_METATYPE(Reply)

class TestSoapDestination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestsCarryLogonAndSoapHeaders()
    {
        ScriptedServer server;
        server.replies = {soap(), soap(rowsAnswer({"000", "001"}))};
        SoapDestination destination(server.base(), QString(), 10000);
        LogonData data = logonData(QStringLiteral("pä:ss wörd"));
        data.language = QStringLiteral("PT");
        const RfcDestination::LogonResult logon = destination.logon(data);
        QVERIFY2(logon.ok, qPrintable(logon.error.en));
        QCOMPARE(logon.hostName, QStringLiteral("127.0.0.1"));
        const Outcome outcome = read(destination, QStringLiteral("T001"));
        QVERIFY2(outcome.ok, qPrintable(outcome.exception + u' ' + outcome.message));
        QCOMPARE(outcome.data, (QStringList{"000", "001"}));

        QCOMPARE(server.requests.size(), 2);
        for (const HttpRequest& request : std::as_const(server.requests)) {
            QCOMPARE(request.method, QByteArray("POST"));
            QCOMPARE(request.url().path(), QStringLiteral("/sap/bc/soap/rfc"));
            const QUrlQuery query(request.url());
            QCOMPARE(query.queryItemValue(QStringLiteral("sap-client")), QStringLiteral("100"));
            QCOMPARE(query.queryItemValue(QStringLiteral("sap-language")), QStringLiteral("PT"));
            QCOMPARE(request.credentials(), QStringLiteral("DEMO:pä:ss wörd"));
            const QByteArray type = request.header("content-type").toLower().replace(' ', "");
            QVERIFY2(type.startsWith("text/xml") && type.contains("charset=utf-8"), type);
            QByteArray action = request.header("soapaction");
            if (action.startsWith('"') && action.endsWith('"'))
                action = action.mid(1, action.size() - 2);
            QCOMPARE(action, kRfc);
        }
        // The logon proves the credentials with a real call; the read asks for its own table.
        QCOMPARE(queryTableOf(server.requests.at(0).body), QStringLiteral("T000"));
        QCOMPARE(queryTableOf(server.requests.at(1).body), QStringLiteral("T001"));
    }

    void keepsTheSessionCookie_data()
    {
        QTest::addColumn<QByteArray>("setCookie");
        QTest::addColumn<QString>("systemId");
        QTest::addColumn<QByteArray>("sentBack");

        QTest::newRow("session cookie")
            << QByteArray("Set-Cookie: SAP_SESSIONID_QAS_100=abc123; path=/\r\n") << "QAS"
            << QByteArray("SAP_SESSIONID_QAS_100=abc123");
        QTest::newRow("among other cookies, HttpOnly")
            << QByteArray("Set-Cookie: sap-usercontext=sap-client=100; path=/\r\n"
                          "Set-Cookie: MYSAPSSO2=AjQxMDM; path=/\r\n"
                          "Set-Cookie: SAP_SESSIONID_P01_100=x%3dY_z; path=/; HttpOnly\r\n")
            << "P01" << QByteArray("SAP_SESSIONID_P01_100=x%3dY_z");
        QTest::newRow("no session cookie")
            << QByteArray("Set-Cookie: sap-usercontext=sap-client=100; path=/\r\n") << ""
            << QByteArray("sap-usercontext=sap-client=100");
    }

    void keepsTheSessionCookie()
    {
        QFETCH(QByteArray, setCookie);
        QFETCH(QString, systemId);
        QFETCH(QByteArray, sentBack);
        ScriptedServer server;
        server.replies = {soap(rowsAnswer({}), setCookie), soap()};
        SoapDestination destination(server.base(), QString(), 10000);
        const RfcDestination::LogonResult logon = destination.logon(logonData());
        QVERIFY2(logon.ok, qPrintable(logon.error.en));
        QCOMPARE(logon.systemId, systemId);
        QVERIFY(read(destination).ok);
        QVERIFY(read(destination).ok);
        QCOMPARE(server.requests.size(), 3);
        QVERIFY(server.requests.at(0).header("cookie").isEmpty());
        for (int i : {1, 2}) {
            const QByteArray cookie = server.requests.at(i).header("cookie");
            QVERIFY2(cookie.contains(sentBack), cookie.constData());
        }
    }

    void aRenewedSessionReplacesTheOldOne()
    {
        ScriptedServer server;
        server.replies = {soap(rowsAnswer({}), "Set-Cookie: SAP_SESSIONID_QAS_100=old; path=/\r\n"),
                          soap(rowsAnswer({}), "Set-Cookie: SAP_SESSIONID_QAS_100=new; path=/\r\n"),
                          soap()};
        SoapDestination destination(server.base(), QString(), 10000);
        QVERIFY(destination.logon(logonData()).ok);
        QVERIFY(read(destination).ok);
        QVERIFY(read(destination).ok);
        QCOMPARE(server.requests.size(), 3);
        const QByteArray cookie = server.requests.at(2).header("cookie");
        QVERIFY2(cookie.contains("SAP_SESSIONID_QAS_100=new") && !cookie.contains("=old"),
                 cookie.constData());
    }

    void unauthorizedFailsTheLogon_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::newRow("with a challenge")
            << QByteArray("WWW-Authenticate: Basic realm=\"SAP NetWeaver Application Server\"\r\n");
        QTest::newRow("without a challenge") << QByteArray();
    }

    void unauthorizedFailsTheLogon()
    {
        QFETCH(QByteArray, headers);
        ScriptedServer server;
        server.replies = {answer(401, "Unauthorized", "text/html", kLoginPage, headers)};
        SoapDestination destination(server.base(), QString(), 10000);
        const RfcDestination::LogonResult logon = destination.logon(logonData());
        QVERIFY(!logon.ok);
        QCOMPARE(logon.error.en, QStringLiteral("Name or password is incorrect (repeat logon)"));
        // A failed logon keeps no password: a later call has none to send.
        read(destination);
        QCOMPARE(server.requests.size(), 2);
        QVERIFY2(!server.requests.at(1).credentials().contains(QStringLiteral("s3cret")),
                 qPrintable(server.requests.at(1).credentials()));
    }

    void soapFaultBecomesTheException()
    {
        ScriptedServer server;
        const QByteArray fault = envelope(
            "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode><faultstring>NOT_AUTHORIZED"
            "</faultstring></SOAP-ENV:Fault>");
        server.replies = {soap(), answer(500, "Internal Server Error", "text/xml", fault)};
        SoapDestination destination(server.base(), QString(), 10000);
        QVERIFY(destination.logon(logonData()).ok);
        const Outcome outcome = read(destination, QStringLiteral("BKPF"));
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.exception, QStringLiteral("NOT_AUTHORIZED"));
    }

    // Each failure is a SYSTEM_FAILURE with a message that says what happened, and the
    // destination still works for the next call.
    void failuresBecomeSystemFailures_data()
    {
        QTest::addColumn<Reply>("failure");
        QTest::addColumn<QString>("mention"); // in the message, ignoring case
        QTest::addColumn<bool>("lost");       // the same call may pass once the way is back

        const QByteArray body = rowsAnswer({"000", "001", "100"});
        const QByteArray part = body.left(body.indexOf("<item><WA>001"));
        QTest::newRow("silent server: timeout")
            << Reply([](QTcpSocket*, const HttpRequest&) {}) << QStringLiteral("time") << false;
        QTest::newRow("stalls mid-body") << Reply([part](QTcpSocket* socket, const HttpRequest&) {
            socket->write(httpHead(200, "OK",
                                   "Content-Type: text/xml\r\nContent-Length: " +
                                       QByteArray::number(part.size() + 500) + "\r\n") +
                          part);
        }) << QString() << false;
        QTest::newRow("dropped mid-body") << Reply([part](QTcpSocket* socket, const HttpRequest&) {
            socket->write(httpHead(200, "OK",
                                   "Content-Type: text/xml\r\nContent-Length: " +
                                       QByteArray::number(part.size() + 500) + "\r\n") +
                          part);
            socket->disconnectFromHost();
        }) << QString() << true;
        QTest::newRow("dropped mid-chunk") << Reply([part](QTcpSocket* socket, const HttpRequest&) {
            socket->write(
                httpHead(200, "OK", "Content-Type: text/xml\r\nTransfer-Encoding: chunked\r\n") +
                QByteArray::number(part.size() + 500, 16) + "\r\n" + part);
            socket->disconnectFromHost();
        }) << QString() << true;
        QTest::newRow("HTML login page")
            << answer(200, "OK", "text/html", kLoginPage) << QStringLiteral("HTTP 200") << false;
        QTest::newRow("proxy error")
            << answer(502, "Bad Gateway", "text/plain",
                      "The proxy server received an invalid response from an upstream server.")
            << QStringLiteral("HTTP 502") << false;
        QTest::newRow("redirect to a login page")
            << answer(302, "Found", "text/html", kLoginPage, "Location: /sap/bc/gui/logon\r\n")
            << QStringLiteral("HTTP 302") << false;
        QTest::newRow("empty answer")
            << answer(200, "OK", "text/xml", "") << QStringLiteral("HTTP 200") << false;
        // Another function's answer, or one outside the RFC namespace, is named in the message.
        QTest::newRow("another function's answer")
            << soap(envelope("<rfc:RFC_SYSTEM_INFO.Response xmlns:rfc=\"" + kRfc +
                             "\"><RFCSI_EXPORT><RFCSYSID>QAS</RFCSYSID></RFCSI_EXPORT>"
                             "</rfc:RFC_SYSTEM_INFO.Response>"))
            << QStringLiteral("<rfc:RFC_SYSTEM_INFO.Response>") << false;
        QTest::newRow("the response in no namespace")
            << soap(envelope("<RFC_READ_TABLE.Response><DATA/></RFC_READ_TABLE.Response>"))
            << QStringLiteral("(no namespace)") << false;
    }

    void failuresBecomeSystemFailures()
    {
        QFETCH(Reply, failure);
        QFETCH(QString, mention);
        QFETCH(bool, lost);
        ScriptedServer server;
        server.replies = {soap(), failure, soap(rowsAnswer({"000"}))};
        SoapDestination destination(server.base(), QString(), 700);
        QVERIFY(destination.logon(logonData()).ok);
        const Outcome outcome = read(destination);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.exception, QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY(!outcome.message.isEmpty());
        QVERIFY2(outcome.message.contains(mention, Qt::CaseInsensitive),
                 qPrintable(outcome.message));
        QCOMPARE(outcome.lost, lost);
        const Outcome next = read(destination);
        QVERIFY2(next.ok, qPrintable(next.exception + u' ' + next.message));
        QVERIFY(!next.lost);
        QCOMPARE(next.data, QStringList{"000"});
    }

    void aRefusedConnectionFailsWithAMessage()
    {
        const QUrl base(QStringLiteral("http://127.0.0.1:%1").arg(closedPort()));
        SoapDestination destination(base, QString(), 10000);
        const RfcDestination::LogonResult logon = destination.logon(logonData());
        QVERIFY(!logon.ok);
        QVERIFY(!logon.error.isEmpty());
        const Outcome outcome = read(destination);
        QCOMPARE(outcome.exception, QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY(!outcome.message.isEmpty());
        QVERIFY(outcome.lost);
    }

    void logoffEndsTheSessionAndForgetsThePassword()
    {
        ScriptedServer server;
        server.replies = {soap(rowsAnswer({}), "Set-Cookie: SAP_SESSIONID_QAS_100=abc; path=/\r\n"),
                          answer(200, "OK", "text/html", "<html><body>Logged off</body></html>"),
                          answer(401, "Unauthorized", "text/html", kLoginPage)};
        SoapDestination destination(server.base(), QString(), 10000);
        QVERIFY(destination.logon(logonData()).ok);
        destination.logoff();
        QCOMPARE(server.requests.size(), 2);
        const HttpRequest& logoff = server.requests.at(1);
        QCOMPARE(logoff.url().path(), QStringLiteral("/sap/public/bc/icf/logoff"));
        QVERIFY2(logoff.header("cookie").contains("SAP_SESSIONID_QAS_100=abc"),
                 logoff.header("cookie").constData());

        const Outcome after = read(destination);
        QVERIFY(!after.ok);
        QCOMPARE(server.requests.size(), 3);
        const HttpRequest& late = server.requests.at(2);
        QVERIFY2(!late.credentials().contains(QStringLiteral("s3cret")),
                 qPrintable(late.credentials()));
        QVERIFY2(!late.header("cookie").contains("SAP_SESSIONID"),
                 late.header("cookie").constData());
    }

    // A long answer keeps coming in bursts; the caller cancels after a few rows.
    void cancellingStopsALongAnswer()
    {
        constexpr int total = 5000;
        struct Stream {
            int sent = 0;
            bool complete = false;
        };
        auto stream = std::make_shared<Stream>();
        ScriptedServer server;
        const Reply slowRows = [stream](QTcpSocket* socket, const HttpRequest&) {
            socket->write(
                httpHead(200, "OK", "Content-Type: text/xml\r\nTransfer-Encoding: chunked\r\n"));
            const QByteArray start =
                envelope(kResponseOpen).left(envelope(kResponseOpen).indexOf("</SOAP-ENV:Body>"));
            socket->write(QByteArray::number(start.size(), 16) + "\r\n" + start + "\r\n");
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, stream] {
                if (socket->state() != QAbstractSocket::ConnectedState) {
                    timer->stop();
                    return;
                }
                QByteArray burst;
                for (int i = 0; i < 20 && stream->sent < total; ++i, ++stream->sent)
                    burst += "<item><WA>" + QByteArray::number(stream->sent) + "</WA></item>";
                if (stream->sent == total) {
                    burst += kResponseClose + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
                    stream->complete = true;
                    timer->stop();
                }
                socket->write(QByteArray::number(burst.size(), 16) + "\r\n" + burst + "\r\n");
                if (stream->complete)
                    socket->write("0\r\n\r\n");
            });
            timer->start(10);
        };
        server.replies = {soap(), slowRows};
        SoapDestination destination(server.base(), QString(), 10000);
        QVERIFY(destination.logon(logonData()).ok);

        std::atomic<bool> cancel{false};
        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
        function.setCancel(&cancel);
        function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("BSEG"));
        function.table(QStringLiteral("FIELDS"));
        int rows = 0;
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row&) {
            if (++rows == 50)
                cancel = true;
        });
        QVERIFY(!function.call());
        QCOMPARE(function.exception(), QStringLiteral("CANCELLED"));
        QVERIFY(rows >= 50);
        QVERIFY2(!stream->complete, "the whole answer was read despite the cancellation");
        QVERIFY(rows < total);
    }

    // A server as hostile as it likes: the call ends with a message saying what was wrong,
    // holding no more than a bounded part of what came, and the destination works afterwards.
    void boundedWhateverTheServerSends_data()
    {
        QTest::addColumn<Reply>("hostile");
        QTest::addColumn<QString>("mention");

        const QByteArray start =
            envelope(kResponseOpen).left(envelope(kResponseOpen).indexOf("</SOAP-ENV:Body>"));
        const auto endless = [](QByteArray piece) { return [piece] { return piece; }; };
        QByteArray rows;
        for (int i = 0; i < 1000; ++i)
            rows += "<item><WA>" + QByteArray::number(i) + "|endless</WA></item>";
        QTest::newRow("endless rows, more than ROWCOUNT")
            << streamed(start, endless(rows)) << QStringLiteral("more rows than the 5000");
        QTest::newRow("one endless value")
            << streamed(start + "<item><WA>", endless(QByteArray(65536, 'x')))
            << QStringLiteral("longer than");
        QTest::newRow("a value of 600 characters")
            << soap(rowsAnswer({QByteArray(600, 'x')})) << QStringLiteral("longer than");
        QTest::newRow("an endless element name")
            << streamed(start + "<item><W", endless(QByteArray(65536, 'A')))
            << QStringLiteral("no valid RFC_READ_TABLE answer");
        QTest::newRow("an endless comment")
            << streamed(start + "<!--", endless(QByteArray(65536, 'c')))
            << QStringLiteral("markup");
        QTest::newRow("endless nesting")
            << streamed(start, endless(QByteArray("<a>").repeated(1000)))
            << QStringLiteral("deeper");
        QTest::newRow("endless FIELDS") << streamed(start.left(start.indexOf("<FIELDS>") + 8),
                                                    endless(kFieldItem.repeated(100)))
                                        << QStringLiteral("rows of FIELDS");
        QTest::newRow("a byte now and then")
            << dripping(start, rows, 200) << QStringLiteral("no progress for 1.5 seconds");
        QTest::newRow("silent after the first bytes") << Reply([start](QTcpSocket* socket,
                                                                       const HttpRequest&) {
            socket->write(httpHead(200, "OK", "Transfer-Encoding: chunked\r\n") + chunkOf(start));
        }) << QStringLiteral("no progress");
    }

    void boundedWhateverTheServerSends()
    {
        QFETCH(Reply, hostile);
        QFETCH(QString, mention);
        ScriptedServer server;
        server.replies = {soap(), hostile, soap(rowsAnswer({"000"}))};
        SoapDestination destination(server.base(), QString(), 1500);
        QVERIFY(destination.logon(logonData()).ok);

        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
        function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("BSEG"));
        function.setImport(QStringLiteral("ROWCOUNT"), QStringLiteral("5000"));
        function.table(QStringLiteral("FIELDS"));
        int rows = 0;
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row&) { ++rows; });
        QVERIFY(!function.call());
        QCOMPARE(function.exception(), QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY2(function.message().contains(mention), qPrintable(function.message()));
        QVERIFY(rows <= 5000);
        QVERIFY(function.table(QStringLiteral("FIELDS")).rowCount() <= 10000);
        const Outcome next = read(destination);
        QVERIFY2(next.ok, qPrintable(next.exception + u' ' + next.message));
    }

    // The engine cancels from a worker thread: the call ends soon even while the server says
    // nothing at all, long before the time limit.
    void cancelEndsACallWhileTheServerIsSilent()
    {
        ScriptedServer server;
        server.replies = {soap(), Reply([](QTcpSocket*, const HttpRequest&) {})};
        SoapDestination destination(server.base(), QString(), 60000);
        QVERIFY(destination.logon(logonData()).ok);
        std::atomic<bool> cancel{false};
        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
        function.setCancel(&cancel);
        function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("T000"));
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        QElapsedTimer timer;
        timer.start();
        const bool ok = function.call();
        const qint64 elapsed = timer.elapsed();
        canceller.join();
        QVERIFY(!ok);
        QCOMPARE(function.exception(), QStringLiteral("CANCELLED"));
        QVERIFY2(elapsed < 10000, qPrintable(QString::number(elapsed)));
    }

    // A redirect is never followed, so nothing (and no cookie) goes to another scheme, host or
    // port, neither from a call nor from the logoff.
    void redirectsAreNotFollowed_data()
    {
        QTest::addColumn<QString>("target"); // %1: the other server's port
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("fromLogoff");
        for (const bool logoff : {false, true}) {
            const char* request = logoff ? "logoff" : "call";
            QTest::addRow("%s to another port", request)
                << QStringLiteral("http://127.0.0.1:%1/sap/bc/soap/rfc") << 302 << logoff;
            QTest::addRow("%s to another host", request)
                << QStringLiteral("http://localhost:%1/x") << 307 << logoff;
            QTest::addRow("%s to another scheme", request)
                << QStringLiteral("https://127.0.0.1:%1/") << 301 << logoff;
            QTest::addRow("%s, 308 to another port", request)
                << QStringLiteral("http://127.0.0.1:%1/") << 308 << logoff;
        }
    }

    void redirectsAreNotFollowed()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(bool, fromLogoff);
        ScriptedServer other;
        other.replies = {soap()};
        const QByteArray location = target.arg(other.port()).toLatin1();
        const Reply redirect =
            answer(status, "Moved", "text/html", kLoginPage, "Location: " + location + "\r\n");
        ScriptedServer server;
        const QByteArray cookie = "Set-Cookie: SAP_SESSIONID_QAS_100=secret; path=/\r\n";
        server.replies = {soap(rowsAnswer({}), cookie), redirect};
        SoapDestination destination(server.base(), QString(), 5000);
        QVERIFY(destination.logon(logonData()).ok);
        if (fromLogoff) {
            destination.logoff();
        } else {
            const Outcome outcome = read(destination);
            QCOMPARE(outcome.exception, QStringLiteral("SYSTEM_FAILURE"));
            QVERIFY2(outcome.message.contains(QString::fromLatin1(location)) &&
                         outcome.message.contains(QStringLiteral("not followed")),
                     qPrintable(outcome.message));
        }
        // Connections are accepted in the order they were made: once a probe of our own made
        // now is counted, one that following the redirect had made would have been counted first.
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, other.port());
        QTRY_COMPARE(other.connections, 1);
        QCOMPARE(other.requests.size(), 0);
        QCOMPARE(server.requests.size(), 2);
    }

    // The jar of a system keeps and sends cookies of that system only.
    void cookiesStayWithTheirSystem_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("setBy");
        QTest::addColumn<QByteArray>("cookie");
        QTest::addColumn<QString>("askedFor");
        QTest::addColumn<bool>("sent");

        const QString system = QStringLiteral("https://sap.example.com:44300/sap/bc/soap/rfc");
        const QByteArray plain = "SAP_SESSIONID_QAS_100=abc; path=/";
        const QByteArray wide = "MYSAPSSO2=xyz; path=/; domain=.example.com";
        QTest::newRow("the system itself") << system << system << plain << system << true;
        QTest::newRow("its logoff address")
            << system << system << plain << "https://sap.example.com:44300/sap/public/bc/icf/logoff"
            << true;
        QTest::newRow("another port")
            << system << system << plain << "https://sap.example.com:8443/" << false;
        QTest::newRow("another scheme")
            << system << system << plain << "http://sap.example.com:44300/" << false;
        QTest::newRow("another host")
            << system << system << plain << "https://evil.example.net:44300/" << false;
        QTest::newRow("the domain's other host")
            << system << system << wide << "https://other.example.com:44300/" << false;
        QTest::newRow("set by another host")
            << system << "https://evil.example.com:44300/" << wide << system << false;
        QTest::newRow("the default port written out")
            << "http://sap.example.com"
            << "http://sap.example.com/x" << plain << "http://sap.example.com:80/y" << true;
    }

    void cookiesStayWithTheirSystem()
    {
        QFETCH(QString, system);
        QFETCH(QString, setBy);
        QFETCH(QByteArray, cookie);
        QFETCH(QString, askedFor);
        QFETCH(bool, sent);
        SystemCookieJar jar{QUrl(system)};
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(cookie), QUrl(setBy));
        QCOMPARE(!jar.cookiesForUrl(QUrl(askedFor)).isEmpty(), sent);
    }

    // A system with a certificate of its own is refused, naming the certificate; once the user
    // trusts that certificate for that system, the logon goes through over TLS.
    void aSystemsOwnCertificateIsTrustedOnlyWhenChosen()
    {
        ScriptedServer server(true);
        server.replies = {soap(), soap(rowsAnswer({"000", "001"}))};
        QTemporaryDir folder;
        const QString trustFile = folder.filePath(QStringLiteral("trusted-systems.ini"));
        const QString fingerprint = HttpExchange::fingerprint(ScriptedServer::certificate());
        QVERIFY(!fingerprint.isEmpty());

        SoapDestination untrusted(server.base(), trustFile, 10000);
        const RfcDestination::LogonResult refused = untrusted.logon(logonData());
        QVERIFY(!refused.ok);
        QCOMPARE(SoapDestination::fingerprintIn(refused.error.en), fingerprint);
        QCOMPARE(SoapDestination::fingerprintIn(refused.error.pt), fingerprint);
        QVERIFY(server.requests.isEmpty());

        QVERIFY(SoapDestination::trust(trustFile, server.base(), fingerprint));
        SoapDestination trusted(server.base(), trustFile, 10000);
        const RfcDestination::LogonResult logon = trusted.logon(logonData());
        QVERIFY2(logon.ok, qPrintable(logon.error.en));
        const Outcome outcome = read(trusted);
        QVERIFY2(outcome.ok, qPrintable(outcome.message));
        QCOMPARE(outcome.data, (QStringList{"000", "001"}));
        QCOMPARE(server.requests.size(), 2);
        QCOMPARE(server.requests.front().credentials(), QStringLiteral("DEMO:s3cret"));
    }

    void noClientLetsTheSystemChoose()
    {
        ScriptedServer server;
        server.replies = {soap()};
        SoapDestination destination(server.base(), QString(), 10000);
        LogonData data = logonData();
        data.client.clear();
        QVERIFY(destination.logon(data).ok);
        QCOMPARE(server.requests.size(), 1);
        const QUrlQuery query(server.requests.front().url());
        QVERIFY2(!query.hasQueryItem(QStringLiteral("sap-client")), qPrintable(query.toString()));
    }

    void aLargeAnswerStreamsToTheSink()
    {
        constexpr int total = 20000;
        const QByteArray filler(500, 'x');
        QList<QByteArray> was;
        for (int i = 0; i < total; ++i)
            was.append(QByteArray::number(i) + ' ' + filler);
        ScriptedServer server;
        const QByteArray body = rowsAnswer(was);
        QVERIFY(body.size() > (10 << 20));
        server.replies = {soap(), soap(body)};
        SoapDestination destination(server.base(), QString(), 10000);
        QVERIFY(destination.logon(logonData()).ok);

        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
        function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("BSEG"));
        function.table(QStringLiteral("FIELDS"));
        int rows = 0;
        int misplaced = 0;
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
            if (row.at(0) != QString::number(rows) + u' ' + QString::fromLatin1(filler))
                ++misplaced;
            ++rows;
        });
        QVERIFY2(function.call(), qPrintable(function.exception() + u' ' + function.message()));
        QCOMPARE(rows, total);
        QCOMPARE(misplaced, 0);
        QCOMPARE(function.table(QStringLiteral("DATA")).rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSoapDestination)
#include "tst_soapdestination.moc"
