// zorv-demo-server driven with raw HTTP, as a hostile or careless client would drive it: each
// request answered as a real system answers it, or refused with its HTTP status, and the
// server serving everyone else all along.
#include "DemoCallKit.h"
#include "DemoHome.h"
#include "DemoServerProcess.h"
#include "HttpTestKit.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "sap/soap/SoapResponseReader.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
const QByteArray kRfc = "urn:sap-com:document:sap:rfc:functions";

QByteArray callBody(const QByteArray& inside, const QByteArray& prefix = "urn")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://"
           "schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body><" +
           prefix + ":RFC_READ_TABLE xmlns:" + prefix + "=\"" + kRfc + "\">" + inside + "</" +
           prefix + ":RFC_READ_TABLE></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

QByteArray fieldsTable(const QList<QByteArray>& names)
{
    QByteArray table = "<FIELDS>";
    for (const QByteArray& name : names)
        table += "<item><FIELDNAME>" + name + "</FIELDNAME></item>";
    return table + "</FIELDS>";
}

// A whole request: POST to the RFC service as DEMO unless told otherwise.
QByteArray post(const QByteArray& body, const QByteArray& headers = {},
                const QByteArray& target = "/sap/bc/soap/rfc?sap-client=100",
                const QByteArray& credentials = "DEMO:welcome")
{
    QByteArray request = "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                         "Content-Type: text/xml; charset=utf-8\r\n";
    if (!credentials.isEmpty())
        request += "Authorization: Basic " + credentials.toBase64() + "\r\n";
    return request + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

// Every row of BSEG at scale 1: ten thousand, an answer far larger than socket buffers.
const QByteArray kAllOfBseg = callBody("<QUERY_TABLE>BSEG</QUERY_TABLE><DELIMITER>|</DELIMITER>"
                                       "<FIELDS/><DATA/>");

// What a SOAP answer holds, read by the client's own reader.
struct Read {
    SoapResponseReader::State state = SoapResponseReader::State::Reading;
    QString fault;
    QStringList fields;
    QStringList data;
};

Read readAnswer(const QByteArray& body)
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    function.table(QStringLiteral("FIELDS"));
    function.table(QStringLiteral("DATA"));
    SoapResponseReader reader(function);
    reader.feed(body);
    reader.finish();
    Read read;
    read.state = reader.state();
    read.fault = reader.fault();
    for (const auto& row : function.table(QStringLiteral("FIELDS")).rows())
        read.fields.append(QStringList(row.begin(), row.end()).join(u'\t'));
    for (const auto& row : function.table(QStringLiteral("DATA")).rows())
        read.data.append(row.at(0));
    return read;
}
} // namespace

