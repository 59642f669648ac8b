#include "window/main/MenuBuilder.h"

#include "window/common/Icons.h"
#include "window/main/MenuLayout.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace
{
void addItems(QMenu* menu, const QVector<MenuLayout::Item>& items, QWidget* owner,
              const MenuBuilder::Perform& perform, MenuBuilder::Result& result)
{
    for (const MenuLayout::Item& item : items) {
        if (item.separator) {
            QAction* separator = menu->addSeparator();
            separator->setObjectName(item.name);
            continue;
        }
        if (!item.children.isEmpty()) {
            auto* submenu = new QMenu(owner);
            submenu->setObjectName(item.name);
            if (item.fixed)
                submenu->setTitle(Texts::get(*item.fixed).en);
            menu->addMenu(submenu);
            result.menus.insert(item.name, submenu);
            addItems(submenu, item.children, owner, perform, result);
            continue;
        }
        auto* action = new QAction(owner);
        action->setObjectName(item.name);
        action->setText(item.fixed ? Texts::get(*item.fixed).en : item.name);
        action->setCheckable(item.checkable);
        action->setShortcut(MenuLayout::shortcut(item.name));
        const QString name = item.name;
        QObject::connect(action, &QAction::triggered, owner, [perform, name] { perform(name); });
        menu->addAction(action);
        result.actions.insert(item.name, action);
    }
}
} // namespace

MenuBuilder::Result MenuBuilder::buildMenus(QMenuBar* bar, QWidget* owner, const Perform& perform)
{
    Result result;
    for (const MenuLayout::Item& top : MenuLayout::menus()) {
        auto* menu = new QMenu(owner);
        menu->setObjectName(top.name);
        menu->setTitle(top.fixed ? Texts::get(*top.fixed).en : top.name);
        bar->addMenu(menu);
        result.menus.insert(top.name, menu);
        addItems(menu, top.children, owner, perform, result);
    }
    return result;
}

QHash<QString, QAction*> MenuBuilder::buildToolbar(QToolBar* toolbar, const Perform& performKey)
{
    QHash<QString, QAction*> buttons;
    for (const MenuLayout::ToolButton& button : MenuLayout::toolbar()) {
        if (button.key.isEmpty()) {
            toolbar->addSeparator();
            continue;
        }
        auto* action = new QAction(Icons::get(button.icon), button.key, toolbar);
        action->setObjectName(button.key);
        const QString key = button.key;
        QObject::connect(action, &QAction::triggered, toolbar,
                         [performKey, key] { performKey(key); });
        toolbar->addAction(action);
        buttons.insert(button.key, action);
    }
    return buttons;
}

void MenuBuilder::attachMenuPictures(QMenuBar* bar)
{
    const QList<QAction*> tops = bar->actions();
    for (const MenuLayout::MenuPicture& picture : MenuLayout::menuPictures()) {
        if (picture.top >= tops.size() || !tops.at(picture.top)->menu())
            continue;
        const QList<QAction*> items = tops.at(picture.top)->menu()->actions();
        if (picture.item < items.size())
            items.at(picture.item)->setIcon(Icons::get(picture.icon));
    }
}
