#pragma once

#include <QString>

#include <functional>

class DesktopServices;
struct AppState;

// The main window as the connection and the table reader see it: the program's state, the
// desktop, the status bar and its connection panel, the connect command and the progress
// display. Query windows see more of it (ShellHost).
class StatusHost
{
public:
    enum class ConnectionImage { Disconnected = 0, Connected = 1, Busy = 2 };

    virtual ~StatusHost() = default;

    virtual AppState& state() = 0;
    virtual DesktopServices& services() = 0;
    virtual void setStatusText(const QString& text) = 0; // panel 1
    virtual void setConnectionPanel(ConnectionImage image, const QString& text,
                                    const QString& toolTip) = 0;
    virtual void setConnectionImage(ConnectionImage image) = 0;
    // Asks the user for a logon; true when connected afterwards.
    virtual bool connectToSystem() = 0;

    virtual void startProgress(const QString& kind) = 0;
    virtual void advanceProgress(int percent) = 0;
    virtual void endProgress() = 0;
    // Offers a Cancel button (and Esc) beside the progress display while it runs; an empty
    // handler removes it.
    virtual void setProgressCancel(std::function<void()> cancel) { Q_UNUSED(cancel); }
};
