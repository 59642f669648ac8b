#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// Builds the main window's menus and toolbar from the menu layout.
class MenuBuilder
{
public:
    using Perform = std::function<void(const QString& name)>;

    struct Result {
        QHash<QString, QAction*> actions; // menu items by name
        QHash<QString, QMenu*> menus;     // menus and submenus by name
    };

    // Every item becomes a QAction owned by `owner` and named after the item; triggering it
    // performs the item's name.
    static Result buildMenus(QMenuBar* bar, QWidget* owner, const Perform& perform);
    // Toolbar buttons are actions of their own, named after their keys and never disabled;
    // a click performs the command of the button's key.
    static QHash<QString, QAction*> buildToolbar(QToolBar* toolbar, const Perform& performKey);
    // Attaches the menu pictures by position, separators counted.
    static void attachMenuPictures(QMenuBar* bar);
};
