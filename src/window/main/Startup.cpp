#include "window/main/Startup.h"

#include "shell/AppState.h"
#include "shell/Desktop.h"
#include "shell/DesktopServices.h"
#include "shell/ProgramHome.h"
#include "shell/ProgramVersion.h"
#include "shell/SettingsFile.h"
#include "window/main/AboutBox.h"
#include "window/main/FocusMarkStyle.h"
#include "window/main/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

// Outside any namespace: the resource's initialiser is declared at global scope.
static QString startingSettings()
{
    Q_INIT_RESOURCE(startingsettings);
    return QStringLiteral(":/shipped/Zorv.ini");
}

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

void Startup::readSettings()
{
    const QString settings = SettingsFile::pathIn(m_programFolder);
    // A folder without a settings file starts from the shipped one, as an installation does,
    // so that a first start shows the toolbar and the status bar.
    if (!QFileInfo::exists(settings) &&
        !ProgramHome::seedSettings(m_programFolder, startingSettings())) {
        // The folder cannot take the file: the starting settings still hold for this run.
        QFile shipped(startingSettings());
        if (shipped.open(QIODevice::ReadOnly))
            SettingsFile::read(shipped.readAll(), m_state);
        return;
    }
    SettingsFile::ensureExists(settings);
    const SettingsFile::ReadResult read = SettingsFile::readFile(settings, m_state);
    if (!read.ok)
        m_desktop.message(read.error, Desktop::Buttons::Ok, Desktop::Icon::Critical,
                          QStringLiteral("Zorv"));
}

MainWindow& Startup::run()
{
    m_state.programVersion = ProgramVersion::text();
    QApplication::setStyle(new FocusMarkStyle);

    m_splashServices = std::make_unique<DesktopServices>(m_desktop, m_state, m_programFolder,
                                                         [](const QString&) {});
    m_splash = std::make_unique<AboutBox>(m_state, *m_splashServices);
    m_splash->showAsSplash();
    QApplication::processEvents();

    readSettings();
    ensureListSeparator(m_state);
    m_state.settingsVersion = m_state.programVersion;

    m_window = std::make_unique<MainWindow>(m_state, m_desktop, m_clock, m_programFolder);
    m_window->load(m_splash.get());
    m_window->show();
    return *m_window;
}
