#include "PaneLayout.h"

#include <algorithm>

namespace
{
using C = PaneLayout::Control;

constexpr int kEditorRowWidthUnit = 315; // operator box 4 units, conjunction box 2 units
constexpr int kRowsButtonWidth = 285;
constexpr int kAllRowsGap = 50;
constexpr int kNarrowStopAllRows = 1000; // below this the "All Rows" box no longer narrows
constexpr int kNarrowStopFieldBox = 2000;
constexpr int kMinOptionsHeight = 310;
constexpr int kClosedPreviewHeight = 30;
constexpr int kUpStep = 90; // upward moves from bottom bands, and preview reopening
constexpr int kSideStep = 45;
constexpr int kEdgeBand = 16;

// num / den to the nearest integer, halves to the even neighbour (den > 0). Exact integer
// arithmetic, so that factors like 2.6 or 2.82 never pick up a binary rounding error.
int roundDiv(long long num, long long den)
{
    long long q = num / den;
    long long r = num % den;
    if (r < 0) { // floor division, so the remainder is always in [0, den)
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0)))
        ++q;
    return static_cast<int>(q);
}

// A control refuses a negative size and keeps its old one; positions may be anything.
void setWidth(PaneLayout::Rect& r, int width)
{
    if (width >= 0)
        r.width = width;
}

void setHeight(PaneLayout::Rect& r, int height)
{
    if (height >= 0)
        r.height = height;
}

void place(PaneLayout::Rect& r, int left, int top, int width, int height)
{
    r.left = left;
    r.top = top;
    setWidth(r, width);
    setHeight(r, height);
}

// Moves the left edge by d and keeps the right edge where it was.
void shiftLeftEdge(PaneLayout::Rect& r, int d)
{
    r.left += d;
    setWidth(r, r.width - d);
}

// Moves the top edge by d and keeps the bottom edge where it was.
void shiftTopEdge(PaneLayout::Rect& r, int d)
{
    r.top += d;
    setHeight(r, r.height - d);
}

constexpr C kRowsButtons[] = {C::Command3_0, C::Command3_1, C::Command3_2, C::Command3_3,
                              C::Command3_4};
constexpr C kEditorRow[] = {C::Combo2, C::Combo3, C::Text1, C::Combo4, C::Command2};
constexpr C kRowsStrip[] = {C::Command3_0, C::Command3_1, C::Command3_2, C::Command3_3,
                            C::Command3_4, C::Check1,     C::Text2};

bool inside(int value, int low, int high)
{
    return low < value && value < high;
}
} // namespace

void PaneLayout::resize(int width, int height, bool rowsPanelShown, bool editorShown)
{
    const int W = width;
    const int H = height;
    m_width = W;
    m_height = H;
    m_rowsPanel = rowsPanelShown;
    m_editor = editorShown;
    closePreviewEnabled = true;

    T = roundDiv(W, 5);
    R = roundDiv(10LL * W, 26);
    M = W - T - R;
    D = roundDiv(100LL * H, 282);
    P = roundDiv(100LL * H, 215);
    E = H - D - P;
    PreviewHeight = P;

    const int right = T + M; // left edge of the right column
    place(at(C::Label1), 0, 30, T, 210);
    place(at(C::TreeView1), 0, 240, T, D + E - 240);
    place(at(C::ListView1), T, 0, M, D + E);
    place(at(C::ListView2), right, 0, R, rowsPanelShown ? D - kRowsPanelHeight : D);
    place(at(C::ListView3), right, D, R, editorShown ? E - kEditorHeight : E);
    place(at(C::ListView4), 0, D + E, W, P);

    for (C control : kEditorRow)
        at(control).top = D + E - kEditorHeight;
    for (C control : kRowsStrip)
        at(control).top = D - kRowsPanelHeight;
    placeStrips();
}

