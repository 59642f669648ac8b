#include "window/main/WindowArranger.h"

#include <QTest>

#include <algorithm>
#include <climits>

namespace
{
using Tiling = WindowArranger::Tiling;
}

class TestWindowArranger : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tilesCoverTheAreaExactly_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("vertical");
        for (const bool vertical : {true, false}) {
            const char* way = vertical ? "vertical" : "horizontal";
            QTest::addRow("%s, 1 window", way) << QRect(0, 0, 800, 600) << 1 << vertical;
            QTest::addRow("%s, 3 in 800x600", way) << QRect(0, 0, 800, 600) << 3 << vertical;
            QTest::addRow("%s, 7 in odd sizes", way) << QRect(0, 0, 1001, 703) << 7 << vertical;
            QTest::addRow("%s, 3 offset", way) << QRect(13, 27, 599, 401) << 3 << vertical;
            QTest::addRow("%s, 20 windows", way) << QRect(5, 5, 1023, 767) << 20 << vertical;
            QTest::addRow("%s, as many as pixels", way) << QRect(0, 0, 7, 7) << 7 << vertical;
        }
    }
    void tilesCoverTheAreaExactly()
    {
        QFETCH(QRect, area);
        QFETCH(int, count);
        QFETCH(bool, vertical);
        const QVector<QRect> rects =
            WindowArranger::tile(area, count, vertical ? Tiling::Vertical : Tiling::Horizontal);
        QCOMPARE(rects.size(), count);

        // Each window spans the whole area across, and starts where the one before ended.
        int next = vertical ? area.left() : area.top();
        int smallest = INT_MAX;
        int largest = 0;
        for (const QRect& r : rects) {
            QVERIFY(area.contains(r));
            if (vertical) {
                QCOMPARE(r.top(), area.top());
                QCOMPARE(r.height(), area.height());
                QCOMPARE(r.left(), next);
                next = r.left() + r.width();
            } else {
                QCOMPARE(r.left(), area.left());
                QCOMPARE(r.width(), area.width());
                QCOMPARE(r.top(), next);
                next = r.top() + r.height();
            }
            const int size = vertical ? r.width() : r.height();
            smallest = std::min(smallest, size);
            largest = std::max(largest, size);
        }
        // No gap at the far edge, and the windows are as equal as whole pixels allow.
        QCOMPARE(next, vertical ? area.left() + area.width() : area.top() + area.height());
        QVERIFY(smallest >= 1);
        QVERIFY(largest - smallest <= 1);

        // No two windows share a pixel.
        for (int i = 0; i < rects.size(); ++i)
            for (int j = i + 1; j < rects.size(); ++j)
                QVERIFY(!rects.at(i).intersects(rects.at(j)));
    }

    void nothingToArrange_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::newRow("no windows") << QRect(0, 0, 800, 600) << 0;
        QTest::newRow("negative count") << QRect(0, 0, 800, 600) << -1;
        QTest::newRow("no width") << QRect(0, 0, 0, 600) << 3;
        QTest::newRow("no height") << QRect(0, 0, 800, 0) << 3;
        QTest::newRow("null area") << QRect() << 2;
    }
    void nothingToArrange()
    {
        QFETCH(QRect, area);
        QFETCH(int, count);
        QVERIFY(WindowArranger::tile(area, count, Tiling::Vertical).isEmpty());
        QVERIFY(WindowArranger::tile(area, count, Tiling::Horizontal).isEmpty());
    }

    void verticalPutsWindowsSideBySide()
    {
        const QVector<QRect> rects =
            WindowArranger::tile(QRect(0, 0, 300, 100), 3, Tiling::Vertical);
        QCOMPARE(rects, (QVector<QRect>{QRect(0, 0, 100, 100), QRect(100, 0, 100, 100),
                                        QRect(200, 0, 100, 100)}));
        const QVector<QRect> rows =
            WindowArranger::tile(QRect(0, 0, 100, 301), 3, Tiling::Horizontal);
        QCOMPARE(rows, (QVector<QRect>{QRect(0, 0, 100, 101), QRect(0, 101, 100, 100),
                                       QRect(0, 201, 100, 100)}));
    }
};

QTEST_GUILESS_MAIN(TestWindowArranger)
#include "tst_windowarranger.moc"
