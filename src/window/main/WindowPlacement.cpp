#include "window/main/WindowPlacement.h"

#include <algorithm>

QRect WindowPlacement::fitted(const QRect& window, const QRect& available)
{
    if (available.isEmpty())
        return window;
    const QSize size = window.size().boundedTo(available.size()).expandedTo(QSize(1, 1));
    const int left =
        std::clamp(window.left(), available.left(), available.right() + 1 - size.width());
    const int top =
        std::clamp(window.top(), available.top(), available.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}
