#include "shell/ProgressModel.h"

#include <QTest>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace
{
// A font where every character is 7 pixels wide and text is 13 pixels high.
QSize fixedWidthText(const QString& text)
{
    return QSize(7 * int(text.size()), 13);
}
} // namespace

class TestProgressModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Kinds

    void kindsSetColourAndCaption_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Download") << "Download" << quint32(0x8080ff) << "Downloading...";
        QTest::newRow("Upload") << "Upload" << quint32(0xff0000) << "Uploading...";
        QTest::newRow("CurvaS") << "CurvaS" << quint32(0xc0c0ff) << "S Curve...";
    }
    void kindsSetColourAndCaption()
    {
        QFETCH(QString, kind);
        QFETCH(quint32, colour);
        QFETCH(QString, caption);
        std::atomic<float> fraction{0.7f};
        ProgressModel model(fraction);
        // Start from another kind so a look that never changes would be caught.
        model.start(kind == u"Upload" ? QStringLiteral("CurvaS") : QStringLiteral("Upload"));
        model.start(kind);
        QCOMPARE(model.look().colour, colour);
        QCOMPARE(model.look().caption, caption);
        QCOMPARE(fraction.load(), 0.0f);
    }

    void unknownKindKeepsTheLastLookButStillStartsAtZero()
    {
        std::atomic<float> fraction{0.0f};
        ProgressModel model(fraction);
        model.start(QStringLiteral("Upload"));
        fraction.store(0.4f);
        model.start(QStringLiteral("Print"));
        QCOMPARE(model.look().colour, quint32(0xff0000));
        QCOMPARE(model.look().caption, QStringLiteral("Uploading..."));
        QCOMPARE(fraction.load(), 0.0f);
        model.start(QString());
        QCOMPARE(model.look().caption, QStringLiteral("Uploading..."));
    }

    // Advancing

    void advanceAddsPercentInAHundredYields_data()
    {
        QTest::addColumn<float>("from");
        QTest::addColumn<int>("percent");
        QTest::addColumn<float>("to");
        QTest::newRow("10 from 0") << 0.0f << 10 << 0.10f;
        QTest::newRow("25 from 0.5") << 0.5f << 25 << 0.75f;
        QTest::newRow("100 from 0") << 0.0f << 100 << 1.0f;
        QTest::newRow("0 changes nothing") << 0.3f << 0 << 0.3f;
        QTest::newRow("negative shrinks") << 0.5f << -20 << 0.3f;
        QTest::newRow("past the end") << 0.9f << 50 << 1.4f;
    }
    void advanceAddsPercentInAHundredYields()
    {
        QFETCH(float, from);
        QFETCH(int, percent);
        QFETCH(float, to);
        std::atomic<float> fraction{from};
        ProgressModel model(fraction);
        int yields = 0;
        float previous = from;
        bool monotonic = true;
        model.advance(percent, [&] {
            ++yields;
            const float now = fraction.load();
            // Each step is visible to the tick between yields.
            if (percent > 0 && now <= previous)
                monotonic = false;
            if (percent < 0 && now >= previous)
                monotonic = false;
            previous = now;
        });
        QCOMPARE(yields, 100);
        QVERIFY(monotonic);
        QVERIFY2(std::abs(fraction.load() - to) < 1e-5f, qPrintable(QString::number(fraction)));
        QVERIFY(std::abs(model.fraction() - to) < 1e-5f);
    }

    void advanceStepsAreEven()
    {
        std::atomic<float> fraction{0.0f};
        ProgressModel model(fraction);
        int yields = 0;
        float halfway = -1.0f;
        model.advance(50, [&] {
            if (++yields == 50)
                halfway = fraction.load();
        });
        QCOMPARE(yields, 100);
        QVERIFY(std::abs(halfway - 0.25f) < 1e-5f);
    }

    void concurrentAdvancesLoseNothing()
    {
        constexpr int kWorkers = 4;
        constexpr int kCallsEach = 1000;
        // The same additions made one after another give the exact total to expect.
        std::atomic<float> serial{0.0f};
        ProgressModel reference(serial);
        for (int i = 0; i < kWorkers * kCallsEach; ++i)
            reference.advance(1, {});

        std::atomic<float> fraction{0.0f};
        ProgressModel model(fraction);
        std::atomic<bool> done{false};
        std::atomic<bool> wentBack{false};
        std::vector<std::thread> workers;
        for (int w = 0; w < kWorkers; ++w) {
            workers.emplace_back([&] {
                for (int i = 0; i < kCallsEach; ++i)
                    model.advance(1, [] {});
            });
        }
        // The user-interface side keeps reading and drawing meanwhile; it never sees the
        // fraction go back.
        std::thread reader([&] {
            float last = 0.0f;
            while (!done.load()) {
                model.tick(QSize(200, 16), fixedWidthText);
                const float now = model.fraction();
                if (now < last)
                    wentBack.store(true);
                last = now;
            }
        });
        for (std::thread& t : workers)
            t.join();
        done.store(true);
        reader.join();
        QVERIFY(!wentBack.load());
        // One lost step would be 0.0001 short.
        QVERIFY2(std::abs(fraction.load() - serial.load()) < 1e-5f,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(fraction).arg(serial)));
        QVERIFY(std::abs(serial.load() - 40.0f) < 0.5f);
    }

    void anUnknownShareSendsABlockToAndFro()
    {
        std::atomic<float> fraction{0.0f};
        ProgressModel model(fraction);
        model.start(QStringLiteral("Upload"));
        fraction.store(ProgressModel::kUnknown);
        const QSize inner(160, 16);
        std::vector<int> starts;
        for (int i = 0; i <= 80; ++i) {
            const ProgressModel::Frame frame = model.tick(inner, fixedWidthText);
            QCOMPARE(frame.percent, -1);
            QCOMPARE(frame.barWidth, 40);
            QVERIFY(!frame.hide);
            QVERIFY(frame.barStart >= 0 && frame.barStart + frame.barWidth <= inner.width());
            starts.push_back(frame.barStart);
        }
        QCOMPARE(starts.front(), 0);
        QCOMPARE(starts.at(40), 120); // across
        QCOMPARE(starts.back(), 0);   // and back
        QVERIFY(starts.at(10) > starts.at(5));
        // A share that becomes known is drawn from the left again.
        fraction.store(0.5f);
        const ProgressModel::Frame known = model.tick(inner, fixedWidthText);
        QCOMPARE(known.barStart, 0);
        QCOMPARE(known.barWidth, 80);
        QCOMPARE(known.percent, 50);
    }

    // End and reset

    void endMeansHideAtTheNextTick()
    {
        std::atomic<float> fraction{0.0f};
        ProgressModel model(fraction);
        model.start(QStringLiteral("Download"));
        model.advance(100, {});
        QVERIFY(!model.tick(QSize(160, 16), fixedWidthText).hide);
        model.end();
        QVERIFY(fraction.load() > 1.0f);
        QVERIFY(std::abs(fraction.load() - 1.01f) < 1e-6f);
        const ProgressModel::Frame frame = model.tick(QSize(160, 16), fixedWidthText);
        QVERIFY(frame.hide);
        QCOMPARE(frame.percent, 101);
        model.reset();
        QCOMPARE(fraction.load(), 0.0f);
        QVERIFY(!model.tick(QSize(160, 16), fixedWidthText).hide);
    }

    // Ticks

    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("37.5") << 37.5 << 38;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("2.5001") << 2.5001 << 3;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("-2.5") << -2.5 << -2;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(ProgressModel::roundHalfEven(value), expected);
    }

    void tickDrawsBarPercentAndCentredText_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<int>("barWidth");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("measured");
        QTest::addColumn<QPoint>("textAt");
        QTest::addColumn<bool>("hide");
        // "50 /%" is 35 x 13: x = (160 - 35) / 2 = 62.5 -> 62, y = (16 - 13) / 2 = 1.5 -> 2.
        QTest::newRow("half") << 0.5f << QSize(160, 16) << 80 << 50 << "50 /%" << QPoint(62, 2)
                              << false;
        QTest::newRow("empty") << 0.0f << QSize(160, 16) << 0 << 0 << "0 /%" << QPoint(66, 2)
                               << false;
        // 12.5 % rounds to 12; "12 /%" x = (200 - 35) / 2 = 82.5 -> 82; y = (17 - 13) / 2 = 2.
        QTest::newRow("12.5 down")
            << 0.125f << QSize(200, 17) << 25 << 12 << "12 /%" << QPoint(82, 2) << false;
        // 37.5 % rounds to 38; x = (161 - 35) / 2 = 63; y = (15 - 13) / 2 = 1.
        QTest::newRow("37.5 up") << 0.375f << QSize(161, 15) << 60 << 38 << "38 /%" << QPoint(63, 1)
                                 << false;
        // x = (101 - 28) / 2 = 36.5 -> 36; y = (18 - 13) / 2 = 2.5 -> 2.
        QTest::newRow("one digit odd frame")
            << 0.04f << QSize(101, 18) << 4 << 4 << "4 /%" << QPoint(36, 2) << false;
        // x = (203 - 42) / 2 = 80.5 -> 80; y = (20 - 13) / 2 = 3.5 -> 4.
        QTest::newRow("full") << 1.0f << QSize(203, 20) << 203 << 100 << "100 /%" << QPoint(80, 4)
                              << false;
        QTest::newRow("above one is drawn wider and hides")
            << 1.5f << QSize(160, 16) << 240 << 150 << "150 /%" << QPoint(59, 2) << true;
        QTest::newRow("text wider than the frame")
            << 0.5f << QSize(20, 10) << 10 << 50 << "50 /%" << QPoint(-8, -2) << false;
    }
    void tickDrawsBarPercentAndCentredText()
    {
        QFETCH(float, fraction);
        QFETCH(QSize, inner);
        QFETCH(int, barWidth);
        QFETCH(int, percent);
        QFETCH(QString, measured);
        QFETCH(QPoint, textAt);
        QFETCH(bool, hide);
        std::atomic<float> shared{fraction};
        ProgressModel model(shared);
        QStringList measuredTexts;
        const ProgressModel::Frame frame = model.tick(inner, [&](const QString& text) {
            measuredTexts.append(text);
            return fixedWidthText(text);
        });
        QCOMPARE(frame.barWidth, barWidth);
        QCOMPARE(frame.percent, percent);
        QCOMPARE(measuredTexts, QStringList{measured});
        QCOMPARE(frame.textAt, textAt);
        QCOMPARE(frame.hide, hide);
    }

    void negativeFractionShrinksTheBar()
    {
        std::atomic<float> fraction{0.25f};
        ProgressModel model(fraction);
        const int before = model.tick(QSize(200, 16), fixedWidthText).barWidth;
        model.advance(-10, {});
        const ProgressModel::Frame after = model.tick(QSize(200, 16), fixedWidthText);
        QCOMPARE(before, 50);
        QCOMPARE(after.barWidth, 30);
        QCOMPARE(after.percent, 15);
    }
};

QTEST_GUILESS_MAIN(TestProgressModel)
#include "tst_progressmodel.moc"
