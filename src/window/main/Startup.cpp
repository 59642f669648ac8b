#include "window/main/Startup.h"

#include "shell/AppState.h"
#include "shell/Desktop.h"
#include "shell/DesktopServices.h"
#include "shell/ProgramVersion.h"
#include "shell/SettingsFile.h"
#include "window/main/AboutBox.h"
#include "window/main/MainWindow.h"

#include <QApplication>

Startup::Startup(AppState& state, Desktop& desktop, const Clock& clock, QString programFolder)
    : m_state(state), m_desktop(desktop), m_clock(clock), m_programFolder(std::move(programFolder))
{
}

Startup::~Startup() = default;

void Startup::ensureListSeparator(AppState& state)
{
    if (state.listSeparator.isEmpty())
        state.listSeparator = QStringLiteral(";");
}

MainWindow& Startup::run()
{
    m_state.programVersion = ProgramVersion::text();

    m_splashServices = std::make_unique<DesktopServices>(m_desktop, m_state, m_programFolder,
                                                         [](const QString&) {});
    m_splash = std::make_unique<AboutBox>(m_state, *m_splashServices);
    m_splash->showAsSplash();
    QApplication::processEvents();

    const QString settings = SettingsFile::pathIn(m_programFolder);
    SettingsFile::ensureExists(settings);
    const SettingsFile::ReadResult read = SettingsFile::readFile(settings, m_state);
    if (!read.ok)
        m_desktop.message(read.error, Desktop::Buttons::Ok, Desktop::Icon::Critical,
                          QStringLiteral("Zorv"));
    ensureListSeparator(m_state);
    m_state.settingsVersion = m_state.programVersion;

    m_window = std::make_unique<MainWindow>(m_state, m_desktop, m_clock, m_programFolder);
    m_window->load(m_splash.get());
    m_window->show();
    return *m_window;
}
