#include "window/query/PaneMouse.h"

#include "shell/Twips.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>

namespace
{
using Pane = PaneLayout::Pane;
using Control = PaneLayout::Control;

Control controlOf(Pane pane)
{
    switch (pane) {
    case Pane::Tree:
        return Control::Tree;
    case Pane::FieldList:
        return Control::FieldList;
    case Pane::MyTable:
        return Control::MyTable;
    case Pane::Options:
        return Control::Options;
    case Pane::Preview:
        break;
    }
    return Control::Preview;
}

Qt::CursorShape cursorFor(PaneLayout::Grip grip, PaneLayout::Pointer pointer)
{
    if (grip.vertical && grip.horizontal)
        return Qt::SizeAllCursor;
    if (grip.vertical || pointer == PaneLayout::Pointer::SizeWE)
        return Qt::SizeHorCursor;
    if (grip.horizontal || pointer == PaneLayout::Pointer::SizeNS)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}
} // namespace

PaneMouse::PaneMouse(QWidget* window, PaneLayout& layout, Hooks hooks)
    : QObject(window), m_window(window), m_layout(layout), m_hooks(std::move(hooks)), m_drag(layout)
{
}

void PaneMouse::watch(QWidget* pane, PaneLayout::Pane which, const QString& menu,
                      QList<QAction*> own)
{
    QWidget* surface = pane;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(pane))
        surface = view->viewport();
    surface->setMouseTracking(true);
    surface->installEventFilter(this);
    m_watched.insert(surface, {which, menu, std::move(own)});
}

int PaneMouse::twips(double pixels) const
{
    return static_cast<int>(std::lround(Twips::fromPixels(pixels, m_hooks.dotsPerInch())));
}

QPoint PaneMouse::inPane(QWidget* surface, PaneLayout::Pane pane, const QPointF& position) const
{
    const QPoint at =
        surface->mapTo(m_window, position.toPoint()) - m_hooks.pixels(controlOf(pane)).topLeft();
    return {twips(at.x()), twips(at.y())};
}

bool PaneMouse::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = m_watched.constFind(watched);
    if (found == m_watched.constEnd())
        return QObject::eventFilter(watched, event);
    auto* surface = static_cast<QWidget*>(watched);
    const Pane pane = found->pane;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint at = inPane(surface, pane, mouse->position());
            // The press still selects what is under it; only a move makes it a drag.
            if (m_drag.press(pane, at.x(), at.y()))
                m_pressedAt = mouse->globalPosition();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_drag.active() && (mouse->buttons() & Qt::LeftButton)) {
            const QPointF moved = mouse->globalPosition() - m_pressedAt;
            if (m_drag.moveBy(twips(moved.x()), twips(moved.y())))
                m_hooks.relayout();
            return true; // the list under the pointer neither selects nor drags meanwhile
        }
        m_drag.release();
        const QPoint at = inPane(surface, pane, mouse->position());
        surface->setCursor(cursorFor(m_layout.grip(pane, at.x(), at.y()),
                                     m_layout.pointerAt(pane, at.x(), at.y())));
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            m_drag.release();
        else if (mouse->button() == Qt::RightButton && !found->menu.isEmpty())
            m_hooks.popup(found->menu, mouse->globalPosition().toPoint(), found->own);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