class TestDemoServerHttp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    DemoServerProcess m_server;

    HttpAnswer exchange(const QByteArray& request, quint16 port = 0)
    {
        RawClient client;
        if (!client.connectTo(port ? port : m_server.port()))
            return {};
        client.send(request);
        return client.read();
    }

    // The server still serves a normal call, whatever happened before.
    bool stillServes() { return stillServesOn(m_server.port()); }

    bool stillServesOn(quint16 port)
    {
        const HttpAnswer answer =
            exchange(post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>")), port);
        return answer.status == 200 && answer.complete && readAnswer(answer.body).data.size() == 3;
    }

    // The same read in-process: every field unless fields are named.
    Outcome inProcess(const QString& table, const QStringList& fields, const QStringList& options,
                      const QString& delimiter, const QString& noData = {},
                      const QString& language = QStringLiteral("EN"))
    {
        Request request;
        request.table = table;
        request.fields = fields;
        request.options = options;
        request.delimiter = delimiter;
        request.noData = noData;
        const auto destination = demoLogon(QStringLiteral("DEMO"), language);
        return destination ? call(*destination, request) : Outcome{};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        QVERIFY2(m_server.start(m_home.path(), {}, &error), qPrintable(error));
    }

    void refusesWhatItCannotServe_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");

        // Refusals of a request whose framing cannot be trusted end the connection.
        const QByteArray head = "POST /sap/bc/soap/rfc HTTP/1.1\r\nHost: h\r\n";
        QTest::newRow("negative length, no logon") << head + "Content-Length: -1000\r\n\r\n" << 400;
        QTest::newRow("a length that is no number") << head + "Content-Length: 12ab\r\n\r\n" << 400;
        QTest::newRow("a body over 16 MB, announced") << head + "Content-Length: 17000000\r\n\r\n"
                                                      << 413;
        QTest::newRow("a header over 64 KB")
            << head + "X-Padding: " + QByteArray(70 * 1024, 'p') + "\r\n\r\n"
            << 431;
        QTest::newRow("both framings")
            << head + "Content-Length: 4\r\nTransfer-Encoding: chunked\r\n\r\n"
            << 400;
        QTest::newRow("an unknown transfer coding") << head + "Transfer-Encoding: br\r\n\r\n"
                                                    << 501;
        QTest::newRow("POST without a length") << head + "\r\n" << 411;
        QTest::newRow("HTTP/2.0") << QByteArray("GET / HTTP/2.0\r\n\r\n") << 505;
        QTest::newRow("no HTTP at all") << QByteArray("\x16\x03\x01\x02\x05hello\r\n\r\n") << 400;
        QTest::newRow("another address")
            << post(callBody("<QUERY_TABLE>T000</QUERY_TABLE>"), {}, "/sap/bc/soap/wsdl") << 404;
        QTest::newRow("GET of the service")
            << QByteArray("GET /sap/bc/soap/rfc HTTP/1.1\r\n\r\n") << 405;
        QTest::newRow("an OPTIONS element not named item")
            << post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><OPTIONS><item><TEXT>MANDT = '100'"
                             "</TEXT></item><z><TEXT>y</TEXT></z></OPTIONS><DATA/>"))
            << 200;
        QTest::newRow("entities that multiply")
            << post("<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                    "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">"
                    "]><l>&c;</l>")
            << 500;
        const QByteArray withEntity = callBody("<QUERY_TABLE>&x;</QUERY_TABLE>");
        QTest::newRow("an external entity")
            << post("<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY x SYSTEM \"file:///etc/passwd\">"
                    "]>" +
                    withEntity.mid(withEntity.indexOf("<SOAP-ENV:Envelope")))
            << 500;
        QTest::newRow("a million nested elements")
            << post(QByteArray("<a>").repeated(1000000) + QByteArray("</a>").repeated(1000000))
            << 500;
        QTest::newRow("not XML") << post("QUERY_TABLE=T000") << 500;
    }

    void refusesWhatItCannotServe()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        RawClient client;
        QVERIFY(client.connectTo(m_server.port()));
        client.send(request);
        const HttpAnswer answer = client.read();
        QCOMPARE(answer.status, status);
        QVERIFY(answer.complete);
        if (status != 200 && status != 404 && status != 405 && status != 500) {
            QCOMPARE(answer.header("connection"), QByteArray("close"));
            QVERIFY(client.closedWithin(5000));
        }
        QVERIFY(stillServes());
    }

    // A client that announces too large a body hears so before it sends it.
    void aBodyTooLargeIsRefusedAtOnce()
    {
        RawClient client;
        QVERIFY(client.connectTo(m_server.port()));
        client.send("POST /sap/bc/soap/rfc HTTP/1.1\r\nExpect: 100-continue\r\n"
                    "Content-Length: 104857600\r\n\r\n");
        const HttpAnswer refused = client.read(5000);
        QCOMPARE(refused.status, 413);

        RawClient polite;
        QVERIFY(polite.connectTo(m_server.port()));
        const QByteArray body = callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>");
        polite.send("POST /sap/bc/soap/rfc?sap-client=100 HTTP/1.1\r\nAuthorization: Basic " +
                    QByteArray("DEMO:welcome").toBase64() +
                    "\r\nExpect: 100-continue\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\n\r\n");
        QCOMPARE(polite.read(5000).status, 100);
        polite.send(body);
        QCOMPARE(polite.read().status, 200);
    }

    // The layout of answers and faults, as recorded from ABAP systems.
    void answersLookLikeASystems()
    {
        const HttpAnswer answer =
            exchange(post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><ROWCOUNT>1</ROWCOUNT>" +
                                       fieldsTable({"MANDT"}) + "<OPTIONS/><DATA/>",
                                   "ns1")));
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.header("content-type"), QByteArray("text/xml; charset=utf-8"));
        QCOMPARE(answer.body,
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\""
                 "http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
                 "<ns1:RFC_READ_TABLE.Response xmlns:ns1=\"" +
                     kRfc +
                     "\"><DATA>\n<item><WA>000</WA></item>\n</DATA><FIELDS>\n<item><FIELDNAME>"
                     "MANDT</FIELDNAME><OFFSET>000000</OFFSET><LENGTH>000003</LENGTH><TYPE>C"
                     "</TYPE><FIELDTEXT>Client</FIELDTEXT></item>\n</FIELDS><OPTIONS/>"
                     "</ns1:RFC_READ_TABLE.Response></SOAP-ENV:Body></SOAP-ENV:Envelope>");

        const HttpAnswer fault = exchange(post(callBody("<QUERY_TABLE>ZNOSUCH</QUERY_TABLE>")));
        QCOMPARE(fault.status, 500);
        QVERIFY2(fault.body.contains("<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Client"
                                     "</faultcode><faultstring>TABLE_NOT_AVAILABLE</faultstring>"),
                 fault.body.constData());
        QCOMPARE(readAnswer(fault.body).fault, QStringLiteral("TABLE_NOT_AVAILABLE"));
    }

    // A table left out of the request comes back empty; the others as in-process.
    void tablesInTheAnswerFollowTheRequest_data()
    {
        QTest::addColumn<QByteArray>("tables");
        QTest::addColumn<bool>("fields");
        QTest::addColumn<bool>("data");
        QTest::addColumn<bool>("options");

        const QByteArray fields = fieldsTable({"BUKRS", "LAND1"});
        const QByteArray options = "<OPTIONS><item><TEXT>LAND1 = 'BR'</TEXT></item></OPTIONS>";
        QTest::newRow("every table") << fields + options + "<DATA/>" << true << true << true;
        QTest::newRow("DATA left out") << fields + options << true << false << true;
        QTest::newRow("FIELDS left out") << options + "<DATA></DATA>" << false << true << true;
        QTest::newRow("OPTIONS left out") << fields + "<DATA/>" << true << true << false;
        QTest::newRow("every table left out") << QByteArray() << false << false << false;
    }

    void tablesInTheAnswerFollowTheRequest()
    {
        QFETCH(QByteArray, tables);
        QFETCH(bool, fields);
        QFETCH(bool, data);
        QFETCH(bool, options);
        const HttpAnswer answer = exchange(
            post(callBody("<QUERY_TABLE>T001</QUERY_TABLE><DELIMITER>|</DELIMITER>" + tables)));
        QCOMPARE(answer.status, 200);
        const Read read = readAnswer(answer.body);
        QCOMPARE(read.state, SoapResponseReader::State::Done);
        const Outcome local =
            inProcess("T001", fields ? QStringList{"BUKRS", "LAND1"} : QStringList{},
                      options ? QStringList{"LAND1 = 'BR'"} : QStringList{}, "|");
        QVERIFY(local.ok);
        QCOMPARE(read.fields, fields ? local.fields : QStringList{});
        QCOMPARE(read.data, data ? local.data : QStringList{});
        for (const char* table : {"FIELDS", "DATA", "OPTIONS"}) {
            const bool wanted = QByteArray(table) == "FIELDS" ? fields
                                : QByteArray(table) == "DATA" ? data
                                                              : options;
            if (!wanted)
                QVERIFY(answer.body.contains('<' + QByteArray(table) + "/>"));
        }
    }

    // The client from the URL, else from the header, else the default; the language likewise.
    void logonClientAndLanguage_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("realm"); // of a refusal
        QTest::addColumn<QString>("language"); // of the field texts

        QTest::newRow("client in the URL")
            << QByteArray("?sap-client=100") << QByteArray() << 200 << QByteArray() << "EN";
        QTest::newRow("client in the header")
            << QByteArray() << QByteArray("sap-client: 100\r\n") << 200 << QByteArray() << "EN";
        QTest::newRow("no client: the default")
            << QByteArray() << QByteArray() << 200 << QByteArray() << "EN";
        QTest::newRow("the URL before the header")
            << QByteArray("?sap-client=100") << QByteArray("sap-client: 200\r\n") << 200
            << QByteArray() << "EN";
        QTest::newRow("another client in the header")
            << QByteArray() << QByteArray("sap-client: 200\r\n") << 401 << QByteArray("[DMO/200]")
            << QString();
        QTest::newRow("a client that is no client")
            << QByteArray("?sap-client=1%22%0D%0AX:%20y") << QByteArray() << 401
            << QByteArray("[DMO/100]") << QString();
        QTest::newRow("language in the URL")
            << QByteArray("?sap-language=PT") << QByteArray() << 200 << QByteArray() << "PT";
        QTest::newRow("language in the header")
            << QByteArray() << QByteArray("sap-language: PT\r\n") << 200 << QByteArray() << "PT";
    }

    void logonClientAndLanguage()
    {
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, headers);
        QFETCH(int, status);
        QFETCH(QByteArray, realm);
        QFETCH(QString, language);
        const QByteArray body = callBody("<QUERY_TABLE>T001</QUERY_TABLE><NO_DATA>X</NO_DATA>" +
                                         fieldsTable({"BUKRS"}));
        const HttpAnswer answer = exchange(post(body, headers, "/sap/bc/soap/rfc" + query));
        QCOMPARE(answer.status, status);
        if (status == 401) {
            QCOMPARE(answer.header("www-authenticate"),
                     "Basic realm=\"SAP NetWeaver Application Server " + realm + '"');
            return;
        }
        QCOMPARE(readAnswer(answer.body).fields,
                 inProcess("T001", {"BUKRS"}, {}, {}, "X", language).fields);
    }

    void aMissingOrWrongLogonIsChallenged_data()
    {
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("none") << QByteArray();
        QTest::newRow("wrong password") << QByteArray("Basic " + QByteArray("DEMO:x").toBase64());
        QTest::newRow("another scheme") << QByteArray("Bearer abc");
        QTest::newRow("not base64") << QByteArray("Basic !!!");
        QTest::newRow("no colon") << QByteArray("Basic " + QByteArray("DEMO").toBase64());
    }

    void aMissingOrWrongLogonIsChallenged()
    {
        QFETCH(QByteArray, authorization);
        const QByteArray header =
            authorization.isEmpty() ? QByteArray() : "Authorization: " + authorization + "\r\n";
        const HttpAnswer answer = exchange(post(callBody("<QUERY_TABLE>T000</QUERY_TABLE>"), header,
                                                "/sap/bc/soap/rfc?sap-client=100", {}));
        QCOMPARE(answer.status, 401);
        QCOMPARE(answer.header("www-authenticate"),
                 QByteArray("Basic realm=\"SAP NetWeaver Application Server [DMO/100]\""));
        // A DEMO that failed is served again once it logs on right.
        QVERIFY(stillServes());
    }

    // Each wrong password of a user makes that user's next attempt wait longer; others are
    // served meanwhile.
    void wrongPasswordsAreSlowedForThatUserOnly()
    {
        const QByteArray body = callBody("<QUERY_TABLE>T000</QUERY_TABLE>");
        const QByteArray wrong = post(body, {}, "/sap/bc/soap/rfc", "INTRUDER:guess");
        RawClient intruder;
        QVERIFY(intruder.connectTo(m_server.port()));
        QElapsedTimer timer;
        for (int attempt = 1; attempt <= 4; ++attempt) {
            timer.start();
            intruder.send(wrong);
            QCOMPARE(intruder.read().status, 401);
        }
        // The fourth attempt came after three failures: it waited a second before its answer.
        QVERIFY2(timer.elapsed() >= 900, qPrintable(QString::number(timer.elapsed())));

        intruder.send(wrong); // waits two seconds now
        RawClient other;
        QVERIFY(other.connectTo(m_server.port()));
        other.send(post(body, {}, "/sap/bc/soap/rfc", "AUDIT:welcome"));
        QCOMPARE(other.read().status, 200);
        QVERIFY2(!intruder.waitingData(), "the other user waited for the intruder");
        QCOMPARE(intruder.read().status, 401);
    }

    // A client that goes away in the middle of a long answer harms nobody.
    void aDisconnectMidAnswerHarmsNoOne()
    {
        for (int i = 0; i < 5; ++i) {
            RawClient client;
            QVERIFY(client.connectTo(m_server.port()));
            client.send(post(kAllOfBseg));
            QVERIFY(client.socket().waitForReadyRead(10000));
            client.socket().read(1000 * (i + 1));
            client.abort();
        }
        QVERIFY(stillServes());
        QVERIFY(m_server.running());
    }

    // Clients that read slowly, or not at all, hold their own connections only.
    void aSlowReaderDelaysNoOne()
    {
        std::vector<std::unique_ptr<RawClient>> slow;
        for (int i = 0; i < 3; ++i) {
            slow.push_back(std::make_unique<RawClient>());
            QVERIFY(slow.back()->connectTo(m_server.port(), 4096));
            slow.back()->send(post(kAllOfBseg));
        }
        QTest::qWait(300);
        QVERIFY(stillServes());
        // Then each slow reader still gets the whole answer, the same for all.
        QByteArray first;
        for (const auto& client : slow) {
            const HttpAnswer answer = client->read(60000);
            QCOMPARE(answer.status, 200);
            QVERIFY(answer.complete);
            QCOMPARE(readAnswer(answer.body).data.size(), 10000);
            if (first.isEmpty())
                first = answer.body;
            QVERIFY(answer.body == first);
        }
    }

    // Several requests on one connection, one after the other or all at once.
    void requestsShareAConnection()
    {
        RawClient client;
        QVERIFY(client.connectTo(m_server.port()));
        const QByteArray request = post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>"));
        client.send(request);
        const HttpAnswer first = client.read();
        QCOMPARE(first.status, 200);
        const QByteArray cookie = first.header("set-cookie").split(';').front();
        QVERIFY2(cookie.startsWith("SAP_SESSIONID_DMO_100="), cookie.constData());
        client.send(request.left(request.indexOf("\r\n\r\n")) + "\r\nCookie: " + cookie +
                    request.mid(request.indexOf("\r\n\r\n")) + request);
        const HttpAnswer second = client.read();
        const HttpAnswer third = client.read();
        QCOMPARE(second.status, 200);
        QVERIFY2(second.header("set-cookie").isEmpty(), "the session was not kept");
        QCOMPARE(third.status, 200);
        QCOMPARE(second.body, first.body);
        QCOMPARE(third.body, first.body);
    }

    void chunkedRequestsAndHttp10Clients()
    {
        const QByteArray body = callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>");
        QByteArray chunks;
        for (qsizetype at = 0; at < body.size(); at += 100)
            chunks += chunkOf(body.mid(at, 100));
        const HttpAnswer chunked = exchange(
            "POST /sap/bc/soap/rfc HTTP/1.1\r\nTransfer-Encoding: chunked\r\nAuthorization: "
            "Basic " +
            QByteArray("DEMO:welcome").toBase64() + "\r\n\r\n" + chunks + "0\r\n\r\n");
        QCOMPARE(chunked.status, 200);
        QCOMPARE(readAnswer(chunked.body).data.size(), 3);

        QByteArray old = post(body);
        old.replace("HTTP/1.1", "HTTP/1.0");
        const HttpAnswer answer = exchange(old);
        QCOMPARE(answer.status, 200);
        QVERIFY(answer.header("transfer-encoding").isEmpty());
        QVERIFY(answer.closed);
        QCOMPARE(readAnswer(answer.body).data.size(), 3);
    }

    // Fifty clients at once, each reading ten thousand rows: all complete, all identical to an
    // in-process read.
    void fiftyClientsAtOnce()
    {
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int i = 0; i < 50; ++i) {
            clients.push_back(std::make_unique<RawClient>());
            QVERIFY(clients.back()->connectTo(m_server.port()));
            clients.back()->send(post(kAllOfBseg));
        }
        QByteArray first;
        for (const auto& client : clients) {
            const HttpAnswer answer = client->read(120000);
            QCOMPARE(answer.status, 200);
            QVERIFY(answer.complete);
            if (first.isEmpty())
                first = answer.body;
            QVERIFY(answer.body == first);
        }
        const Outcome local = inProcess("BSEG", {}, {}, "|");
        QCOMPARE(local.data.size(), 10000);
        QCOMPARE(readAnswer(first).data, local.data);
    }

    // At the connection limit the connection idle longest gives way to a newcomer; an idle
    // connection is closed after the idle time anyway.
    void idleConnectionsGiveWayAndAreClosed()
    {
        DemoServerProcess small;
        QString error;
        QVERIFY2(small.start(
                     m_home.path(),
                     {"--idle-timeout", "1", "--max-connections", "3", "--default-client", "200"},
                     &error),
                 qPrintable(error));
        std::vector<std::unique_ptr<RawClient>> idle;
        for (int i = 0; i < 3; ++i) {
            idle.push_back(std::make_unique<RawClient>());
            QVERIFY(idle.back()->connectTo(small.port()));
            QTest::qWait(50);
        }
        const QByteArray body = callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>");
        QCOMPARE(exchange(post(body), small.port()).status, 200);
        QVERIFY(idle.front()->closedWithin(500));
        QVERIFY(!idle.back()->closedWithin(200));
        for (const auto& client : idle)
            QVERIFY(client->closedWithin(5000));
        // The default client of that server is 200, which the demo system does not have.
        const HttpAnswer noClient = exchange(post(body, {}, "/sap/bc/soap/rfc"), small.port());
        QCOMPARE(noClient.status, 401);
        QCOMPARE(noClient.header("www-authenticate"),
                 QByteArray("Basic realm=\"SAP NetWeaver Application Server [DMO/200]\""));
        QCOMPARE(
            exchange(post(body, "sap-client: 100\r\n", "/sap/bc/soap/rfc"), small.port()).status,
            200);
    }

    // When every connection is busy serving, a newcomer hears 503 at once.
    void aServerBusyEverywhereRefusesAtOnce()
    {
        DemoServerProcess single;
        QString error;
        QVERIFY2(single.start(m_home.path(), {"--max-connections", "1"}, &error),
                 qPrintable(error));
        RawClient stalled;
        QVERIFY(stalled.connectTo(single.port(), 4096));
        stalled.send(post(kAllOfBseg));
        QVERIFY(stalled.socket().waitForReadyRead(10000));
        QElapsedTimer timer;
        timer.start();
        const HttpAnswer refused =
            exchange(post(callBody("<QUERY_TABLE>T000</QUERY_TABLE>")), single.port());
        QCOMPARE(refused.status, 503);
        QCOMPARE(refused.header("retry-after"), QByteArray("1"));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }

    // Whatever many other clients do (idle, or sending their request a byte at a time), a
    // client that sends its request is served within a second.
    void aNormalClientIsServedWhateverOthersDo_data()
    {
        QTest::addColumn<int>("others");
        QTest::addColumn<QByteArray>("sent");    // what each other client sends at once
        QTest::addColumn<QByteArray>("dripped"); // then a byte of it every round

        const QByteArray request = post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>"));
        const qsizetype head = request.indexOf("\r\n\r\n") + 4;
        QTest::newRow("hundreds idle") << 200 << QByteArray() << QByteArray();
        QTest::newRow("heads a byte at a time") << 60 << QByteArray() << request.left(head);
        QTest::newRow("bodies a byte at a time") << 60 << request.left(head) << request.mid(head);
    }

    void aNormalClientIsServedWhateverOthersDo()
    {
        QFETCH(int, others);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, dripped);
        DemoServerProcess server;
        QString error;
        QVERIFY2(server.start(
                     m_home.path(),
                     {"--max-connections", "8", "--head-timeout", "2", "--min-body-rate", "1000"},
                     &error),
                 qPrintable(error));
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int i = 0; i < others; ++i) {
            clients.push_back(std::make_unique<RawClient>());
            QVERIFY(clients.back()->connectTo(server.port()));
            if (!sent.isEmpty())
                clients.back()->send(sent);
        }
        const QByteArray request = post(callBody("<QUERY_TABLE>T000</QUERY_TABLE><DATA/>"));
        for (int round = 0; round < 10; ++round) {
            for (const auto& client : clients) {
                if (round < dripped.size() &&
                    client->socket().state() == QAbstractSocket::ConnectedState)
                    client->send(dripped.mid(round, 1));
            }
            QTest::qWait(100);
            if (round % 3 != 2)
                continue;
            QElapsedTimer timer;
            timer.start();
            const HttpAnswer answer = exchange(request, server.port());
            QCOMPARE(answer.status, 200);
            QCOMPARE(readAnswer(answer.body).data.size(), 3);
            QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        }
        if (dripped.isEmpty()) {
            // The idle ones gave way oldest first: the latest are still open.
            QVERIFY(clients.front()->closedWithin(100));
            for (int i = others - 6; i < others; ++i)
                QVERIFY2(!clients.at(i)->closedWithin(10), qPrintable(QString::number(i)));
        }
    }

    // A request's head must come within the head time, its body at the least rate.
    void slowRequestsAreCutOff_data()
    {
        QTest::addColumn<QByteArray>("sent");    // at once
        QTest::addColumn<QByteArray>("dripped"); // then in pieces
        QTest::addColumn<int>("piece");          // bytes every 100 ms
        QTest::addColumn<int>("status");

        // A comment pads the body to 3,000 bytes, which a fair client sends in 0.5 s.
        const QByteArray request = post(
            callBody("<!--" + QByteArray(2600, 'x') + "--><QUERY_TABLE>T000</QUERY_TABLE><DATA/>"));
        const qsizetype head = request.indexOf("\r\n\r\n") + 4;
        QTest::newRow("a head a byte at a time") << QByteArray() << request << 1 << 408;
        QTest::newRow("a head that stops") << request.left(head - 2) << QByteArray() << 0 << 408;
        QTest::newRow("a body a byte at a time")
            << request.left(head) << request.mid(head) << 1 << 408;
        QTest::newRow("a body at a fair pace")
            << request.left(head) << request.mid(head) << 600 << 200;
    }

    void slowRequestsAreCutOff()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, dripped);
        QFETCH(int, piece);
        QFETCH(int, status);
        DemoServerProcess server;
        QString error;
        QVERIFY2(
            server.start(m_home.path(), {"--head-timeout", "1", "--min-body-rate", "2000"}, &error),
            qPrintable(error));
        RawClient client;
        QVERIFY(client.connectTo(server.port()));
        QElapsedTimer timer;
        timer.start();
        client.send(sent);
        for (qsizetype at = 0; at < dripped.size() && !client.waitingData(); at += piece) {
            client.send(dripped.mid(at, piece));
            QTest::qWait(100);
        }
        const HttpAnswer answer = client.read(5000);
        QCOMPARE(answer.status, status);
        if (status == 408) {
            QCOMPARE(answer.header("connection"), QByteArray("close"));
            QVERIFY(client.closedWithin(3000));
            QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        }
    }

    // The bodies of all connections share one budget: a body beyond it hears 503 before it is
    // sent, a body that fits is served meanwhile, and the budget comes back.
    void bodiesShareOneBudget()
    {
        DemoServerProcess server;
        QString error;
        QVERIFY2(server.start(m_home.path(), {"--body-memory", "1"}, &error), qPrintable(error));
        const QByteArray large = "POST /sap/bc/soap/rfc HTTP/1.1\r\nExpect: 100-continue\r\n"
                                 "Content-Length: 700000\r\n\r\n";
        RawClient holding;
        QVERIFY(holding.connectTo(server.port()));
        holding.send(large);
        QCOMPARE(holding.read(5000).status, 100);
        holding.send(QByteArray(100000, ' '));

        RawClient refused;
        QVERIFY(refused.connectTo(server.port()));
        refused.send(large);
        const HttpAnswer answer = refused.read(5000);
        QCOMPARE(answer.status, 503);
        QCOMPARE(answer.header("retry-after"), QByteArray("1"));
        QVERIFY(refused.closedWithin(3000));
        QVERIFY(stillServesOn(server.port()));

        holding.abort();
        QTest::qWait(300);
        RawClient later;
        QVERIFY(later.connectTo(server.port()));
        later.send(large);
        QCOMPARE(later.read(5000).status, 100);
    }

    // A system takes only so many option lines in one call.
    void optionLinesAreBounded_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("status");
        QTest::newRow("as many as a call takes") << 10000 << 200;
        QTest::newRow("one more") << 10001 << 500;
    }

    void optionLinesAreBounded()
    {
        QFETCH(int, lines);
        QFETCH(int, status);
        const QByteArray options = "<OPTIONS><item><TEXT>MANDT = '000'</TEXT></item>" +
                                   QByteArray("<item><TEXT> </TEXT></item>").repeated(lines - 1) +
                                   "</OPTIONS>";
        const HttpAnswer answer =
            exchange(post(callBody("<QUERY_TABLE>T000</QUERY_TABLE>" + options + "<DATA/>")));
        QCOMPARE(answer.status, status);
        const Read read = readAnswer(answer.body);
        if (status == 200)
            QCOMPARE(read.data.size(), 1);
        else
            QCOMPARE(read.fault, QStringLiteral("OPTION_NOT_VALID"));
    }
};

QTEST_GUILESS_MAIN(TestDemoServerHttp)
#include "tst_demoserverhttp.moc"
