#include "cli/ExportCommand.h"
#include "cli/ReadTableCommand.h"
#include "cli/SapCommandLine.h"
#include "sap/LogonSentences.h"
#include "sap/SapConnection.h"
#include "sap/SystemDestinationFactory.h"
#include "sap/TableReader.h"
#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/ProgramCommand.h"
#include "shell/ProgramHome.h"
#include "shell/ProgramVersion.h"
#include "shell/StopSignals.h"
#include "window/main/LogonDialog.h"
#include "window/main/MainWindow.h"
#include "window/main/QtDesktop.h"
#include "window/main/Startup.h"
#include "window/query/QueryContext.h"
#include "window/query/QueryWorkspace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include <cstdio>

namespace
{
int commandLine(int argc, char* argv[], ProgramCommand::Kind kind)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(2);
    if (kind == ProgramCommand::Kind::DemoDb)
        return SapCommandLine::demoDb(args, stdout, stderr);
    SystemDestinationFactory factory(ProgramHome::folder());
    if (kind == ProgramCommand::Kind::Export)
        return ExportCommand::run(args, factory, stdout, stderr);
    return ReadTableCommand::run(args, factory, stdout, stderr);
}

// The window's session ends with the program, however it ends: Exit, a stop signal, the end of
// the desktop session. Each way goes through the main window's one write. A stop signal that
// comes before the event loop runs is left in stopSignal for the caller.
void keepSessionOnEveryEnd(QApplication& app, StopSignals& stop, Startup& startup, int& stopSignal)
{
    QObject::connect(&stop, &StopSignals::received, &app, [&startup, &stopSignal](int signal) {
        stopSignal = signal;
        if (MainWindow* window = startup.mainWindow())
            window->writeSession();
        // Not quit(): that closes the windows first, and their questions would wait for no one.
        QCoreApplication::exit(128 + signal);
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&startup] {
        if (MainWindow* window = startup.mainWindow())
            window->endSession();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&startup](QSessionManager&) {
        if (MainWindow* window = startup.mainWindow())
            window->writeSession();
    });
}

int window(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorv"));
    QApplication::setApplicationVersion(ProgramVersion::text());
    // The desktop matches the window to the installed zorv.desktop, for its icon and name.
    QApplication::setDesktopFileName(QStringLiteral("zorv"));
    StopSignals stop;

    AppState state;
    QtDesktop desktop;
    SystemClock clock;
    const QString folder = ProgramHome::folder();
    Startup startup(state, desktop, clock, folder);
    int stopSignal = 0;
    keepSessionOnEveryEnd(app, stop, startup, stopSignal);
    MainWindow& window = startup.run();
    SystemDestinationFactory factory(folder);
    LogonDialogPrompt dialog(state, folder + QStringLiteral("/logon.ini"),
                             SystemDestinationFactory::trustFileIn(folder));
    LogonSentences prompt(dialog, state);
    SapConnection connection(window, factory, prompt);
    window.setConnectionCommands(&connection);
    TableReader reader(window, connection);
    QueryContext context{window, reader, folder};
    QueryWorkspace workspace(context);
    window.setDocumentCommands(&workspace);
    workspace.offerRecoveryCopies();
    workspace.offerOpenDocuments();
    // A signal during start-up found no event loop to leave.
    const int status = stopSignal ? 128 + stopSignal : QApplication::exec();
    if (stopSignal)
        window.endSession();
    window.setDocumentCommands(nullptr);
    window.setConnectionCommands(nullptr);
    return status;
}
} // namespace

int main(int argc, char* argv[])
{
    const ProgramCommand::Kind kind =
        ProgramCommand::classify(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    switch (kind) {
    case ProgramCommand::Kind::Window:
        return window(argc, argv);
    case ProgramCommand::Kind::Version:
        std::printf("%s\n", ProgramVersion::text().toUtf8().constData());
        return 0;
    case ProgramCommand::Kind::Help:
        std::fputs(ProgramCommand::usage().toUtf8().constData(), stdout);
        return 0;
    case ProgramCommand::Kind::Unknown:
        std::fprintf(stderr, "zorv: unknown command \"%s\"\n", argv[1]);
        std::fputs(ProgramCommand::usage().toUtf8().constData(), stderr);
        return 2;
    case ProgramCommand::Kind::DemoDb:
    case ProgramCommand::Kind::ReadTable:
    case ProgramCommand::Kind::Export:
        break;
    }
    return commandLine(argc, argv, kind);
}
