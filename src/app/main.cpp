#include "AppState.h"
#include "Clock.h"
#include "MainWindow.h"
#include "ProgramHome.h"
#include "ProgramVersion.h"
#include "QtDesktop.h"
#include "Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", ProgramVersion::text().toUtf8().constData());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorv"));
    QApplication::setApplicationVersion(ProgramVersion::text());

    AppState state;
    QtDesktop desktop;
    SystemClock clock;
    Startup startup(state, desktop, clock, ProgramHome::folder());
    startup.Main();
    return QApplication::exec();
}
