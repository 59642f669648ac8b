#pragma once

#include "shell/Texts.h"

#include <QKeySequence>
#include <QString>
#include <QVector>

#include <optional>

// The main window's menu tree, toolbar and menu pictures as plain data.
class MenuLayout
{
public:
    struct Item {
        QString name; // object name; empty for nothing
        bool separator = false;
        std::optional<TextId> fixed; // a caption that is the same in both languages
        bool checkable = false;
        QVector<Item> children; // a submenu
    };

    struct ToolButton {
        int index;       // 1..15
        QString key;     // empty for a separator
        QString command; // the menu item it performs
        QString icon;
    };

    struct MenuPicture {
        int top;
        int item;
        QString icon;
    };

    static const QVector<Item>& menus();
    static const QVector<ToolButton>& toolbar();
    static const QVector<MenuPicture>& menuPictures();
    // The menu item a toolbar key performs, or empty for a key not in the table.
    static QString commandForKey(const QString& key);
    // The keys that perform a menu item, shown beside it; empty for most items.
    static QKeySequence shortcut(const QString& item);
};
