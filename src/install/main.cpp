#include "InstallWindow.h"
#include "Installer.h"
#include "MessageBoxReporter.h"
#include "SystemPlatform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace
{

constexpr const char* kSilent = "--silent";

bool wantsSilent(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kSilent) == 0)
            return true;
    }
    return false;
}

void parseArguments(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes setup.lst and starts setup.exe from this program's folder."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("silent"),
                      QStringLiteral("Install without a window; errors go to stderr.")});
    parser.process(app);
}

// For administrators and scripts: no window, the failure on stderr and in the exit status.
int runSilent()
{
    SystemPlatform platform;
    Installer installer(platform);
    if (const auto failure = installer.install()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure->message()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The silent mode must work where no display is available, so it makes no QApplication.
    if (wantsSilent(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Install"));
        parseArguments(app);
        return runSilent();
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Install"));
    parseArguments(app);
    SystemPlatform platform;
    MessageBoxReporter reporter;
    InstallWindow window(platform, reporter);
    window.show();
    return app.exec();
}
