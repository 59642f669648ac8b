// The SOAP client against hostile servers: each case runs a server and a client in processes of
// their own and prints the client's time, rows and peak memory.
//   build/bench/soap_client_bench            every case
//   build/bench/soap_client_bench --serve fast        a hostile server alone (prints its port)
// Cases: fast (valid rows without end, read until 3,000,000 rows are cancelled), gigabyte (a
// valid answer of 1 GB), value (one value of 200 MB), drip (a byte a second, time limit 5 s),
// silent (nothing at all; the caller cancels after 500 ms).
#include "HttpTestKit.h"
#include "sap/RfcFunction.h"
#include "sap/soap/SoapDestination.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <atomic>
#include <cstdio>
#include <thread>

namespace
{
const QByteArray kStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://"
    "schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body><urn:RFC_READ_TABLE.Response "
    "xmlns:urn=\"urn:sap-com:document:sap:rfc:functions\"><DATA>\n";
const QByteArray kEnd = "</DATA><FIELDS/><OPTIONS/></urn:RFC_READ_TABLE.Response>"
                        "</SOAP-ENV:Body></SOAP-ENV:Envelope>";

QByteArray rows()
{
    QByteArray text;
    for (int i = 0; i < 1000; ++i)
        text += "<item><WA>" + QByteArray::number(i).rightJustified(6, '0') +
                "|1000|0100000001|2024|001|a row of the endless answer</WA></item>\n";
    return text;
}

Reply hostile(const QByteArray& mode)
{
    if (mode == "fast")
        return streamed(kStart, [piece = rows()] { return piece; });
    if (mode == "gigabyte") {
        auto sent = std::make_shared<qint64>(0);
        return streamed(kStart, [sent, piece = rows()] {
            if (*sent > (qint64(1) << 30))
                return QByteArray();
            *sent += piece.size();
            return *sent > (qint64(1) << 30) ? piece + kEnd : piece;
        });
    }
    if (mode == "value")
        return streamed(kStart + "<item><WA>", [] { return QByteArray(1 << 16, 'x'); });
    if (mode == "drip")
        return dripping(kStart, rows(), 1000);
    return [](QTcpSocket*, const HttpRequest&) {};
}

int serve(const QByteArray& mode)
{
    ScriptedServer server;
    server.replies = {
        [](QTcpSocket* socket, const HttpRequest&) {
            const QByteArray body = kStart + kEnd;
            socket->write(
                httpHead(200, "OK", "Content-Length: " + QByteArray::number(body.size()) + "\r\n") +
                body);
        },
        hostile(mode)};
    std::printf("%u\n", server.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

long peakKb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

int client(const QByteArray& mode, const QString& port)
{
    SoapDestination destination(QUrl(QStringLiteral("http://127.0.0.1:") + port), QString(),
                                mode == "drip" ? 5000 : 60000);
    LogonData logon;
    logon.user = QStringLiteral("BENCH");
    logon.password = QStringLiteral("x");
    if (!destination.logon(logon).ok)
        return 1;
    std::atomic<bool> cancel{false};
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
    function.setCancel(&cancel);
    function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("BSEG"));
    qint64 rows = 0;
    function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row&) {
        if (++rows == 3000000 && mode == "fast")
            cancel = true;
    });
    std::thread canceller;
    QElapsedTimer timer;
    timer.start();
    if (mode == "silent")
        canceller = std::thread([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            cancel = true;
        });
    function.call();
    const qint64 elapsed = timer.elapsed();
    if (canceller.joinable())
        canceller.join();
    std::printf("%-9s %8.2f s  %9lld rows  peak %6ld KB  %s %s\n", mode.constData(),
                static_cast<double>(elapsed) / 1000.0, static_cast<long long>(rows), peakKb(),
                qPrintable(function.exception().isEmpty() ? QStringLiteral("complete")
                                                          : function.exception()),
                qPrintable(function.message()));
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args.at(1) == u"--serve")
        return serve(args.at(2).toLatin1());
    if (args.size() > 3 && args.at(1) == u"--client")
        return client(args.at(2).toLatin1(), args.at(3));
    for (const char* mode : {"fast", "gigabyte", "value", "drip", "silent"}) {
        QProcess server;
        server.start(QCoreApplication::applicationFilePath(), {"--serve", mode});
        if (!server.waitForReadyRead(10000))
            return 1;
        const QString port = QString::fromLatin1(server.readLine()).trimmed();
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(), {"--client", mode, port});
        run.waitForFinished(-1);
        server.kill();
        server.waitForFinished();
    }
    std::printf("\nReproduce: cmake --build build --target soap_client_bench && "
                "build/bench/soap_client_bench\n");
    return 0;
}
