#include "DemoSoapServer.h"
#include "sap/demo/DemoSystem.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace
{
// A whole number from min to max, or nothing after a message.
bool number(const QCommandLineParser& parser, const char* option, int min, int max, int* value)
{
    bool ok = false;
    *value = parser.value(QString::fromLatin1(option)).toInt(&ok);
    if (ok && *value >= min && *value <= max)
        return true;
    std::fprintf(stderr, "--%s takes a whole number from %d to %d\n", option, min, max);
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves Zorv's demo R/3 system over the RFC SOAP protocol on a loopback port."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("The port; 0 picks a free one."),
                      QStringLiteral("N"), QStringLiteral("8000")});
    parser.addOption({QStringLiteral("default-client"),
                      QStringLiteral("The client of a logon that names none."), QStringLiteral("N"),
                      QStringLiteral("100")});
    parser.addOption({QStringLiteral("max-connections"),
                      QStringLiteral("Connections served at once; more get 503."),
                      QStringLiteral("N"), QStringLiteral("64")});
    parser.addOption({QStringLiteral("head-timeout"),
                      QStringLiteral("Seconds for a request's head to arrive, from its first byte; "
                                     "its body gets as long and a second more per "
                                     "--min-body-rate bytes."),
                      QStringLiteral("S"), QStringLiteral("5")});
    parser.addOption({QStringLiteral("min-body-rate"),
                      QStringLiteral("Bytes per second a request body must keep up."),
                      QStringLiteral("B"), QStringLiteral("1000")});
    parser.addOption({QStringLiteral("body-memory"),
                      QStringLiteral("Megabytes that the request bodies of all connections may "
                                     "hold together; a body beyond it gets 503."),
                      QStringLiteral("MB"), QStringLiteral("64")});
    parser.addOption({QStringLiteral("idle-timeout"),
                      QStringLiteral("Seconds before an idle connection is closed."),
                      QStringLiteral("S"), QStringLiteral("60")});
    parser.process(app);
    DemoServerSettings settings;
    int port = 0;
    int seconds = 0;
    int headSeconds = 0;
    int rate = 0;
    int megabytes = 0;
    int client = 0;
    if (!number(parser, "port", 0, 65535, &port) ||
        !number(parser, "max-connections", 1, 1024, &settings.maxConnections) ||
        !number(parser, "idle-timeout", 1, 3600, &seconds) ||
        !number(parser, "head-timeout", 1, 3600, &headSeconds) ||
        !number(parser, "min-body-rate", 1, 1 << 30, &rate) ||
        !number(parser, "body-memory", 1, 65536, &megabytes) ||
        !number(parser, "default-client", 0, 999, &client))
        return 2;
    settings.idleTimeoutMs = seconds * 1000;
    settings.headTimeoutMs = headSeconds * 1000;
    settings.minBodyRate = rate;
    settings.bodyMemory = qint64(megabytes) << 20;
    settings.defaultClient = QStringLiteral("%1").arg(client, 3, 10, QChar(u'0'));

    QString error;
    if (!DemoSystem::ensureDatabase(&error)) {
        std::fprintf(stderr, "The demo database cannot be set up: %s\n", qPrintable(error));
        return 1;
    }
    DemoSoapServer server(settings);
    if (!server.listen(static_cast<quint16>(port))) {
        std::fprintf(stderr, "Cannot listen on port %d: %s\n", port,
                     qPrintable(server.errorString()));
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%u\n", server.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
