#pragma once

#include "query/layout/PaneLayout.h"
#include "query/layout/SplitterDrag.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class QAction;
class QWidget;

// The mouse over a query window's panes: the pointer shape near the lines between them, a
// left-button drag that starts in a line's band and moves the line with the pointer, and the
// context menu on a right-button release.
class PaneMouse : public QObject
{
    Q_OBJECT
public:
    struct Hooks {
        std::function<QRect(PaneLayout::Control)> pixels; // a control's place in the window
        std::function<void()> relayout;                   // the layout changed: place the controls
        std::function<double()> dotsPerInch;
        // The main window's menu by name, after the pane's own actions.
        std::function<void(const QString& menu, const QPoint& at, const QList<QAction*>& own)>
            popup;
    };

    PaneMouse(QWidget* window, PaneLayout& layout, Hooks hooks);

    // Watches the pane's surface (the viewport of a scrolling list); menu: the menu its right
    // button pops up, none when empty.
    void watch(QWidget* pane, PaneLayout::Pane which, const QString& menu,
               QList<QAction*> own = {});
    bool dragging() const { return m_drag.active(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        PaneLayout::Pane pane;
        QString menu;
        QList<QAction*> own;
    };
    // A surface position in twips from the top-left corner of its pane.
    QPoint inPane(QWidget* surface, PaneLayout::Pane pane, const QPointF& position) const;
    int twips(double pixels) const;

    QWidget* m_window;
    PaneLayout& m_layout;
    Hooks m_hooks;
    SplitterDrag m_drag;
    QPointF m_pressedAt; // global pixels
    QHash<QObject*, Watched> m_watched;
};
