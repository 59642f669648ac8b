#pragma once

#include "query/layout/PaneLayout.h"

// A drag of the lines between a query window's panes: a left-button press inside a pane's band
// takes hold of that band's lines, and each later pointer position puts them where the pointer
// is, one documented line move at a time, as far as every pane keeps its minimum size.
class SplitterDrag
{
public:
    // Minimum sizes in twips: what keeps a pane usable and the strips beside it in one piece.
    static constexpr int kMinTreeWidth = 1200;
    static constexpr int kMinFieldListWidth = 1200;
    // The option editor row with its narrowest field and value boxes.
    static constexpr int kMinRightWidth = PaneLayout::kMinFieldWidth + 7 * 315 + 600;
    static constexpr int kMinTreeHeight = 300;
    static constexpr int kMinMyTableHeight = 600;
    static constexpr int kMinOptionsHeight = 310;
    static constexpr int kMinPreviewHeight = 30; // as closed

    explicit SplitterDrag(PaneLayout& layout) : m_layout(layout) {}

    // True when (x, y) in the pane lies in a band: the drag has begun.
    bool press(PaneLayout::Pane pane, int x, int y);
    // The pointer's offset from the press, in twips. True when a line moved.
    bool moveBy(int dx, int dy);
    void release() { m_grip = {}; }
    bool active() const { return m_grip.any(); }
    PaneLayout::Grip grip() const { return m_grip; }

private:
    bool moveTo(int line, int position);
    static bool keepsMinimums(const PaneLayout& start, const PaneLayout& after);

    PaneLayout& m_layout;
    PaneLayout m_start; // as the press found it
    PaneLayout::Grip m_grip;
    int m_verticalStart = 0;
    int m_horizontalStart = 0;
};
