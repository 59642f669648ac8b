// zorv-demo-server under load: its memory over 1,000 calls, 50 clients reading 10,000 rows each
// at once (all answers identical), clients that stop reading, a flood of idle connections, and
// its peak memory under large request bodies (64 clients each announcing 16 MB and holding
// back the last byte; four calls of 200,000 option lines at once), each on a fresh server,
// five times, with the median. Prints the figures and how to reproduce them:
//   build/bench/demo_server_bench [--bodies] [path/to/zorv-demo-server]
// (--bodies: the body figures only)
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

#include <algorithm>
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

QByteArray post(const QByteArray& body, const QByteArray& connection = "close")
{
    return "POST /sap/bc/soap/rfc HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Basic " +
           QByteArray("DEMO:welcome").toBase64() + "\r\nConnection: " + connection +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

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
// A server of its own, so that its peak memory is that of one load.
class Server
{
public:
    bool start(const QString& program)
    {
        m_process.start(program, {QStringLiteral("--port"), QStringLiteral("0")});
        if (!m_process.waitForStarted() || !m_process.waitForReadyRead(60000))
            return false;
        m_port = static_cast<quint16>(
            QUrl(QString::fromUtf8(m_process.readLine()).section(u' ', 2).trimmed()).port());
        return m_port != 0;
    }
    ~Server()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    quint16 port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

std::vector<std::unique_ptr<QTcpSocket>> connectMany(quint16 port, int count)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < count; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, port);
        sockets.back()->waitForConnected(10000);
    }
    return sockets;
}

// Writes what each socket still has to send, and collects what comes back, for a while.
void pump(std::vector<std::unique_ptr<QTcpSocket>>& sockets, std::vector<QByteArray>& answers,
          int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        for (size_t i = 0; i < sockets.size(); ++i) {
            if (sockets[i]->state() != QAbstractSocket::ConnectedState)
                continue;
            sockets[i]->waitForBytesWritten(1);
            sockets[i]->waitForReadyRead(1);
            answers[i] += sockets[i]->readAll();
        }
    }
}

// 64 clients each announce a 16 MB body and send all of it but the last byte.
long heldBodiesPeakKb(const QString& program, int* refused)
{
    Server server;
    if (!server.start(program))
        return -1;
    const qint64 length = 16 * 1024 * 1024;
    const QByteArray head = "POST /sap/bc/soap/rfc HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                            "Content-Length: " +
                            QByteArray::number(length) + "\r\n\r\n";
    auto sockets = connectMany(server.port(), 64);
    std::vector<QByteArray> answers(sockets.size());
    const QByteArray piece(1 << 20, ' ');
    for (auto& socket : sockets)
        socket->write(head);
    for (qint64 sent = 0; sent < length - 1; sent += piece.size()) {
        const qint64 size = std::min<qint64>(piece.size(), length - 1 - sent);
        for (auto& socket : sockets) {
            if (socket->state() == QAbstractSocket::ConnectedState)
                socket->write(piece.left(size));
        }
        pump(sockets, answers, 50);
    }
    pump(sockets, answers, 3000);
    *refused = 0;
    for (const QByteArray& answer : answers)
        *refused += answer.startsWith("HTTP/1.1 503") ? 1 : 0;
    return statusKb(server.pid(), "VmHWM:");
}

// Four valid calls at once, each with 200,000 option lines (about 8 MB).
long manyOptionLinesPeakKb(const QString& program, int* faults)
{
    Server server;
    if (!server.start(program))
        return -1;
    const QByteArray options =
        "<OPTIONS><item><TEXT>MANDT = '000'</TEXT></item>" +
        QByteArray("<item><TEXT>OR MANDT = '100'</TEXT></item>").repeated(199999) + "</OPTIONS>";
    QByteArray body = QByteArray(kBseg).replace("%1", "10");
    body.replace("<FIELDS/>", options + "<FIELDS/>");
    body.replace("BSEG", "T000");
    auto sockets = connectMany(server.port(), 4);
    std::vector<QByteArray> answers(sockets.size());
    for (auto& socket : sockets)
        socket->write(post(body));
    for (bool open = true; open;) {
        pump(sockets, answers, 100);
        open = false;
        for (const auto& socket : sockets)
            open = open || socket->state() == QAbstractSocket::ConnectedState;
    }
    *faults = 0;
    for (const QByteArray& answer : answers)
        *faults += answer.contains("OPTION_NOT_VALID") ? 1 : 0;
    return statusKb(server.pid(), "VmHWM:");
}

long median(std::vector<long> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void bodyFigures(const QString& program)
{
    constexpr int kRuns = 5;
    std::printf("\nPeak memory under large bodies, a fresh server each run (%d runs):\n", kRuns);
    std::vector<long> held;
    std::vector<long> options;
    int refused = 0;
    int faults = 0;
    for (int run = 0; run < kRuns; ++run) {
        held.push_back(heldBodiesPeakKb(program, &refused));
        options.push_back(manyOptionLinesPeakKb(program, &faults));
        std::printf("  run %d: 64 held 16 MB bodies %6ld KB (%d answered 503); 4 x 200,000 "
                    "option lines %6ld KB (%d answered OPTION_NOT_VALID)\n",
                    run + 1, held.back(), refused, options.back(), faults);
    }
    std::printf("  median peak RSS: held bodies %ld KB, option lines %ld KB\n", median(held),
                median(options));
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool bodiesOnly = arguments.removeAll(QStringLiteral("--bodies")) > 0;
    const QString server = !arguments.isEmpty()
                               ? arguments.front()
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
    if (bodiesOnly) {
        bodyFigures(server);
        std::printf("\nReproduce: cmake --build build --target demo_server_bench zorv-demo-server "
                    "&& build/bench/demo_server_bench --bodies\n");
        return 0;
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
    bodyFigures(server);
    std::printf("\nReproduce: cmake --build build --target demo_server_bench zorv-demo-server && "
                "build/bench/demo_server_bench\n");
    return 0;
}
