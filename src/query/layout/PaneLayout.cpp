#include "query/layout/PaneLayout.h"

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

constexpr C kRowsButtons[] = {C::CopyButton, C::RemoveButton, C::MoveDownButton, C::MoveUpButton,
                              C::PreviewButton};
constexpr C kEditorRow[] = {C::OptionField, C::OptionOperator, C::OptionValue, C::OptionConjunction,
                            C::AddOption};
constexpr C kRowsStrip[] = {C::CopyButton,    C::RemoveButton, C::MoveDownButton, C::MoveUpButton,
                            C::PreviewButton, C::AllRows,      C::RowLimit};

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

    Proportions& p = m_proportions;
    p.treeWidth = roundDiv(W, 5);
    p.rightWidth = roundDiv(10LL * W, 26);
    p.fieldListWidth = W - p.treeWidth - p.rightWidth;
    p.myTableHeight = roundDiv(100LL * H, 282);
    p.previewHeight = roundDiv(100LL * H, 215);
    p.optionsHeight = H - p.myTableHeight - p.previewHeight;
    previewHeight = p.previewHeight;

    const int upper = p.myTableHeight + p.optionsHeight; // the panes above the preview
    const int right = p.treeWidth + p.fieldListWidth;    // left edge of the right column
    place(at(C::TreeSummary), 0, 30, p.treeWidth, 210);
    place(at(C::Tree), 0, 240, p.treeWidth, upper - 240);
    place(at(C::FieldList), p.treeWidth, 0, p.fieldListWidth, upper);
    place(at(C::MyTable), right, 0, p.rightWidth,
          rowsPanelShown ? p.myTableHeight - kRowsPanelHeight : p.myTableHeight);
    place(at(C::Options), right, p.myTableHeight, p.rightWidth,
          editorShown ? p.optionsHeight - kEditorHeight : p.optionsHeight);
    place(at(C::Preview), 0, upper, W, p.previewHeight);

    for (C control : kEditorRow)
        at(control).top = upper - kEditorHeight;
    for (C control : kRowsStrip)
        at(control).top = p.myTableHeight - kRowsPanelHeight;
    placeStrips();
}

void PaneLayout::placeStrips()
{
    const int W = m_width;
    const int right = rect(C::MyTable).left;
    // The editor row: the field box scales with the tree, the last two controls hang from
    // the right edge and the value box takes what is left between.
    const int editorTop = rect(C::OptionField).top;
    const int conjunctionLeft = W - 3 * kEditorRowWidthUnit;
    // The value is what the user types: when the row is too narrow for it, the field box gives
    // up width first, down to a width that still shows a field key.
    const int room = conjunctionLeft - right - 4 * kEditorRowWidthUnit;
    int fieldWidth = roundDiv(9LL * m_proportions.treeWidth, 10);
    if (room - fieldWidth < kMinValueWidth)
        fieldWidth = std::max(kMinFieldWidth, room - kMinValueWidth);
    Rect& field = at(C::OptionField);
    place(field, right, editorTop, fieldWidth, kEditorHeight);
    Rect& op = at(C::OptionOperator);
    place(op, field.left + field.width, editorTop, 4 * kEditorRowWidthUnit, kEditorHeight);
    const int valueLeft = op.left + op.width;
    place(at(C::OptionValue), valueLeft, editorTop, conjunctionLeft - valueLeft, kEditorHeight);
    place(at(C::OptionConjunction), conjunctionLeft, editorTop, 2 * kEditorRowWidthUnit,
          kEditorHeight);
    place(at(C::AddOption), W - kEditorRowWidthUnit, editorTop, kEditorRowWidthUnit, kEditorHeight);

    const int rowsTop = rect(C::AllRows).top;
    for (int i = 0; i < 5; ++i)
        place(at(kRowsButtons[i]), right + kRowsButtonWidth * i, rowsTop, kRowsButtonWidth,
              kRowsPanelHeight);
    Rect& allRows = at(C::AllRows);
    place(allRows, right + 5 * kRowsButtonWidth + kAllRowsGap, rowsTop,
          roundDiv(7LL * field.width, 10), kRowsPanelHeight);
    const int limitLeft = allRows.left + allRows.width;
    place(at(C::RowLimit), limitLeft, rowsTop, W - limitLeft, kRowsPanelHeight);
}

void PaneLayout::moveTreeBorder(int dx)
{
    shiftLeftEdge(at(C::FieldList), dx);
    setWidth(at(C::Tree), rect(C::Tree).width + dx);
    setWidth(at(C::TreeSummary), rect(C::TreeSummary).width + dx);
}

