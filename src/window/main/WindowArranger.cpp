#include "window/main/WindowArranger.h"

QVector<QRect> WindowArranger::tile(const QRect& area, int count, Tiling tiling)
{
    QVector<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int total = tiling == Tiling::Vertical ? area.width() : area.height();
    int start = 0;
    for (int i = 0; i < count; ++i) {
        // Spread the remainder over the first windows so the edges meet without gaps.
        const int size = total / count + (i < total % count ? 1 : 0);
        if (tiling == Tiling::Vertical)
            rects.append(QRect(area.left() + start, area.top(), size, area.height()));
        else
            rects.append(QRect(area.left(), area.top() + start, area.width(), size));
        start += size;
    }
    return rects;
}
