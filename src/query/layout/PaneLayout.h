#pragma once

#include <array>
#include <functional>

// The geometry of a query window's panes in twips: the proportional layout computed on every
// resize, the four splitter lines moved by the mouse, the preview opened and closed in steps,
// and the pointer shapes near pane edges. Plain arithmetic; the window converts to pixels.
class PaneLayout
{
public:
    static constexpr int kRowsPanelHeight = 285;
    static constexpr int kEditorHeight = 315;
    static constexpr int kMinValueWidth = 1440; // one inch for the value being typed
    static constexpr int kMinFieldWidth = 1200;

    // The controls whose rectangles the layout sets.
    enum class Control {
        TreeSummary, // the heading above the tree
        Tree,
        FieldList,
        MyTable,
        Options,
        Preview,
        OptionField, // the option editor's boxes and its Add button
        OptionOperator,
        OptionValue,
        OptionConjunction,
        AddOption,
        CopyButton, // the rows panel
        RemoveButton,
        MoveDownButton,
        MoveUpButton,
        PreviewButton,
        AllRows,
        RowLimit,
        Count
    };

    struct Rect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Rect&) const = default;
    };

    enum class Pointer { Default, SizeWE, SizeNS };
    enum class Pane { Tree, FieldList, MyTable, Options, Preview };

    // The full layout for a client area of width x height twips. The optional strips only
    // change the heights of My Table and the options list; their controls are placed anyway.
    void resize(int width, int height, bool rowsPanelShown, bool editorShown);

    void moveTreeBorder(int dx);      // tree | field list
    void moveFieldListBorder(int dx); // field list | right column
    void moveMyTableBorder(int dy);   // My Table / options
    void movePreviewBorder(int dy);   // upper panes / preview

    // Showing a strip makes its list shorter by the strip's height; hiding makes it taller.
    void setRowsPanelShown(bool shown);
    void setEditorShown(bool shown);

    // n = previewHeight / 90 to the nearest whole number; movePreviewBorder(-90) n times. Returns
    // n.
    int openPreview();
    // previewHeight := the preview's height; movePreviewBorder(previewHeight - 30).
    void closePreview();

    // X < 16: west-east; Y < 16: north-south (wins); otherwise the default pointer.
    static Pointer pointerShape(int x, int y);
    // One mouse movement over a pane at (x, y) inside it: the pointer test, then, when exactly
    // the left button is held, every matching band rule in order (each moves a line one step).
    Pointer mouseMoved(Pane pane, int x, int y, bool leftButtonOnly);
    // The pointer test alone.
    Pointer pointerAt(Pane pane, int x, int y) const;

    // The lines whose bands hold (x, y) inside the pane: a vertical line (1 or 2) and a
    // horizontal one (3 or 4), 0 for none. A drag that starts there moves them.
    struct Grip {
        int vertical = 0;
        int horizontal = 0;
        bool any() const { return vertical != 0 || horizontal != 0; }
    };
    Grip grip(Pane pane, int x, int y) const;
    // The left edge of the panes right of a vertical line, the top edge of those below a
    // horizontal one.
    int linePosition(int line) const;
    void moveLine(int line, int delta); // moveTreeBorder to movePreviewBorder
    // Lays the option editor row and the rows panel across the right column as it now stands,
    // by the rules of resize, at their present heights.
    void placeStrips();

    const Rect& rect(Control control) const { return m_rects[static_cast<int>(control)]; }
    int previewHeight = 0;
    // The proportions computed by the last resize, in twips.
    struct Proportions {
        int treeWidth = 0;
        int rightWidth = 0; // My Table and the options
        int fieldListWidth = 0;
        int myTableHeight = 0;
        int previewHeight = 0;
        int optionsHeight = 0;
    };
    const Proportions& proportions() const { return m_proportions; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool rowsPanelShown() const { return m_rowsPanel; }
    bool editorShown() const { return m_editor; }
    // Set by resize and closePreview: the state of the main window's commands.
    bool closePreviewEnabled = true;

private:
    Rect& at(Control control) { return m_rects[static_cast<int>(control)]; }
    // Runs the band rules of a pane: each matching rule calls act(line, step), in order.
    void bands(Pane pane, int x, int y, const std::function<void(int, int)>& act) const;

    std::array<Rect, static_cast<int>(Control::Count)> m_rects{};
    int m_width = 0;
    int m_height = 0;
    bool m_rowsPanel = false;
    bool m_editor = false;
    Proportions m_proportions;
};
