// The demo server's parts without sockets: the HTTP request parser, the SOAP call reader, the
// answer writer and the slowing of wrong passwords.
#include "ByteSlices.h"
#include "HttpRequestParser.h"
#include "LogonThrottle.h"
#include "SoapAnswerWriter.h"
#include "SoapCallReader.h"
#include "sap/RfcFunction.h"
#include "sap/soap/SoapResponseReader.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{
const QByteArray kRfc = "urn:sap-com:document:sap:rfc:functions";

QByteArray envelope(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/"
           "soap/envelope/\"><SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

QByteArray call(const QByteArray& inside, const QByteArray& function = "RFC_READ_TABLE")
{
    return envelope("<urn:" + function + " xmlns:urn=\"" + kRfc + "\">" + inside +
                    "</urn:" + function + '>');
}

QStringList rowsOf(const RfcTable& table)
{
    QStringList rows;
    for (const auto& row : table.rows())
        rows.append(QStringList(row.begin(), row.end()).join(u'|'));
    return rows;
}

using Clock = LogonThrottle::Clock;
using std::chrono::milliseconds;
} // namespace

class TestDemoServerParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whatever the pieces the bytes come in: the same request, or the same refusal.
    void parsesRequests_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status"); // 0: a complete request
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("keepAlive");

        const QByteArray post = "POST /sap/bc/soap/rfc?sap-client=100 HTTP/1.1\r\nHost: h\r\n";
        const QByteArray target = "/sap/bc/soap/rfc?sap-client=100";
        QTest::newRow("GET") << QByteArray("GET /sap/public/bc/icf/logoff HTTP/1.1\r\n\r\n") << 0
                             << QByteArray("/sap/public/bc/icf/logoff") << QByteArray() << true;
        QTest::newRow("POST with a length") << post + "Content-Length: 5\r\n\r\nhello" << 0
                                            << target << QByteArray("hello") << true;
        QTest::newRow("empty lines first, bare line feeds")
            << QByteArray("\r\n\nPOST / HTTP/1.1\nContent-Length: 2\n\nok") << 0 << QByteArray("/")
            << QByteArray("ok") << true;
        QTest::newRow("length with leading zeros")
            << post + "Content-Length: 0000000000000000002\r\n\r\nok" << 0 << target
            << QByteArray("ok") << true;
        QTest::newRow("chunks with a trailer")
            << post +
                   "Transfer-Encoding: chunked\r\n\r\n3\r\nhel\r\n2;x=1\r\nlo\r\n0\r\nT: 1\r\n\r\n"
            << 0 << target << QByteArray("hello") << true;
        QTest::newRow("the client closes")
            << post + "Connection: keep-alive, close\r\nContent-Length: 0\r\n\r\n"
            << 0 << target << QByteArray() << false;
        QTest::newRow("HTTP/1.0") << QByteArray("GET / HTTP/1.0\r\n\r\n") << 0 << QByteArray("/")
                                  << QByteArray() << false;
        QTest::newRow("negative length") << post + "Content-Length: -1000\r\n\r\n"
                                         << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("length not a number") << post + "Content-Length: 1e3\r\n\r\n"
                                             << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("empty length") << post + "Content-Length:\r\n\r\n"
                                      << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("two lengths") << post + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n"
                                     << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("body over 16 MB") << post + "Content-Length: 16777217\r\n\r\n"
                                         << 413 << QByteArray() << QByteArray() << false;
        QTest::newRow("a length beyond any number")
            << post + "Content-Length: 99999999999999999999999\r\n\r\n"
            << 413 << QByteArray() << QByteArray() << false;
        QTest::newRow("a chunk of nearly 16 MB, still coming")
            << post + "Transfer-Encoding: chunked\r\n\r\nffffff\r\n" + QByteArray(100, 'x') +
                   "\r\n\r\n"
            << 0 << QByteArray() << QByteArray() << false;
        QTest::newRow("a chunk beyond 16 MB at once")
            << post + "Transfer-Encoding: chunked\r\n\r\n1000001\r\n"
            << 413 << QByteArray() << QByteArray() << false;
        QTest::newRow("a chunk size that is not hex")
            << post + "Transfer-Encoding: chunked\r\n\r\nxyz\r\n"
            << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("both framings")
            << post + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n"
            << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("an unknown transfer coding") << post + "Transfer-Encoding: gzip\r\n\r\n"
                                                    << 501 << QByteArray() << QByteArray() << false;
        QTest::newRow("POST without a length") << post + "\r\n"
                                               << 411 << QByteArray() << QByteArray() << false;
        QTest::newRow("an unknown expectation")
            << post + "Expect: magic\r\nContent-Length: 1\r\n\r\n"
            << 417 << QByteArray() << QByteArray() << false;
        QTest::newRow("a header over 64 KB, unfinished")
            << post + "X-Long: " + QByteArray(70000, 'x') << 431 << QByteArray() << QByteArray()
            << false;
        QTest::newRow("a header over 64 KB, finished")
            << post + "X-Long: " + QByteArray(70000, 'x') + "\r\n\r\n"
            << 431 << QByteArray() << QByteArray() << false;
        QTest::newRow("a folded header line")
            << post + "X-A: 1\r\n folded\r\nContent-Length: 0\r\n\r\n"
            << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("blank before the colon") << post + "Content-Length : 0\r\n\r\n"
                                                << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("a control character") << post + "X-A: a\x01z\r\nContent-Length: 0\r\n\r\n"
                                             << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("a request line of two parts")
            << QByteArray("GET /\r\n\r\n") << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("HTTP/2.0") << QByteArray("GET / HTTP/2.0\r\n\r\n") << 505 << QByteArray()
                                  << QByteArray() << false;
        QTest::newRow("not HTTP") << QByteArray("\x16\x03\x01\x02\x05\x01\x05\x01\xfc\r\n\r\n")
                                  << 400 << QByteArray() << QByteArray() << false;
        QTest::newRow("a TLS handshake, no line end")
            << QByteArray("\x16\x03\x01\x02\x05\x01\x05\x01\xfc\x03\x03") << 400 << QByteArray()
            << QByteArray() << false;
    }

    void parsesRequests()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        QFETCH(bool, keepAlive);
        QList<QList<QByteArray>> ways{{bytes}, bytewise(bytes)};
        for (quint32 seed = 1; seed <= 4; ++seed)
            ways.append(randomly(bytes, seed, 200));
        for (const QList<QByteArray>& pieces : ways) {
            HttpRequestParser parser;
            for (const QByteArray& piece : pieces) {
                if (parser.feed(piece) != HttpRequestParser::State::NeedMore)
                    break;
                QVERIFY(parser.bufferedBytes() <= HttpRequestParser::kMaxHeaderBytes + 2);
            }
            if (status != 0) {
                QCOMPARE(parser.state(), HttpRequestParser::State::Failed);
                QCOMPARE(parser.errorStatus(), status);
                QVERIFY(!parser.errorReason().isEmpty());
                QCOMPARE(parser.bufferedBytes(), 0);
                continue;
            }
            if (target.isEmpty()) {
                // A request still short of its body: waiting, holding what came and no more.
                QCOMPARE(parser.state(), HttpRequestParser::State::NeedMore);
                QVERIFY(parser.readingBody());
                continue;
            }
            QCOMPARE(parser.state(), HttpRequestParser::State::Complete);
            const HttpRequestParser::Request request = parser.take();
            QCOMPARE(request.target, target);
            QCOMPARE(request.body, body);
            QCOMPARE(request.keepAlive(), keepAlive);
        }
    }

    void requestsFollowOneAnother()
    {
        HttpRequestParser parser;
        parser.feed(
            "GET /a HTTP/1.1\r\n\r\nPOST /b HTTP/1.1\r\nContent-Length: 3\r\n\r\nxyzGET /c");
        QCOMPARE(parser.state(), HttpRequestParser::State::Complete);
        QCOMPARE(parser.take().target, QByteArray("/a"));
        QCOMPARE(parser.state(), HttpRequestParser::State::Complete);
        const HttpRequestParser::Request second = parser.take();
        QCOMPARE(second.target, QByteArray("/b"));
        QCOMPARE(second.body, QByteArray("xyz"));
        QCOMPARE(parser.state(), HttpRequestParser::State::NeedMore);
        parser.feed(" HTTP/1.1\r\n\r\n");
        QCOMPARE(parser.take().target, QByteArray("/c"));
    }

    void aClientThatExpectsContinueGetsItBeforeItsBody()
    {
        HttpRequestParser parser;
        parser.feed("POST / HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n");
        QVERIFY(parser.expectsContinue());
        parser.feed("ok");
        QVERIFY(!parser.expectsContinue());
        QCOMPARE(parser.take().body, QByteArray("ok"));
        parser.feed("POST / HTTP/1.0\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n");
        QVERIFY(!parser.expectsContinue()); // HTTP/1.0 knows no interim answers
    }

    void readsCalls_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("problem"); // empty: a call
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QString>("queryTable");
        QTest::addColumn<QStringList>("options");

        const QByteArray fields = "<FIELDS><item><FIELDNAME>MANDT</FIELDNAME></item></FIELDS>";
        QTest::newRow("every table")
            << call("<QUERY_TABLE>T000</QUERY_TABLE>" + fields +
                    "<OPTIONS><item><TEXT>MANDT = '100'</TEXT></item></OPTIONS><DATA/>")
            << QString() << "RFC_READ_TABLE"
            << "urn" << QStringList{"FIELDS", "OPTIONS", "DATA"} << "T000"
            << QStringList{"MANDT = '100'"};
        QTest::newRow("an OPTIONS element not named item")
            << call("<QUERY_TABLE>T000</QUERY_TABLE><OPTIONS><item><TEXT>x</TEXT></item>"
                    "<z><TEXT>y</TEXT></z><item><TEXT>w</TEXT></item></OPTIONS>")
            << QString() << "RFC_READ_TABLE"
            << "urn" << QStringList{"OPTIONS"} << "T000" << QStringList{"x", "w"};
        QTest::newRow("unknown fields and deeper elements in an item")
            << call("<OPTIONS><item><NOSUCH>a</NOSUCH><TEXT>b<i>c</i></TEXT></item>"
                    "<item><TEXT>d</TEXT><TEXT>e</TEXT></item></OPTIONS>")
            << QString() << "RFC_READ_TABLE"
            << "urn" << QStringList{"OPTIONS"} << "" << QStringList{"", "e"};
        QTest::newRow("DATA left out")
            << call("<QUERY_TABLE>T001</QUERY_TABLE>" + fields) << QString() << "RFC_READ_TABLE"
            << "urn" << QStringList{"FIELDS"} << "T001" << QStringList{};
        QTest::newRow("a header, a default namespace")
            << QByteArray("<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<e:Header><x>1</x></e:Header><e:Body><RFC_READ_TABLE xmlns=\"" +
                          kRfc +
                          "\"><QUERY_TABLE>KNA1</QUERY_TABLE></RFC_READ_TABLE></e:Body>"
                          "</e:Envelope>")
            << QString() << "RFC_READ_TABLE"
            << "" << QStringList{} << "KNA1" << QStringList{};
        QTest::newRow("another function")
            << call("<REQUTEXT>hi</REQUTEXT>", "STFC_CONNECTION") << QString() << "STFC_CONNECTION"
            << "urn" << QStringList{} << "" << QStringList{};
        QTest::newRow("the function outside the RFC namespace")
            << envelope("<RFC_READ_TABLE><QUERY_TABLE>T000</QUERY_TABLE></RFC_READ_TABLE>")
            << "no RFC function call" << QString() << QString() << QStringList{} << ""
            << QStringList{};
        QTest::newRow("no envelope")
            << QByteArray("<urn:RFC_READ_TABLE xmlns:urn=\"" + kRfc + "\"/>")
            << "not a SOAP envelope" << QString() << QString() << QStringList{} << ""
            << QStringList{};
        QTest::newRow("an empty body") << envelope("") << "no function call" << QString()
                                       << QString() << QStringList{} << "" << QStringList{};
        QTest::newRow("not XML") << QByteArray("QUERY_TABLE=T000") << "" << QString() << QString()
                                 << QStringList{} << "" << QStringList{};
        QTest::newRow("a document type")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
                          "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]><lolz>&lol2;</lolz>")
            << "document type" << QString() << QString() << QStringList{} << "" << QStringList{};
        QByteArray deep = fields;
        for (int i = 0; i < 20; ++i)
            deep = "<d>" + deep + "</d>";
        QTest::newRow("nesting deeper than a call")
            << call(deep) << "nest deeper"
            << "RFC_READ_TABLE"
            << "urn" << QStringList{} << "" << QStringList{};
    }

    void readsCalls()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, problem);
        QFETCH(QString, name);
        QFETCH(QString, prefix);
        QFETCH(QStringList, tables);
        QFETCH(QString, queryTable);
        QFETCH(QStringList, options);
        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
        const SoapCallReader::Call read = SoapCallReader::read(body, function);
        QCOMPARE(read.ok, problem.isNull());
        if (!read.ok) {
            QVERIFY2(read.problem.contains(problem), qPrintable(read.problem));
            return;
        }
        QCOMPARE(read.name, name);
        QCOMPARE(read.prefix, prefix);
        QCOMPARE(read.tables, tables);
        QCOMPARE(function.exportValue(QStringLiteral("QUERY_TABLE")), queryTable);
        QCOMPARE(rowsOf(function.table(QStringLiteral("OPTIONS"))), options);
    }

    // What the writer writes, the client's reader reads back the same, tricky values too.
    void answersReadBackTheSame()
    {
        RfcFunction served(QStringLiteral("RFC_READ_TABLE"), nullptr);
        RfcTable& data = served.table(QStringLiteral("DATA"));
        RfcTable& fields = served.table(QStringLiteral("FIELDS"));
        const QStringList values{QStringLiteral("100|Vendas & Finanças <SA>"),
                                 QStringLiteral("  leading, trailing  "), QStringLiteral("a\rb"),
                                 QStringLiteral("]]> &amp; \"'"), QString()};
        for (const QString& value : values)
            data.deliver({value});
        fields.deliver({"MANDT", "000000", "000003", "C", "Client & <co>"});
        const SoapAnswerWriter writer(QStringLiteral("RFC_READ_TABLE"), QStringLiteral("urn"));
        QByteArray answer = writer.start() + SoapAnswerWriter::tableStart(QStringLiteral("DATA"));
        for (const auto& row : data.rows())
            answer += SoapAnswerWriter::item(data, row);
        answer += SoapAnswerWriter::tableEnd(QStringLiteral("DATA")) +
                  SoapAnswerWriter::table(QStringLiteral("FIELDS"), fields) +
                  SoapAnswerWriter::emptyTable(QStringLiteral("OPTIONS")) + writer.end();
        QVERIFY2(answer.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope "
                                   "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                   "<SOAP-ENV:Body><urn:RFC_READ_TABLE.Response xmlns:urn=\"" +
                                   kRfc + "\"><DATA>\n<item><WA>100|Vendas &#38; Finan"),
                 answer.constData());
        QVERIFY(answer.contains("</DATA><FIELDS>\n<item><FIELDNAME>"));
        QVERIFY(answer.contains("<OPTIONS/></urn:RFC_READ_TABLE.Response></SOAP-ENV:Body>"));

        RfcFunction client(QStringLiteral("RFC_READ_TABLE"), nullptr);
        SoapResponseReader reader(client);
        reader.feed(answer);
        reader.finish();
        QCOMPARE(reader.state(), SoapResponseReader::State::Done);
        QCOMPARE(rowsOf(client.table(QStringLiteral("DATA"))), values);
        QCOMPARE(rowsOf(client.table(QStringLiteral("FIELDS"))), rowsOf(fields));
    }

    void faultsAreWrittenAsASystemWritesThem()
    {
        const QByteArray fault =
            SoapAnswerWriter(QStringLiteral("RFC_READ_TABLE"), QString()).fault("NOT_AUTHORIZED");
        QVERIFY(fault.contains("<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Client"
                               "</faultcode><faultstring>NOT_AUTHORIZED</faultstring>"));
        QVERIFY(fault.contains("<rfc:RFC_READ_TABLE.Exception xmlns:rfc=\"" + kRfc +
                               "\"><Name>NOT_AUTHORIZED</Name>"));
        RfcFunction client(QStringLiteral("RFC_READ_TABLE"), nullptr);
        SoapResponseReader reader(client);
        reader.feed(fault);
        QCOMPARE(reader.state(), SoapResponseReader::State::Fault);
        QCOMPARE(reader.fault(), QStringLiteral("NOT_AUTHORIZED"));
    }

    void wrongPasswordsWaitLongerEachTime_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("delay");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("one") << 1 << 250;
        QTest::newRow("two") << 2 << 500;
        QTest::newRow("four") << 4 << 2000;
        QTest::newRow("six, at the ceiling") << 6 << 8000;
        QTest::newRow("a thousand, at the ceiling") << 1000 << 8000;
    }

    void wrongPasswordsWaitLongerEachTime()
    {
        QFETCH(int, failures);
        QFETCH(int, delay);
        QCOMPARE(LogonThrottle::delayAfter(failures).count(), delay);
        LogonThrottle throttle;
        Clock::time_point now{};
        for (int i = 0; i < failures && i < 10; ++i) {
            now += throttle.admit(QStringLiteral("DEMO"), QStringLiteral("127.0.0.1"), now);
            throttle.failed(QStringLiteral("DEMO"), QStringLiteral("127.0.0.1"), now);
        }
        QCOMPARE(throttle.admit(QStringLiteral("demo"), QStringLiteral("127.0.0.1"), now).count(),
                 delay);
        // Other users, and the same user from elsewhere, do not wait.
        QCOMPARE(throttle.admit(QStringLiteral("AUDIT"), QStringLiteral("127.0.0.1"), now).count(),
                 0);
        QCOMPARE(throttle.admit(QStringLiteral("DEMO"), QStringLiteral("::1"), now).count(), 0);
    }

    void attemptsAfterAFailureGoOneAtATime()
    {
        LogonThrottle throttle;
        const QString user = QStringLiteral("DEMO");
        const QString address = QStringLiteral("127.0.0.1");
        Clock::time_point now{};
        throttle.failed(user, address, now);
        throttle.failed(user, address, now);
        // Three attempts at once: each waits for the one before, not all for the same moment.
        QCOMPARE(throttle.admit(user, address, now), milliseconds(500));
        QCOMPARE(throttle.admit(user, address, now), milliseconds(1000));
        QCOMPARE(throttle.admit(user, address, now), milliseconds(1500));
        throttle.succeeded(user, address);
        QCOMPARE(throttle.admit(user, address, now), milliseconds(0));
    }

    void manyNamesDoNotMakeTheThrottleGrow()
    {
        LogonThrottle throttle;
        Clock::time_point now{};
        for (int i = 0; i < 3 * LogonThrottle::kMaxPairs; ++i)
            throttle.failed(QString::number(i), QStringLiteral("127.0.0.1"), now);
        // The last names are still slowed; how many are kept is bounded by the limit.
        QVERIFY(throttle.size() <= LogonThrottle::kMaxPairs);
        QCOMPARE(throttle.admit(QString::number(3 * LogonThrottle::kMaxPairs - 1),
                                QStringLiteral("127.0.0.1"), now),
                 milliseconds(250));
    }
};

QTEST_GUILESS_MAIN(TestDemoServerParts)
#include "tst_demoserverparts.moc"
