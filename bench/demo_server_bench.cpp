// zorv-demo-server under load: its memory over 1,000 calls, 50 clients reading 10,000 rows each
// at once (all answers identical), clients that stop reading, and a flood of idle connections.
// Prints the figures and how to reproduce them:
//   build/bench/demo_server_bench [path/to/zorv-demo-server]
#include "sap/demo/DemoSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{
const QByteArray kBseg = "<?xml version=\"1.0\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://"
                         "schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body><urn:RFC_READ_TABLE "
                         "xmlns:urn=\"urn:sap-com:document:sap:rfc:functions\"><QUERY_TABLE>BSEG"
                         "</QUERY_TABLE><DELIMITER>|</DELIMITER><ROWCOUNT>%1</ROWCOUNT><FIELDS/>"
                         "<DATA/></urn:RFC_READ_TABLE></SOAP-ENV:Body></SOAP-ENV:Envelope>";

QByteArray request(int rows)
{
    const QByteArray body = QByteArray(kBseg).replace("%1", QByteArray::number(rows));
    return "POST /sap/bc/soap/rfc HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Basic " +
           QByteArray("DEMO:welcome").toBase64() +
           "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

// A line of /proc/<pid>/status in KB: VmRSS now, VmHWM the peak.
long statusKb(qint64 pid, const char* field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').front().toLong();
    }
    return -1;
}

// Sends a request and reads the whole answer, to the close.
QByteArray exchange(quint16 port, const QByteArray& bytes)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(10000))
        return {};
    socket.write(bytes);
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(30000))
        answer += socket.readAll();
    return answer + socket.readAll();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString server = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() +
                                          QStringLiteral("/../tools/demo-server/zorv-demo-server");
    QTemporaryDir home;
    qputenv("ZORV_HOME", home.path().toUtf8());
    qunsetenv("ZORV_DEMO_SCALE");
    QString error;
    if (!DemoSystem::ensureDatabase(&error)) {
        std::fprintf(stderr, "demo database: %s\n", qPrintable(error));
        return 1;
    }
    QProcess process;
    process.start(server, {QStringLiteral("--port"), QStringLiteral("0")});
    if (!process.waitForStarted() || !process.waitForReadyRead(60000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(server));
        return 1;
    }
    const quint16 port = static_cast<quint16>(
        QUrl(QString::fromUtf8(process.readLine()).section(u' ', 2).trimmed()).port());
    const qint64 pid = process.processId();
    std::printf("zorv-demo-server (pid %lld) on port %u\n", pid, port);

    std::printf(
        "\nMemory over 1,000 calls (each a new connection and session, 1,000 BSEG rows):\n");
    for (int call = 1; call <= 1000; ++call) {
        if (!exchange(port, request(1000)).contains("</DATA>"))
            std::printf("  call %d failed\n", call);
        if (call == 10 || call % 200 == 0)
            std::printf("  after %4d calls: RSS %6ld KB\n", call, statusKb(pid, "VmRSS:"));
    }

    std::printf("\n50 clients at once, 10,000 rows each:\n");
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 50; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
        clients.back()->waitForConnected(10000);
        clients.back()->write(request(10000));
        clients.back()->flush();
    }
    std::vector<QByteArray> answers(clients.size());
    for (bool open = true; open;) {
        open = false;
        for (size_t i = 0; i < clients.size(); ++i) {
            QTcpSocket& socket = *clients[i];
            if (socket.state() == QAbstractSocket::ConnectedState) {
                open = true;
                socket.waitForReadyRead(5);
            }
            answers[i] += socket.readAll();
        }
    }
    // The bodies, that is: each header carries a session cookie of its own.
    const auto body = [](const QByteArray& answer) {
        return answer.mid(answer.indexOf("\r\n\r\n"));
    };
    int identical = 0;
    for (const QByteArray& answer : answers)
        identical += answer.contains("</DATA>") && body(answer) == body(answers.front()) ? 1 : 0;
    std::printf("  %d of 50 answers complete and identical (%lld bytes each) in %.2f s, server "
                "peak RSS %ld KB\n",
                identical, static_cast<long long>(answers.front().size()),
                static_cast<double>(timer.elapsed()) / 1000.0, statusKb(pid, "VmHWM:"));
    clients.clear();

    std::printf("\n20 clients that ask for all of BSEG and read nothing:\n");
    const long before = statusKb(pid, "VmRSS:");
    for (int i = 0; i < 20; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
        clients.back()->waitForConnected(10000);
        clients.back()->write(request(0));
        clients.back()->flush();
    }
    QThread::sleep(2);
    const bool served = exchange(port, request(10)).contains("</DATA>");
    std::printf("  server RSS %ld KB before, %ld KB with them stalled (%ld KB each); another "
                "client %s\n",
                before, statusKb(pid, "VmRSS:"), (statusKb(pid, "VmRSS:") - before) / 20,
                served ? "is served meanwhile" : "is NOT served");
    clients.clear();
    QThread::sleep(1);

    std::printf("\n1,000 connections that send nothing:\n");
    for (int i = 0; i < 1000; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
        clients.back()->waitForConnected(10000);
    }
    int refused = 0;
    for (const auto& socket : clients) {
        if (socket->waitForReadyRead(socket == clients.back() ? 3000 : 5) &&
            socket->readAll().startsWith("HTTP/1.1 503"))
            ++refused;
    }
    std::printf("  %d of them answered 503 at once; server RSS %ld KB, threads %ld\n", refused,
                statusKb(pid, "VmRSS:"), statusKb(pid, "Threads:"));
    clients.clear();

    process.kill();
    process.waitForFinished();
    std::printf("\nReproduce: cmake --build build --target demo_server_bench zorv-demo-server && "
                "build/bench/demo_server_bench\n");
    return 0;
}
