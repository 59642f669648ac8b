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

    // The controls whose rectangles the layout sets (names as the window's controls).
    enum class Control {
        Label1,    // heading above the tree
        TreeView1, // tree
        ListView1, // field list
        ListView2, // My Table
        ListView3, // options
        ListView4, // preview
        Combo2,    // option editor: field box
        Combo3,    // operator box
        Text1,     // value box
        Combo4,    // conjunction box
        Command2,  // Add Option button
        Command3_0,
        Command3_1,
        Command3_2,
        Command3_3,
        Command3_4, // rows panel buttons
        Check1,     // "All Rows"
        Text2,      // row limit box
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

    void MoveLine1(int dx); // tree | field list
    void MoveLine2(int dx); // field list | right column
    void MoveLine3(int dy); // My Table / options
    void MoveLine4(int dy); // upper panes / preview

    // Showing a strip makes its list shorter by the strip's height; hiding makes it taller.
    void setRowsPanelShown(bool shown);
    void setEditorShown(bool shown);

    // n = PreviewHeight / 90 to the nearest whole number; MoveLine4(-90) n times. Returns n.
    int OpenPreview();
    // PreviewHeight := the preview's height; MoveLine4(PreviewHeight - 30).
    void ClosePreview();

    // X < 16: west-east; Y < 16: north-south (wins); otherwise the default pointer.
    static Pointer CheckMouse(int x, int y);
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
    void moveLine(int line, int delta); // MoveLine1 to MoveLine4
    // Lays the option editor row and the rows panel across the right column as it now stands,
    // by the rules of resize, at their present heights.
    void placeStrips();

    const Rect& rect(Control control) const { return m_rects[static_cast<int>(control)]; }
    int PreviewHeight = 0;
    // Computed by the last resize (for tests and the window's commands).
    int T = 0, R = 0, M = 0, D = 0, P = 0, E = 0;
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool rowsPanelShown() const { return m_rowsPanel; }
    bool editorShown() const { return m_editor; }
    // Set by resize and ClosePreview: the state of the main window's commands.
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
};
