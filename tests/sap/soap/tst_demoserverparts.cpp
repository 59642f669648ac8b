// The demo server's parts without sockets: the HTTP request parser, the SOAP call reader, the
// answer writer, the slowing of wrong passwords, the choice of the connection that gives way
// and the memory for bodies.
#include "BodyBudget.h"
#include "ByteSlices.h"
#include "ConnectionRegistry.h"
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
        const QByteArray line = "<item><TEXT>MANDT = '000'</TEXT></item>";
        QTest::newRow("as many option lines as a call takes")
            << call("<OPTIONS>" + line.repeated(SoapCallReader::kMaxTableRows) + "</OPTIONS>")
            << QString() << "RFC_READ_TABLE"
            << "urn" << QStringList{"OPTIONS"} << ""
            << QStringList(SoapCallReader::kMaxTableRows, QStringLiteral("MANDT = '000'"));
        QTest::newRow("more option lines than a call takes")
            << call("<OPTIONS>" + line.repeated(SoapCallReader::kMaxTableRows + 1) + "</OPTIONS>")
            << "OPTIONS has more rows"
            << "RFC_READ_TABLE"
            << "urn" << QStringList{} << "" << QStringList{};
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
        QCOMPARE(function.importValue(QStringLiteral("QUERY_TABLE")), queryTable);
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
    // At the limit the connection whose wait has brought the fewest bytes per second gives
    // way: idle ones by how long they idled, a newcomer before its first bytes is spared, a
    // connection serving a request never goes.
    void theConnectionWithLeastProgressGivesWay_data()
    {
        QTest::addColumn<QList<int>>("ages");  // ms each connection has waited
        QTest::addColumn<QList<int>>("bytes"); // of its request so far
        QTest::addColumn<QList<bool>>("busy"); // serving a request
        QTest::addColumn<int>("closed");       // the one closed for a newcomer; -1: refused

        QTest::newRow("the longest idle") << QList<int>{3000, 9000, 1000} << QList<int>{0, 0, 0}
                                          << QList<bool>{false, false, false} << 1;
        QTest::newRow("a byte a second before a newcomer")
            << QList<int>{5, 8000, 8000} << QList<int>{0, 8, 9000}
            << QList<bool>{false, false, false} << 1;
        QTest::newRow("idle before a slow sender")
            << QList<int>{4000, 2000, 100} << QList<int>{8, 0, 20000}
            << QList<bool>{false, false, false} << 1;
        QTest::newRow("alike: the older")
            << QList<int>{2000, 4000} << QList<int>{1, 3} << QList<bool>{false, false} << 1;
        QTest::newRow("the busy are spared")
            << QList<int>{9000, 10} << QList<int>{0, 5000} << QList<bool>{true, false} << 1;
        QTest::newRow("all busy: refused")
            << QList<int>{9000, 9000} << QList<int>{0, 0} << QList<bool>{true, true} << -1;
    }

    void theConnectionWithLeastProgressGivesWay()
    {
        QFETCH(QList<int>, ages);
        QFETCH(QList<int>, bytes);
        QFETCH(QList<bool>, busy);
        QFETCH(int, closed);
        QList<qintptr> closedDescriptors;
        ConnectionRegistry registry(static_cast<int>(ages.size()), [&](qintptr descriptor) {
            closedDescriptors.append(descriptor);
        });
        const auto now = ConnectionRegistry::Clock::now();
        for (int i = 0; i < ages.size(); ++i) {
            const std::optional<quint64> id =
                registry.admit(100 + i, now - milliseconds(ages.at(i)));
            QVERIFY(id);
            registry.received(*id, bytes.at(i));
            if (busy.at(i))
                registry.serving(*id);
        }
        QVERIFY(closedDescriptors.isEmpty());
        const std::optional<quint64> newcomer = registry.admit(999, now);
        QCOMPARE(newcomer.has_value(), closed >= 0);
        QCOMPARE(closedDescriptors, closed >= 0 ? QList<qintptr>{100 + closed} : QList<qintptr>{});
        QCOMPARE(registry.live(), static_cast<int>(ages.size()));
    }

    // A place is counted until its connection leaves; one closed for a newcomer is not closed
    // again, and a connection that waits again after serving can give way again.
    void placesAreCountedUntilTheConnectionLeaves()
    {
        QList<qintptr> closed;
        ConnectionRegistry registry(2, [&](qintptr descriptor) { closed.append(descriptor); });
        const auto now = ConnectionRegistry::Clock::now();
        const auto first = registry.admit(1, now - milliseconds(5000));
        const auto second = registry.admit(2, now - milliseconds(4000));
        QVERIFY(first && second);
        registry.serving(*first);
        QVERIFY(registry.admit(3, now));
        QCOMPARE(closed, QList<qintptr>{2});
        registry.leave(*second);
        QCOMPARE(registry.live(), 2);
        // The first has served and waits again, for longer than the third.
        registry.waiting(*first, now - milliseconds(3000));
        QVERIFY(registry.admit(4, now));
        QCOMPARE(closed, (QList<qintptr>{2, 1}));
        registry.closeAll();
        QCOMPARE(registry.live(), 0);
        QCOMPARE(closed.size(), 5); // 1 again, 3 and 4: every descriptor still open is ended
    }

    void bodiesTakeAndGiveBackTheirShare()
    {
        BodyBudget budget(1000);
        QVERIFY(budget.take(600));
        QVERIFY(!budget.take(401));
        QVERIFY(budget.take(400));
        QVERIFY(!budget.take(1));
        budget.give(600);
        QCOMPARE(budget.left(), 600);
        QVERIFY(budget.take(600));
    }

    // What a body will take is known from its length at once; a chunked one as it grows.
    void theBodyNeededIsKnownBeforeItComes()
    {
        HttpRequestParser parser;
        parser.feed("POST / HTTP/1.1\r\nContent-Length: 5000\r\n\r\nab");
        QCOMPARE(parser.bodyBytesNeeded(), 5000);
        parser.feed(QByteArray(4998, 'x'));
        QCOMPARE(parser.state(), HttpRequestParser::State::Complete);
        QCOMPARE(parser.bodyBytesNeeded(), 5000);
        parser.take();
        QCOMPARE(parser.bodyBytesNeeded(), 0);
        parser.feed("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n");
        QCOMPARE(parser.bodyBytesNeeded(), 3);
        parser.feed("5\r\nde");
        QVERIFY(parser.bodyBytesNeeded() >= 5);
    }
};

QTEST_GUILESS_MAIN(TestDemoServerParts)
#include "tst_demoserverparts.moc"
