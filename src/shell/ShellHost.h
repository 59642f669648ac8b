#pragma once

#include <QString>

class Desktop;
class DesktopServices;
struct AppState;

// The main window as the rest of the program sees it: the status bar, the menus that query
// windows enable, the connect command, the progress display and the desktop services.
class ShellHost
{
public:
    enum class ConnectionImage { Disconnected = 0, Connected = 1, Busy = 2 };

    virtual ~ShellHost() = default;

    virtual AppState& state() = 0;
    virtual DesktopServices& services() = 0;
    virtual void setStatusText(const QString& text) = 0; // panel 1
    virtual void setConnectionPanel(ConnectionImage image, const QString& text,
                                    const QString& toolTip) = 0;
    virtual void setConnectionImage(ConnectionImage image) = 0;
    virtual bool mconectar_Click() = 0;
    virtual void EnableDocumentMenus() = 0;
    virtual void DisableSaveMenus() = 0;

    virtual void StartProgress(const QString& kind) = 0;
    virtual void AdvanceProgress(int percent) = 0;
    virtual void EndProgress() = 0;
};
