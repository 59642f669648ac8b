#include "query/layout/PaneLayout.h"
#include "query/layout/SplitterDrag.h"

#include <QTest>

using C = PaneLayout::Control;
using Rect = PaneLayout::Rect;
using Pane = PaneLayout::Pane;
using Pointer = PaneLayout::Pointer;
using Moves = QList<QPair<int, int>>; // (line 1..4, delta)

Q_DECLARE_METATYPE(Rect)
Q_DECLARE_METATYPE(Pane)
Q_DECLARE_METATYPE(Pointer)

char* toString(const Rect& r)
{
    return QTest::toString(
        QStringLiteral("{%1, %2, %3x%4}").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}

namespace
{
PaneLayout laidOut(int w, int h, bool rows = false, bool editor = false)
{
    PaneLayout l;
    l.resize(w, h, rows, editor);
    return l;
}

void move(PaneLayout& l, int line, int delta)
{
    switch (line) {
    case 1:
        l.moveTreeBorder(delta);
        break;
    case 2:
        l.moveFieldListBorder(delta);
        break;
    case 3:
        l.moveMyTableBorder(delta);
        break;
    default:
        l.movePreviewBorder(delta);
        break;
    }
}

void compareAll(const PaneLayout& actual, const PaneLayout& expected)
{
    for (int c = 0; c < static_cast<int>(C::Count); ++c)
        QCOMPARE(actual.rect(C(c)), expected.rect(C(c)));
}
} // namespace

class TestPaneLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void proportions_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QList<int>>("proportions");
        QTest::newRow("10000x7050") << 10000 << 7050 << QList{2000, 3846, 4154, 2500, 3279, 1271};
        QTest::newRow("15000x9000") << 15000 << 9000 << QList{3000, 5769, 6231, 3191, 4186, 1623};
        QTest::newRow("100x100") << 100 << 100 << QList{20, 38, 42, 35, 47, 18};
        QTest::newRow("13x141 rounds up") << 13 << 141 << QList{3, 5, 5, 50, 66, 25};
    }
    void proportions()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QList<int>, proportions);
        PaneLayout l;
        l.closePreviewEnabled = false;
        l.resize(w, h, false, false);
        const PaneLayout::Proportions& p = l.proportions();
        QCOMPARE((QList{p.treeWidth, p.rightWidth, p.fieldListWidth, p.myTableHeight,
                        p.previewHeight, p.optionsHeight}),
                 proportions);
        QCOMPARE(l.previewHeight, p.previewHeight);
        QVERIFY(l.closePreviewEnabled);
    }

    void placement_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("strips");
        QTest::addColumn<int>("control");
        QTest::addColumn<Rect>("expected");
        auto row = [](const char* name, int w, int h, bool strips, C c, Rect r) {
            QTest::newRow(name) << w << h << strips << int(c) << r;
        };
        row("heading", 10000, 7050, false, C::TreeSummary, {0, 30, 2000, 210});
        row("tree", 10000, 7050, false, C::Tree, {0, 240, 2000, 3531});
        row("field list", 10000, 7050, false, C::FieldList, {2000, 0, 4154, 3771});
        row("my table", 10000, 7050, false, C::MyTable, {6154, 0, 3846, 2500});
        row("options", 10000, 7050, false, C::Options, {6154, 2500, 3846, 1271});
        row("preview", 10000, 7050, false, C::Preview, {0, 3771, 10000, 3279});
        row("my table, rows shown", 10000, 7050, true, C::MyTable, {6154, 0, 3846, 2215});
        row("options, editor shown", 10000, 7050, true, C::Options, {6154, 2500, 3846, 956});
        row("button 4", 10000, 7050, true, C::PreviewButton, {7294, 2215, 285, 285});
        row("all rows", 10000, 7050, false, C::AllRows, {7629, 2215, 840, 285});
        row("row limit", 10000, 7050, false, C::RowLimit, {8469, 2215, 1531, 285});
        row("field box", 15000, 9000, true, C::OptionField, {9231, 4499, 2124, 315});
        row("operator box", 15000, 9000, false, C::OptionOperator, {11355, 4499, 1260, 315});
        row("value box", 15000, 9000, false, C::OptionValue, {12615, 4499, 1440, 315});
        row("conjunction box", 15000, 9000, false, C::OptionConjunction, {14055, 4499, 630, 315});
        row("add option", 15000, 9000, true, C::AddOption, {14685, 4499, 315, 315});
        // Too narrow for the proportional field box: it gives up width down to 1200, so the
        // value box keeps what is left, while the conjunction box hangs from the right edge.
        row("value box in a narrow row", 10000, 7050, false, C::OptionValue,
            {8614, 3456, 441, 315});
        row("field box in a narrow row", 10000, 7050, false, C::OptionField,
            {6154, 3456, 1200, 315});
        row("field box when wide", 20025, 9000, false, C::OptionField, {12323, 4499, 3604, 315});
        row("conjunction box narrow", 10000, 7050, false, C::OptionConjunction,
            {9055, 3456, 630, 315});
    }
    void placement()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, strips);
        QFETCH(int, control);
        QFETCH(Rect, expected);
        QCOMPARE(laidOut(w, h, strips, strips).rect(C(control)), expected);
    }

    void boxWidthsRoundHalfToEven_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("check");
        // Wide enough for the proportional field box, so its rounding shows.
        QTest::newRow("T 4005: 3604.5 -> 3604, 2522.8 -> 2523") << 20025 << 3604 << 2523;
        QTest::newRow("T 4015: 3613.5 -> 3614, 2529.8 -> 2530") << 20075 << 3614 << 2530;
        QTest::newRow("T 4006: 3605.4 -> 3605, 2523.5 -> 2524") << 20030 << 3605 << 2524;
        QTest::newRow("T 4017: 3615.3 -> 3615, 2530.5 -> 2530") << 20085 << 3615 << 2530;
    }
    void boxWidthsRoundHalfToEven()
    {
        QFETCH(int, w);
        QFETCH(int, field);
        QFETCH(int, check);
        const PaneLayout l = laidOut(w, 7050);
        QCOMPARE(l.rect(C::OptionField).width, field);
        QCOMPARE(l.rect(C::AllRows).width, check);
    }

    void moveLine_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("control");
        QTest::addColumn<Rect>("expected");
        auto row = [](const char* name, int w, int line, int d, C c, Rect r) {
            QTest::newRow(name) << w << line << d << int(c) << r;
        };
        row("1: field list", 10000, 1, 45, C::FieldList, {2045, 0, 4109, 3771});
        row("1: tree", 10000, 1, -45, C::Tree, {0, 240, 1955, 3531});
        row("2: field list", 15000, 2, 45, C::FieldList, {3000, 0, 6276, 4814});
        row("2: my table", 15000, 2, 45, C::MyTable, {9276, 0, 5724, 3191});
        row("2: options", 15000, 2, -45, C::Options, {9186, 3191, 5814, 1623});
        row("2: all rows narrows", 15000, 2, 45, C::AllRows, {10751, 2906, 1442, 285});
        row("2: row limit follows", 15000, 2, 45, C::RowLimit, {12238, 2906, 2762, 285});
        row("2: field box narrows", 15000, 2, 45, C::OptionField, {9276, 4499, 2079, 315});
        row("2: operator follows", 15000, 2, 45, C::OptionOperator, {11400, 4499, 1260, 315});
        row("2: value follows", 15000, 2, 45, C::OptionValue, {12660, 4499, 1395, 315});
        row("2: conjunction stays", 15000, 2, 45, C::OptionConjunction, {14055, 4499, 630, 315});
        row("2: add option stays", 15000, 2, 45, C::AddOption, {14685, 4499, 315, 315});
        // A field box of 1200 is not above 2000: it only moves, its neighbours stay.
        row("2: small field box", 10000, 2, 45, C::OptionField, {6199, 3456, 1200, 315});
        row("2: operator stays", 10000, 2, 45, C::OptionOperator, {7354, 3456, 1260, 315});
        row("3: my table", 10000, 3, 45, C::MyTable, {6154, 0, 3846, 2545});
        row("3: options", 10000, 3, 45, C::Options, {6154, 2545, 3846, 1226});
        row("3: row limit", 10000, 3, -90, C::RowLimit, {8469, 2125, 1531, 285});
        row("3: editor stays", 10000, 3, 45, C::OptionField, {6154, 3456, 1200, 315});
        row("4: tree", 10000, 4, -90, C::Tree, {0, 240, 2000, 3441});
        row("4: options", 10000, 4, 45, C::Options, {6154, 2500, 3846, 1316});
        row("4: preview", 10000, 4, -90, C::Preview, {0, 3681, 10000, 3369});
        row("4: add option", 10000, 4, -90, C::AddOption, {9685, 3366, 315, 315});
        row("4: my table stays", 10000, 4, -90, C::MyTable, {6154, 0, 3846, 2500});
    }
    void moveLine()
    {
        QFETCH(int, w);
        QFETCH(int, line);
        QFETCH(int, delta);
        QFETCH(int, control);
        QFETCH(Rect, expected);
        PaneLayout l = laidOut(w, w == 10000 ? 7050 : 9000);
        move(l, line, delta);
        QCOMPARE(l.rect(C(control)), expected);
    }

    void allRowsStopsNarrowingAt1000()
    {
        PaneLayout l = laidOut(15000, 9000); // check box 0.7 x 2124 = 1487 wide
        for (int i = 0; i < 12; ++i)
            l.moveFieldListBorder(45);
        // Eleven steps take it to 992; the twelfth only moves it and leaves the row limit alone.
        QCOMPARE(l.rect(C::AllRows), (Rect{11246, 2906, 992, 285}));
        QCOMPARE(l.rect(C::RowLimit), (Rect{12688, 2906, 2312, 285}));
    }

    void negativeSizesAreNotApplied()
    {
        PaneLayout l = laidOut(10000, 7050, true, true);
        l.resize(100, 100, true, true);
        // Positions follow the new size; heights that would be negative keep the old value.
        QCOMPARE(l.rect(C::Tree), (Rect{0, 240, 20, 3531}));
        QCOMPARE(l.rect(C::MyTable), (Rect{62, 0, 38, 2215}));
        QCOMPARE(l.rect(C::Options), (Rect{62, 35, 38, 956}));
        QCOMPARE(l.rect(C::RowLimit), (Rect{2377, -250, 1531, 285}));

        l = laidOut(100, 100);
        l.moveTreeBorder(45); // field list would be -3 wide; tree and heading still widen
        QCOMPARE(l.rect(C::FieldList), (Rect{65, 0, 42, 53}));
        QCOMPARE(l.rect(C::Tree).width, 65);
        QCOMPARE(l.rect(C::TreeSummary).width, 65);
        l.moveMyTableBorder(-90); // My Table would be -55 high; the options list still grows
        QCOMPARE(l.rect(C::MyTable).height, 35);
        QCOMPARE(l.rect(C::Options), (Rect{62, -55, 38, 108}));
        QCOMPARE(l.rect(C::MoveDownButton).top, -340);
    }

    void moveLine4PushesMyTableLine()
    {
        PaneLayout l = laidOut(10000, 7050); // options 1271 high
        for (int i = 0; i < 10; ++i)
            l.movePreviewBorder(-90);
        QCOMPARE(l.rect(C::Options), (Rect{6154, 2500, 3846, 371}));
        l.movePreviewBorder(-90); // 281 would be below 310: the My Table line moves up with it
        QCOMPARE(l.rect(C::Options), (Rect{6154, 2410, 3846, 371}));
        QCOMPARE(l.rect(C::MyTable).height, 2410);
        QCOMPARE(l.rect(C::AllRows).top, 2125);
        QCOMPARE(l.rect(C::Preview), (Rect{0, 2781, 10000, 4269}));
    }

    void strips()
    {
        PaneLayout l = laidOut(10000, 7050);
        l.setRowsPanelShown(true);
        l.setEditorShown(true);
        QCOMPARE(l.rect(C::MyTable).height, 2215);
        QCOMPARE(l.rect(C::Options).height, 956);
        l.setRowsPanelShown(true); // already shown: no second shrink
        QCOMPARE(l.rect(C::MyTable).height, 2215);
        l.setRowsPanelShown(false);
        l.setEditorShown(false);
        QCOMPARE(l.rect(C::MyTable).height, 2500);
        QCOMPARE(l.rect(C::Options).height, 1271);
        QVERIFY(!l.rowsPanelShown() && !l.editorShown());
    }

    void closeThenReopenPreview()
    {
        PaneLayout l = laidOut(10000, 7050);
        l.closePreview();
        QCOMPARE(l.previewHeight, 3279);
        QVERIFY(!l.closePreviewEnabled);
        QCOMPARE(l.rect(C::Preview), (Rect{0, 7020, 10000, 30}));
        QCOMPARE(l.rect(C::Options).height, 4520);
        QCOMPARE(l.rect(C::OptionField).top, 6705);

        PaneLayout reopened = l;
        QCOMPARE(reopened.openPreview(), 36); // 3279 / 90 = 36.4
        QCOMPARE(reopened.rect(C::Preview), (Rect{0, 3780, 10000, 3270}));
        QCOMPARE(reopened.rect(C::FieldList).height, 3780);

        l.resize(10000, 7050, false, false); // a resize reopens it at once
        QCOMPARE(l.rect(C::Preview), (Rect{0, 3771, 10000, 3279}));
        QVERIFY(l.closePreviewEnabled);
    }

    void openPreviewSteps_data()
    {
        QTest::addColumn<int>("previewHeight");
        QTest::addColumn<int>("steps");
        QTest::newRow("44") << 44 << 0;
        QTest::newRow("45 is half: to even 0") << 45 << 0;
        QTest::newRow("46") << 46 << 1;
        QTest::newRow("135 is half: to even 2") << 135 << 2;
        QTest::newRow("225 is half: to even 2") << 225 << 2;
    }
    void openPreviewSteps()
    {
        QFETCH(int, previewHeight);
        QFETCH(int, steps);
        PaneLayout l = laidOut(10000, 7050);
        l.previewHeight = previewHeight;
        QCOMPARE(l.openPreview(), steps);
        QCOMPARE(l.rect(C::Preview).height, 3279 + 90 * steps);
    }

    void checkMouse_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<Pointer>("p");
        QTest::newRow("x 15") << 15 << 500 << Pointer::SizeWE;
        QTest::newRow("x 16") << 16 << 500 << Pointer::Default;
        QTest::newRow("y 15") << 500 << 15 << Pointer::SizeNS;
        QTest::newRow("y 16") << 500 << 16 << Pointer::Default;
        QTest::newRow("both: north-south wins") << 3 << 3 << Pointer::SizeNS;
        QTest::newRow("negative x") << -5 << 500 << Pointer::SizeWE;
    }
    void checkMouse()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(Pointer, p);
        QCOMPARE(PaneLayout::pointerShape(x, y), p);
    }

    void mouseMoved_data()
    {
        QTest::addColumn<Pane>("pane");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("left");
        QTest::addColumn<Pointer>("pointer");
        QTest::addColumn<Moves>("moves");
        const Pointer def = Pointer::Default;
        QTest::newRow("options x 150")
            << Pane::Options << 150 << 1000 << true << def << Moves{{2, 45}};
        QTest::newRow("options x 300") << Pane::Options << 300 << 1000 << true << def << Moves{};
        QTest::newRow("options both")
            << Pane::Options << 150 << 100 << true << def << Moves{{2, 45}, {3, 45}};
        QTest::newRow("options no button")
            << Pane::Options << 150 << 100 << false << def << Moves{};
        // Tree: 2000 wide; the bottom band follows the field list, 3771 high.
        QTest::newRow("tree right band")
            << Pane::Tree << 1357 << 1000 << true << def << Moves{{1, -45}};
        QTest::newRow("tree corner")
            << Pane::Tree << 1500 << 3300 << true << def << Moves{{1, -45}, {4, -90}};
        QTest::newRow("tree bottom")
            << Pane::Tree << 500 << 3410 << true << Pointer::SizeNS << Moves{{4, -90}};
        QTest::newRow("field list right")
            << Pane::FieldList << 4000 << 100 << true << def << Moves{{2, -45}};
        QTest::newRow("field list bottom")
            << Pane::FieldList << 5 << 3500 << true << Pointer::SizeWE << Moves{{1, 45}, {4, -90}};
        QTest::newRow("my table bottom")
            << Pane::MyTable << 5 << 2380 << true << Pointer::SizeNS << Moves{{2, 45}, {3, -90}};
        QTest::newRow("my table bottom edge")
            << Pane::MyTable << 1000 << 1849 << true << def << Moves{};
        QTest::newRow("preview top")
            << Pane::Preview << 2000 << 10 << true << Pointer::SizeNS << Moves{{4, 45}};
        QTest::newRow("preview 555") << Pane::Preview << 2000 << 555 << true << def << Moves{};
        QTest::newRow("pointer without button")
            << Pane::Preview << 2000 << 10 << false << Pointer::SizeNS << Moves{};
    }
    void mouseMoved()
    {
        QFETCH(Pane, pane);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, left);
        QFETCH(Pointer, pointer);
        QFETCH(Moves, moves);
        PaneLayout actual = laidOut(10000, 7050);
        PaneLayout expected = actual;
        for (const auto& [line, delta] : moves)
            move(expected, line, delta);
        QCOMPARE(actual.mouseMoved(pane, x, y, left), pointer);
        compareAll(actual, expected);
    }

    void gripTakesTheLinesOfTheBands_data()
    {
        QTest::addColumn<Pane>("pane");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<int>("horizontal");
        // The bands of the nudges: 10000 x 7050, tree 2000 wide, field list 3771 high.
        QTest::newRow("options left") << Pane::Options << 150 << 1000 << 2 << 0;
        QTest::newRow("options corner") << Pane::Options << 150 << 100 << 2 << 3;
        QTest::newRow("options inside") << Pane::Options << 300 << 1000 << 0 << 0;
        QTest::newRow("tree right") << Pane::Tree << 1357 << 1000 << 1 << 0;
        QTest::newRow("tree corner") << Pane::Tree << 1500 << 3300 << 1 << 4;
        QTest::newRow("field list right") << Pane::FieldList << 4000 << 100 << 2 << 0;
        QTest::newRow("field list bottom left") << Pane::FieldList << 5 << 3500 << 1 << 4;
        QTest::newRow("my table bottom left") << Pane::MyTable << 5 << 2380 << 2 << 3;
        QTest::newRow("my table bottom edge") << Pane::MyTable << 1000 << 1849 << 0 << 0;
        QTest::newRow("preview top") << Pane::Preview << 2000 << 10 << 0 << 4;
        QTest::newRow("preview 555") << Pane::Preview << 2000 << 555 << 0 << 0;
    }
    void gripTakesTheLinesOfTheBands()
    {
        QFETCH(Pane, pane);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, vertical);
        QFETCH(int, horizontal);
        const PaneLayout l = laidOut(10000, 7050);
        const PaneLayout::Grip grip = l.grip(pane, x, y);
        QCOMPARE(grip.vertical, vertical);
        QCOMPARE(grip.horizontal, horizontal);
        // Taking hold moves nothing.
        compareAll(l, laidOut(10000, 7050));
    }

    void dragPutsTheLineUnderThePointer_data()
    {
        QTest::addColumn<Pane>("pane");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("expected"); // where the line ends, twips
        // 10000 x 7050: line 1 at 2000, line 2 at 6154, line 3 at 2500, line 4 at 3771.
        QTest::newRow("line 1 right by 1500")
            << Pane::FieldList << 100 << 1000 << 1500 << 0 << 1 << 3500;
        QTest::newRow("line 1 left, one twip")
            << Pane::Tree << 1900 << 1000 << -1 << 0 << 1 << 1999;
        QTest::newRow("line 1 stops at the tree's least width")
            << Pane::FieldList << 100 << 1000 << -5000 << 0 << 1 << SplitterDrag::kMinTreeWidth;
        QTest::newRow("line 2 left") << Pane::MyTable << 100 << 500 << -700 << 0 << 2 << 5454;
        // Already narrower than its least width: the right column does not narrow further.
        QTest::newRow("line 2 keeps a narrow right column")
            << Pane::FieldList << 4100 << 1000 << 5000 << 0 << 2 << 6154;
        QTest::newRow("line 3 down") << Pane::Options << 1000 << 100 << 0 << 500 << 3 << 3000;
        QTest::newRow("line 3 stops at the options' least height")
            << Pane::Options << 1000 << 100 << 0 << 5000 << 3 << 3771 - 310;
        QTest::newRow("line 4 up") << Pane::Preview << 1000 << 100 << 0 << -600 << 4 << 3171;
        QTest::newRow("line 4 down to a closed preview")
            << Pane::Preview << 1000 << 100 << 0 << 9000 << 4 << 7050 - 30;
        QTest::newRow("line 4 up pushes line 3 to My Table's least height")
            << Pane::Preview << 1000 << 100 << 0 << -9000 << 4
            << SplitterDrag::kMinMyTableHeight + 310;
    }
    void dragPutsTheLineUnderThePointer()
    {
        QFETCH(Pane, pane);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(int, line);
        QFETCH(int, expected);
        PaneLayout l = laidOut(10000, 7050);
        SplitterDrag drag(l);
        QVERIFY(drag.press(pane, x, y));
        // The pointer wanders on the way; only where it is counts.
        drag.moveBy(dx / 3, dy / 3);
        drag.moveBy(-dx, -dy);
        drag.moveBy(dx, dy);
        QCOMPARE(l.linePosition(line), expected);
        drag.release();
        QVERIFY(!drag.active());
        QVERIFY(!drag.moveBy(100, 100));
        QCOMPARE(l.linePosition(line), expected);
        // The panes on either side still meet at the line.
        QCOMPARE(l.rect(C::Tree).width, l.linePosition(1));
        QCOMPARE(l.rect(C::FieldList).left + l.rect(C::FieldList).width, l.linePosition(2));
        QCOMPARE(l.rect(C::MyTable).height, l.linePosition(3));
        QCOMPARE(l.rect(C::Options).top + l.rect(C::Options).height, l.linePosition(4));
    }

    void dragAcrossTheRightColumnKeepsTheStripsInIt()
    {
        // 15000 wide: the right column starts 5769 wide, at 9231.
        PaneLayout l = laidOut(15000, 7050, true, true);
        SplitterDrag drag(l);
        QVERIFY(drag.press(Pane::MyTable, 100, 500));
        drag.moveBy(3000, 0);
        const int right = l.linePosition(2);
        QCOMPARE(right, 15000 - SplitterDrag::kMinRightWidth);
        // Field box, operator, value and conjunction follow each other without overlapping.
        QCOMPARE(l.rect(C::OptionField).left, right);
        QCOMPARE(l.rect(C::OptionOperator).left,
                 l.rect(C::OptionField).left + l.rect(C::OptionField).width);
        QCOMPARE(l.rect(C::OptionValue).left,
                 l.rect(C::OptionOperator).left + l.rect(C::OptionOperator).width);
        QVERIFY(l.rect(C::OptionValue).width > 0);
        QCOMPARE(l.rect(C::OptionConjunction).left,
                 l.rect(C::OptionValue).left + l.rect(C::OptionValue).width);
        QCOMPARE(l.rect(C::CopyButton).left, right);
        QCOMPARE(l.rect(C::RowLimit).left + l.rect(C::RowLimit).width, 15000);
        QVERIFY(l.rect(C::RowLimit).width > 0);
    }

    void optionsNudgeMatchesHandValues()
    {
        PaneLayout l = laidOut(10000, 7050);
        l.mouseMoved(Pane::Options, 150, 100, true);
        QCOMPARE(l.rect(C::Options), (Rect{6199, 2545, 3801, 1226}));
        QCOMPARE(l.rect(C::MyTable), (Rect{6199, 0, 3801, 2545}));
    }

    void smallFieldListHasNoBottomBand()
    {
        PaneLayout l = laidOut(10000, 1300); // field list 695 high: not above 725
        const PaneLayout before = l;
        l.mouseMoved(Pane::FieldList, 1000, 600, true);
        l.mouseMoved(Pane::Tree, 500, 600, true);
        compareAll(l, before);
    }

    void resizeForgetsMoves()
    {
        PaneLayout l = laidOut(10000, 7050, true, false);
        l.moveTreeBorder(45);
        l.moveFieldListBorder(-45);
        l.moveMyTableBorder(90);
        l.movePreviewBorder(-90);
        l.resize(10000, 7050, true, false);
        compareAll(l, laidOut(10000, 7050, true, false));
    }
};

QTEST_APPLESS_MAIN(TestPaneLayout)
#include "tst_panelayout.moc"