void PaneLayout::moveFieldListBorder(int dx)
{
    setWidth(at(C::FieldList), rect(C::FieldList).width + dx);
    shiftLeftEdge(at(C::MyTable), dx);
    shiftLeftEdge(at(C::Options), dx);
    for (C button : kRowsButtons)
        at(button).left += dx;

    // The check box and the field box move with the line and give up width until they reach
    // their minimum; their right-hand neighbours follow only while they do.
    Rect& allRows = at(C::AllRows);
    allRows.left += dx;
    if (allRows.width > kNarrowStopAllRows) {
        setWidth(allRows, allRows.width - dx);
        shiftLeftEdge(at(C::RowLimit), dx);
    }
    Rect& field = at(C::OptionField);
    field.left += dx;
    if (field.width > kNarrowStopFieldBox) {
        setWidth(field, field.width - dx);
        at(C::OptionOperator).left += dx;
        shiftLeftEdge(at(C::OptionValue), dx);
    }
}

void PaneLayout::moveMyTableBorder(int dy)
{
    setHeight(at(C::MyTable), rect(C::MyTable).height + dy);
    shiftTopEdge(at(C::Options), dy);
    at(C::AllRows).top += dy;
    at(C::RowLimit).top += dy;
    for (C button : kRowsButtons)
        at(button).top += dy;
}

void PaneLayout::movePreviewBorder(int dy)
{
    for (C pane : {C::Tree, C::FieldList, C::Options})
        setHeight(at(pane), rect(pane).height + dy);
    shiftTopEdge(at(C::Preview), dy);
    for (C control : kEditorRow)
        at(control).top += dy;
    // The options list keeps a usable height by pushing the My Table line along.
    if (rect(C::Options).height < kMinOptionsHeight)
        moveMyTableBorder(dy);
}

void PaneLayout::setRowsPanelShown(bool shown)
{
    if (shown == m_rowsPanel)
        return;
    m_rowsPanel = shown;
    const int d = shown ? -kRowsPanelHeight : kRowsPanelHeight;
    setHeight(at(C::MyTable), rect(C::MyTable).height + d);
}

void PaneLayout::setEditorShown(bool shown)
{
    if (shown == m_editor)
        return;
    m_editor = shown;
    const int d = shown ? -kEditorHeight : kEditorHeight;
    setHeight(at(C::Options), rect(C::Options).height + d);
}

int PaneLayout::openPreview()
{
    const int n = std::max(0, roundDiv(previewHeight, kUpStep));
    for (int i = 0; i < n; ++i)
        movePreviewBorder(-kUpStep);
    return n;
}

void PaneLayout::closePreview()
{
    previewHeight = rect(C::Preview).height;
    movePreviewBorder(previewHeight - kClosedPreviewHeight);
    closePreviewEnabled = false;
}

PaneLayout::Pointer PaneLayout::pointerShape(int x, int y)
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
        return pointerShape(x, rect(C::Tree).height - y - 109);
    case Pane::FieldList:
        return pointerShape(x, rect(C::FieldList).height - y - 109);
    case Pane::MyTable:
        return pointerShape(x, rect(C::MyTable).height - y - 109);
    case Pane::Options:
    case Pane::Preview:
        break;
    }
    return pointerShape(x, y);
}

void PaneLayout::bands(Pane pane, int x, int y, const std::function<void(int, int)>& act) const
{
    // Each band rule reads the pane's size as it stands when the rule is reached, so a move
    // made by an earlier rule of the same event is already seen.
    auto w = [this](C c) { return rect(c).width; };
    auto h = [this](C c) { return rect(c).height; };
    switch (pane) {
    case Pane::Tree:
        if (inside(x, w(C::Tree) - 644, w(C::Tree)))
            act(1, -kSideStep);
        // The bottom band is measured against the field list, which reaches the preview line.
        if (inside(y, h(C::FieldList) - 555, h(C::FieldList)) && h(C::FieldList) > 725)
            act(4, -kUpStep);
        break;
    case Pane::FieldList:
        if (inside(x, 0, 300))
            act(1, kSideStep);
        if (inside(x, w(C::FieldList) - 644, w(C::FieldList)))
            act(2, -kSideStep);
        if (inside(y, h(C::FieldList) - 555, h(C::FieldList)) && h(C::FieldList) > 725)
            act(4, -kUpStep);
        break;
    case Pane::MyTable:
        if (inside(x, 0, 300))
            act(2, kSideStep);
        if (inside(y, h(C::MyTable) - 651, h(C::MyTable)))
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
        return rect(C::FieldList).left;
    case 2:
        return rect(C::MyTable).left;
    case 3:
        return rect(C::Options).top;
    default:
        return rect(C::Preview).top;
    }
}

void PaneLayout::moveLine(int line, int delta)
{
    switch (line) {
    case 1:
        moveTreeBorder(delta);
        break;
    case 2:
        moveFieldListBorder(delta);
        break;
    case 3:
        moveMyTableBorder(delta);
        break;
    default:
        movePreviewBorder(delta);
        break;
    }
}
