#pragma once

#include <QString>

#include <memory>

struct AppState;
class AboutBox;
class Clock;
class Desktop;
class DesktopServices;
class MainWindow;

// The start-up sequence: version, splash, settings file, main window.
class Startup
{
public:
    Startup(AppState& state, Desktop& desktop, const Clock& clock, QString programFolder);
    ~Startup();

    // Runs every step and shows the main window; its loading closes the splash.
    MainWindow& run();
    MainWindow* mainWindow() const { return m_window.get(); }

    static void ensureListSeparator(AppState& state);

private:
    void readSettings();

    AppState& m_state;
    Desktop& m_desktop;
    const Clock& m_clock;
    QString m_programFolder;
    std::unique_ptr<DesktopServices> m_splashServices;
    std::unique_ptr<AboutBox> m_splash;
    std::unique_ptr<MainWindow> m_window;
};
