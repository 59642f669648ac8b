#include "window/main/MenuBarKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

MenuBarKeys::MenuBarKeys(QMenuBar* menuBar) : QObject(menuBar), m_menuBar(menuBar)
{
    qApp->installEventFilter(this);
}

bool MenuBarKeys::inMenuBarsWindow(QObject* watched) const
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_menuBar->window() && m_menuBar->isVisible();
}

void MenuBarKeys::toggle()
{
    if (m_menuBar->activeAction()) {
        m_menuBar->setActiveAction(nullptr);
        return;
    }
    for (QAction* item : m_menuBar->actions()) {
        if (item->isVisible() && item->isEnabled() && !item->isSeparator()) {
            m_menuBar->setActiveAction(item);
            return;
        }
    }
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // A key event goes to the focus widget and then up its parents: each is looked at once.
    const QWidget* focus = QApplication::focusWidget();
    if (focus ? watched != focus : watched != QApplication::activeWindow())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::NoModifier ||
        !inMenuBarsWindow(watched))
        return false;
    toggle();
    return true;
}
