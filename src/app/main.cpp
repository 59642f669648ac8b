#include "AppState.h"
#include "Clock.h"
#include "ExportCommand.h"
#include "LogonDialog.h"
#include "LogonSentences.h"
#include "MainWindow.h"
#include "ProgramHome.h"
#include "ProgramVersion.h"
#include "QtDesktop.h"
#include "QueryContext.h"
#include "QueryWorkspace.h"
#include "ReadTableCommand.h"
#include "SapCommandLine.h"
#include "SapConnection.h"
#include "Startup.h"
#include "SystemDestinationFactory.h"
#include "TableReader.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace
{
int commandLine(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.takeFirst();
    if (command == u"demo-db")
        return SapCommandLine::demoDb(args, stdout, stderr);
    SystemDestinationFactory factory(ProgramHome::folder());
    if (command == u"export")
        return ExportCommand::run(args, factory, stdout, stderr);
    return ReadTableCommand::run(args, factory, stdout, stderr);
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", ProgramVersion::text().toUtf8().constData());
        return 0;
    }
    for (const char* command : {"demo-db", "read-table", "export"}) {
        if (argc > 1 && std::strcmp(argv[1], command) == 0)
            return commandLine(argc, argv);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorv"));
    QApplication::setApplicationVersion(ProgramVersion::text());
    // The desktop matches the window to the installed zorv.desktop, for its icon and name.
    QApplication::setDesktopFileName(QStringLiteral("zorv"));

    AppState state;
    QtDesktop desktop;
    SystemClock clock;
    const QString folder = ProgramHome::folder();
    Startup startup(state, desktop, clock, folder);
    MainWindow& window = startup.Main();
    SystemDestinationFactory factory(folder);
    LogonDialogPrompt dialog(folder + QStringLiteral("/logon.ini"),
                             SystemDestinationFactory::trustFileIn(folder));
    LogonSentences prompt(dialog, state);
    SapConnection connection(window, factory, prompt);
    window.setConnectionCommands(&connection);
    TableReader reader(window, connection);
    QueryContext context{window, reader, folder};
    QueryWorkspace workspace(context);
    window.setDocumentCommands(&workspace);
    const int status = QApplication::exec();
    window.setDocumentCommands(nullptr);
    window.setConnectionCommands(nullptr);
    return status;
}
