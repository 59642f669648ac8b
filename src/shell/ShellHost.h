#pragma once

#include "shell/StatusHost.h"

#include <QList>
#include <QPoint>

class QAction;
class QMdiSubWindow;
class QWidget;

// The main window as query windows see it: besides the status bar, the progress display and the
// connection, the workspace they are shown in, the commands they enable and disable, the
// document menus and the menus they show as their context menus.
class ShellHost : public StatusHost
{
public:
    virtual void enableDocumentMenus() = 0;
    virtual void disableSaveMenus() = 0;

    virtual QMdiSubWindow* addQueryWindow(QWidget* window) = 0;
    virtual QWidget* activeQueryWindow() const = 0;
    virtual void setCommandEnabled(const QString& command, bool enabled) = 0;
    virtual bool commandEnabled(const QString& command) const = 0;
    // The pane's own actions, if any, come first.
    virtual void popupMenu(const QString& menu, const QPoint& globalPos,
                           const QList<QAction*>& own = {}) = 0;
};
