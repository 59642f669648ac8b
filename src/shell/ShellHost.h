#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include <functional>

class Desktop;
class QAction;
class QMdiSubWindow;
class QWidget;
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
    virtual bool connectToSystem() = 0;
    virtual void EnableDocumentMenus() = 0;
    virtual void DisableSaveMenus() = 0;

    // Query windows: shown in the main window's workspace, the active one, the main window's
    // commands they enable and disable, and its menus as their context menus.
    virtual QMdiSubWindow* addQueryWindow(QWidget* window) = 0;
    virtual QWidget* activeQueryWindow() const = 0;
    virtual void setCommandEnabled(const QString& command, bool enabled) = 0;
    virtual bool commandEnabled(const QString& command) const = 0;
    // The pane's own actions, if any, come first.
    virtual void popupMenu(const QString& menu, const QPoint& globalPos,
                           const QList<QAction*>& own = {}) = 0;

    virtual void StartProgress(const QString& kind) = 0;
    virtual void AdvanceProgress(int percent) = 0;
    virtual void EndProgress() = 0;
    // Offers a Cancel button (and Esc) beside the progress display while it runs; an empty
    // handler removes it.
    virtual void setProgressCancel(std::function<void()> cancel) { Q_UNUSED(cancel); }
};
