#include "window/main/WorkspaceFollower.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QResizeEvent>

WorkspaceFollower::WorkspaceFollower(QMdiArea* workspace)
    : QObject(workspace), m_workspace(workspace)
{
    workspace->viewport()->installEventFilter(this);
}

QRect WorkspaceFollower::followed(const QRect& window, const QRect& before, const QRect& after)
{
    // A window the shrunk workspace would leave smaller than this stays as it was.
    constexpr int kSmallest = 32;
    if (window.right() != before.right() || window.bottom() != before.bottom() ||
        !before.contains(window) || window.left() > after.right() - kSmallest ||
        window.top() > after.bottom() - kSmallest)
        return window;
    QRect result = window;
    result.setBottomRight(after.bottomRight());
    return result;
}

bool WorkspaceFollower::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_workspace->viewport()) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        const QRect before(QPoint(0, 0), resize->oldSize());
        const QRect after(QPoint(0, 0), resize->size());
        if (resize->oldSize().isValid() && before != after) {
            for (QMdiSubWindow* sub : m_workspace->subWindowList()) {
                if (sub->isMaximized() || sub->isMinimized() || sub->isHidden())
                    continue;
                const QRect place = followed(sub->geometry(), before, after);
                if (place != sub->geometry())
                    sub->setGeometry(place);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
