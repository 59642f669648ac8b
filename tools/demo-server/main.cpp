#include "DemoSoapServer.h"
#include "DemoSystem.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves Zorv's demo R/3 system over the RFC SOAP protocol on a loopback port."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("The port; 0 picks a free one."),
                      QStringLiteral("N"), QStringLiteral("8000")});
    parser.process(app);
    QString error;
    if (!DemoSystem::ensureDatabase(&error)) {
        std::fprintf(stderr, "The demo database cannot be set up: %s\n", qPrintable(error));
        return 1;
    }
    DemoSoapServer server;
    if (!server.listen(static_cast<quint16>(parser.value(QStringLiteral("port")).toUInt()))) {
        std::fprintf(stderr, "Cannot listen on port %s\n",
                     qPrintable(parser.value(QStringLiteral("port"))));
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%u\n", server.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
