#pragma once

#include <QRect>
#include <QVector>

// Where the query windows go when tiled: side by side ("vertical") or one above the other
// ("horizontal"), filling the workspace exactly.
class WindowArranger
{
public:
    enum class Tiling { Vertical, Horizontal };

    static QVector<QRect> tile(const QRect& area, int count, Tiling tiling);
};
