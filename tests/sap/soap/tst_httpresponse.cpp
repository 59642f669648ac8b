// The HTTP framing of SOAP answers as the client reads it: status, header, body by length, by
// chunks or to the close, and the limits that hold whatever a server sends.
#include "ByteSlices.h"
#include "sap/soap/http/HttpResponseReader.h"

#include <QTest>

class TestHttpResponse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The HTTP framing of an answer, fed whole and byte by byte: the body as it was framed,
    // or a failure naming what was wrong, never more than a header's worth held.
    void httpFraming_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("closes"); // the connection ends after the bytes
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("problem"); // empty: the answer is complete

        const QByteArray ok = "HTTP/1.1 200 OK\r\n";
        QTest::newRow("Content-Length") << ok + "Content-Length: 5\r\n\r\nhello" << false << 200
                                        << QByteArray("hello") << QString();
        QTest::newRow("bytes after the length are not the body")
            << ok + "Content-Length: 5\r\n\r\nhellojunk" << false << 200 << QByteArray("hello")
            << QString();
        QTest::newRow("chunks, an extension and a trailer")
            << ok + "Transfer-Encoding: chunked\r\n\r\n3;name=x\r\nhel\r\n2\r\nlo\r\n0\r\n"
                    "X-Trailer: 1\r\n\r\n"
            << false << 200 << QByteArray("hello") << QString();
        QTest::newRow("chunks with bare line feeds")
            << QByteArray("HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n5\nhello\n0\n\n") << false
            << 200 << QByteArray("hello") << QString();
        QTest::newRow("to the end of the connection")
            << QByteArray("HTTP/1.0 200 OK\r\n\r\nhello") << true << 200 << QByteArray("hello")
            << QString();
        QTest::newRow("100 Continue first")
            << "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nok" << false << 200
            << QByteArray("ok") << QString();
        QTest::newRow("204 has no body") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false
                                         << 204 << QByteArray() << QString();
        QTest::newRow("not HTTP") << QByteArray("<html><body>hello</body></html>\r\n\r\n") << false
                                  << 0 << QByteArray() << QStringLiteral("not HTTP");
        QTest::newRow("a header longer than 64 KB")
            << ok + "X-Long: " + QByteArray(70000, 'x') << false << 0 << QByteArray()
            << QStringLiteral("longer than 64 KB");
        QTest::newRow("a chunk size that is not hex")
            << ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n"
            << false << 200 << QByteArray() << QStringLiteral("chunks");
        QTest::newRow("a chunk size beyond 4 GB")
            << ok + "Transfer-Encoding: chunked\r\n\r\n1000000000\r\n"
            << false << 200 << QByteArray() << QStringLiteral("chunks");
        QTest::newRow("a chunk-size line that never ends")
            << ok + "Transfer-Encoding: chunked\r\n\r\n5;" + QByteArray(2000, 'x') << false << 200
            << QByteArray() << QStringLiteral("chunks");
        QTest::newRow("a negative Content-Length")
            << ok + "Content-Length: -1\r\n\r\n"
            << false << 200 << QByteArray() << QStringLiteral("Content-Length");
        QTest::newRow("cut before the length")
            << ok + "Content-Length: 10\r\n\r\nhello" << true << 200 << QByteArray("hello")
            << QStringLiteral("closed before the answer ended");
        QTest::newRow("cut in the chunks")
            << ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"
            << true << 200 << QByteArray("hello")
            << QStringLiteral("closed before the answer ended");
        QTest::newRow("no answer at all")
            << QByteArray() << true << 0 << QByteArray() << QStringLiteral("without an answer");
    }

    void httpFraming()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, closes);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, problem);
        for (const auto& pieces : {QList<QByteArray>{bytes}, bytewise(bytes)}) {
            HttpResponseReader reader;
            QByteArray received;
            for (const QByteArray& piece : pieces)
                reader.feed(piece, [&](QByteArrayView data) {
                    received += data.toByteArray();
                    return true;
                });
            if (closes)
                reader.closed();
            QCOMPARE(reader.status(), status);
            if (problem.isEmpty()) {
                QCOMPARE(reader.state(), HttpResponseReader::State::Done);
                QCOMPARE(received, body);
            } else {
                QCOMPARE(reader.state(), HttpResponseReader::State::Failed);
                QVERIFY2(reader.problem().en.contains(problem), qPrintable(reader.problem().en));
                QVERIFY(received.size() <= body.size());
            }
        }
    }

    void repeatedHeadersAreAllKept()
    {
        HttpResponseReader reader;
        reader.feed("HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSET-COOKIE: b=2\r\n"
                    "Content-Length: 0\r\n\r\n",
                    [](QByteArrayView) { return true; });
        QCOMPARE(reader.state(), HttpResponseReader::State::Done);
        QCOMPARE(reader.headers("set-cookie"), (QList<QByteArray>{"a=1; path=/", "b=2"}));
        QCOMPARE(reader.header("content-length"), QByteArray("0"));
    }
};

QTEST_GUILESS_MAIN(TestHttpResponse)
#include "tst_httpresponse.moc"