void PaneLayout::placeStrips()
{
    const int W = m_width;
    const int right = rect(C::ListView2).left;
    // The editor row: the field box scales with the tree, the last two controls hang from
    // the right edge and the value box takes what is left between.
    const int editorTop = rect(C::Combo2).top;
    const int conjunctionLeft = W - 3 * kEditorRowWidthUnit;
    // The value is what the user types: when the row is too narrow for it, the field box gives
    // up width first, down to a width that still shows a field key.
    const int room = conjunctionLeft - right - 4 * kEditorRowWidthUnit;
    int fieldWidth = roundDiv(9LL * T, 10);
    if (room - fieldWidth < kMinValueWidth)
        fieldWidth = std::max(kMinFieldWidth, room - kMinValueWidth);
    Rect& field = at(C::Combo2);
    place(field, right, editorTop, fieldWidth, kEditorHeight);
    Rect& op = at(C::Combo3);
    place(op, field.left + field.width, editorTop, 4 * kEditorRowWidthUnit, kEditorHeight);
    const int valueLeft = op.left + op.width;
    place(at(C::Text1), valueLeft, editorTop, conjunctionLeft - valueLeft, kEditorHeight);
    place(at(C::Combo4), conjunctionLeft, editorTop, 2 * kEditorRowWidthUnit, kEditorHeight);
    place(at(C::Command2), W - kEditorRowWidthUnit, editorTop, kEditorRowWidthUnit, kEditorHeight);

    const int rowsTop = rect(C::Check1).top;
    for (int i = 0; i < 5; ++i)
        place(at(kRowsButtons[i]), right + kRowsButtonWidth * i, rowsTop, kRowsButtonWidth,
              kRowsPanelHeight);
    Rect& allRows = at(C::Check1);
    place(allRows, right + 5 * kRowsButtonWidth + kAllRowsGap, rowsTop,
          roundDiv(7LL * field.width, 10), kRowsPanelHeight);
    const int limitLeft = allRows.left + allRows.width;
    place(at(C::Text2), limitLeft, rowsTop, W - limitLeft, kRowsPanelHeight);
}

void PaneLayout::MoveLine1(int dx)
{
    shiftLeftEdge(at(C::ListView1), dx);
    setWidth(at(C::TreeView1), rect(C::TreeView1).width + dx);
    setWidth(at(C::Label1), rect(C::Label1).width + dx);
}

void PaneLayout::MoveLine2(int dx)
{
    setWidth(at(C::ListView1), rect(C::ListView1).width + dx);
    shiftLeftEdge(at(C::ListView2), dx);
    shiftLeftEdge(at(C::ListView3), dx);
    for (C button : kRowsButtons)
        at(button).left += dx;

    // The check box and the field box move with the line and give up width until they reach
    // their minimum; their right-hand neighbours follow only while they do.
    Rect& allRows = at(C::Check1);
    allRows.left += dx;
    if (allRows.width > kNarrowStopAllRows) {
        setWidth(allRows, allRows.width - dx);
        shiftLeftEdge(at(C::Text2), dx);
    }
    Rect& field = at(C::Combo2);
    field.left += dx;
    if (field.width > kNarrowStopFieldBox) {
        setWidth(field, field.width - dx);
        at(C::Combo3).left += dx;
        shiftLeftEdge(at(C::Text1), dx);
    }
}

void PaneLayout::MoveLine3(int dy)
{
    setHeight(at(C::ListView2), rect(C::ListView2).height + dy);
    shiftTopEdge(at(C::ListView3), dy);
    at(C::Check1).top += dy;
    at(C::Text2).top += dy;
    for (C button : kRowsButtons)
        at(button).top += dy;
}

void PaneLayout::MoveLine4(int dy)
{
    for (C pane : {C::TreeView1, C::ListView1, C::ListView3})
        setHeight(at(pane), rect(pane).height + dy);
    shiftTopEdge(at(C::ListView4), dy);
    for (C control : kEditorRow)
        at(control).top += dy;
    // The options list keeps a usable height by pushing the My Table line along.
    if (rect(C::ListView3).height < kMinOptionsHeight)
        MoveLine3(dy);
}

void PaneLayout::setRowsPanelShown(bool shown)
{
    if (shown == m_rowsPanel)
        return;
    m_rowsPanel = shown;
    const int d = shown ? -kRowsPanelHeight : kRowsPanelHeight;
    setHeight(at(C::ListView2), rect(C::ListView2).height + d);
}

void PaneLayout::setEditorShown(bool shown)
{
    if (shown == m_editor)
        return;
    m_editor = shown;
    const int d = shown ? -kEditorHeight : kEditorHeight;
    setHeight(at(C::ListView3), rect(C::ListView3).height + d);
}

