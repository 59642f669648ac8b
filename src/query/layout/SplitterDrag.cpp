#include "query/layout/SplitterDrag.h"

#include <algorithm>

namespace
{
using C = PaneLayout::Control;

// One pixel at 96 dots per inch: small steps keep the documented line moves (the preview line
// pushing the My Table line along) as they are for a nudge.
constexpr int kStep = 15;

// A size may not fall below its minimum, nor below what it was when the drag began if that was
// less already: a small window's panes keep what they have.
bool holds(int atStart, int after, int minimum)
{
    return after >= std::min(minimum, atStart);
}
} // namespace

bool SplitterDrag::press(PaneLayout::Pane pane, int x, int y)
{
    m_grip = m_layout.grip(pane, x, y);
    m_start = m_layout;
    m_verticalStart = m_grip.vertical ? m_layout.linePosition(m_grip.vertical) : 0;
    m_horizontalStart = m_grip.horizontal ? m_layout.linePosition(m_grip.horizontal) : 0;
    return m_grip.any();
}

bool SplitterDrag::moveBy(int dx, int dy)
{
    bool moved = false;
    if (m_grip.vertical)
        moved = moveTo(m_grip.vertical, m_verticalStart + dx) || moved;
    if (m_grip.horizontal)
        moved = moveTo(m_grip.horizontal, m_horizontalStart + dy) || moved;
    return moved;
}

bool SplitterDrag::moveTo(int line, int position)
{
    bool moved = false;
    // Near a limit the steps shrink to a twip, so the line stops right at it.
    int most = kStep;
    for (int at = m_layout.linePosition(line); at != position; at = m_layout.linePosition(line)) {
        const int step = std::clamp(position - at, -most, most);
        PaneLayout next = m_layout;
        next.moveLine(line, step);
        if (line == 2)
            next.placeStrips();
        if (next.linePosition(line) != at + step || !keepsMinimums(m_start, next)) {
            if (most == 1)
                break;
            most = 1;
            continue;
        }
        m_layout = next;
        moved = true;
    }
    return moved;
}

bool SplitterDrag::keepsMinimums(const PaneLayout& start, const PaneLayout& after)
{
    const auto width = [&](C c, int minimum) {
        return holds(start.rect(c).width, after.rect(c).width, minimum);
    };
    const auto height = [&](C c, int minimum) {
        return holds(start.rect(c).height, after.rect(c).height, minimum);
    };
    return width(C::Tree, kMinTreeWidth) && width(C::FieldList, kMinFieldListWidth) &&
           width(C::MyTable, kMinRightWidth) && height(C::Tree, kMinTreeHeight) &&
           height(C::MyTable, kMinMyTableHeight) && height(C::Options, kMinOptionsHeight) &&
           height(C::Preview, kMinPreviewHeight);
}
