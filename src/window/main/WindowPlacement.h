#pragma once

#include <QRect>

// Where a remembered window may go on the screens there are now: a place and size kept from a
// larger or another screen must not leave the window, or its status bar, out of reach.
class WindowPlacement
{
public:
    // The window made no larger than the available area, then moved as little as needed to lie
    // wholly inside it.
    static QRect fitted(const QRect& window, const QRect& available);
};