int PaneLayout::OpenPreview()
{
    const int n = std::max(0, roundDiv(PreviewHeight, kUpStep));
    for (int i = 0; i < n; ++i)
        MoveLine4(-kUpStep);
    return n;
}

void PaneLayout::ClosePreview()
{
    PreviewHeight = rect(C::ListView4).height;
    MoveLine4(PreviewHeight - kClosedPreviewHeight);
    closePreviewEnabled = false;
}

PaneLayout::Pointer PaneLayout::CheckMouse(int x, int y)
{
    if (y < kEdgeBand)
        return Pointer::SizeNS;
    if (x < kEdgeBand)
        return Pointer::SizeWE;
    return Pointer::Default;
}

PaneLayout::Pointer PaneLayout::pointerAt(Pane pane, int x, int y) const
{
    switch (pane) {
    case Pane::Tree:
        return CheckMouse(x, rect(C::TreeView1).height - y - 109);
    case Pane::FieldList:
        return CheckMouse(x, rect(C::ListView1).height - y - 109);
    case Pane::MyTable:
        return CheckMouse(x, rect(C::ListView2).height - y - 109);
    case Pane::Options:
    case Pane::Preview:
        break;
    }
    return CheckMouse(x, y);
}

void PaneLayout::bands(Pane pane, int x, int y, const std::function<void(int, int)>& act) const
{
    // Each band rule reads the pane's size as it stands when the rule is reached, so a move
    // made by an earlier rule of the same event is already seen.
    auto w = [this](C c) { return rect(c).width; };
    auto h = [this](C c) { return rect(c).height; };
    switch (pane) {
    case Pane::Tree:
        if (inside(x, w(C::TreeView1) - 644, w(C::TreeView1)))
            act(1, -kSideStep);
        // The bottom band is measured against the field list, which reaches the preview line.
        if (inside(y, h(C::ListView1) - 555, h(C::ListView1)) && h(C::ListView1) > 725)
            act(4, -kUpStep);
        break;
    case Pane::FieldList:
        if (inside(x, 0, 300))
            act(1, kSideStep);
        if (inside(x, w(C::ListView1) - 644, w(C::ListView1)))
            act(2, -kSideStep);
        if (inside(y, h(C::ListView1) - 555, h(C::ListView1)) && h(C::ListView1) > 725)
            act(4, -kUpStep);
        break;
    case Pane::MyTable:
        if (inside(x, 0, 300))
            act(2, kSideStep);
        if (inside(y, h(C::ListView2) - 651, h(C::ListView2)))
            act(3, -kUpStep);
        break;
    case Pane::Options:
        if (inside(x, 0, 300))
            act(2, kSideStep);
        if (inside(y, 0, 555))
            act(3, kSideStep);
        break;
    case Pane::Preview:
        if (inside(y, 0, 555))
            act(4, kSideStep);
        break;
    }
}

PaneLayout::Pointer PaneLayout::mouseMoved(Pane pane, int x, int y, bool leftButtonOnly)
{
    const Pointer pointer = pointerAt(pane, x, y);
    if (leftButtonOnly)
        bands(pane, x, y, [this](int line, int step) { moveLine(line, step); });
    return pointer;
}

PaneLayout::Grip PaneLayout::grip(Pane pane, int x, int y) const
{
    Grip grip;
    bands(pane, x, y, [&grip](int line, int) {
        // A pane's two bands of one direction can overlap when it is narrow: the first holds.
        int& slot = line <= 2 ? grip.vertical : grip.horizontal;
        if (slot == 0)
            slot = line;
    });
    return grip;
}

int PaneLayout::linePosition(int line) const
{
    switch (line) {
    case 1:
        return rect(C::ListView1).left;
    case 2:
        return rect(C::ListView2).left;
    case 3:
        return rect(C::ListView3).top;
    default:
        return rect(C::ListView4).top;
    }
}

void PaneLayout::moveLine(int line, int delta)
{
    switch (line) {
    case 1:
        MoveLine1(delta);
        break;
    case 2:
        MoveLine2(delta);
        break;
    case 3:
        MoveLine3(delta);
        break;
    default:
        MoveLine4(delta);
        break;
    }
}
