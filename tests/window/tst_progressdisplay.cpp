#include "WindowTestKit.h"
#include "shell/ControlNames.h"

#include "window/common/Icons.h"
#include "window/main/ProgressBarWidget.h"
#include "window/main/ProgressDisplay.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <cmath>

using namespace ControlNames;

namespace
{
// The picture the connection panel shows now.
QImage connectionPicture(const MainWindow& window)
{
    const auto* panel = window.findChild<QWidget*>(Main::kConnectionPanel);
    for (const QLabel* label : panel->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull())
            return label->pixmap().toImage();
    }
    return {};
}

QImage picture(const char* name)
{
    return Icons::get(QString::fromLatin1(name)).pixmap(16, 16).toImage();
}

// The filled width for the fraction in force, which carries the rounding of its many steps.
int expectedWidth(const ProgressBarWidget* bar, const AppState& state)
{
    return int(std::lround(double(state.progressFraction.load()) * bar->innerSize().width()));
}
} // namespace

class TestProgressDisplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        // A failed check may leave a display running; its hourglass must not reach the next test.
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void picturesDiffer()
    {
        // The picture checks below mean nothing if the three pictures look alike.
        QVERIFY(!picture("status-busy").isNull());
        QVERIFY(picture("status-busy") != picture("status-disconnected"));
        QVERIFY(picture("status-connected") != picture("status-disconnected"));
    }

    void startShowsTheKindsCaptionAndColour_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("download") << "Download"
                                  << "Downloading..." << quint32(0x8080ff);
        QTest::newRow("upload") << "Upload"
                                << "Uploading..." << quint32(0xff0000);
        QTest::newRow("s curve") << "CurvaS"
                                 << "S Curve..." << quint32(0xc0c0ff);
    }

    void startShowsTheKindsCaptionAndColour()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(quint32, colour);
        MainWindowFixture f;
        f.state.toolbarShown = true;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        ProgressDisplay* progress = w.progress();
        QVERIFY(!progress->isShown());
        QCOMPARE(connectionPicture(w), picture("status-disconnected"));
        f.state.progressFraction = 0.4f;
        w.startProgress(kind);
        QVERIFY(progress->isShown());
        QVERIFY(progress->isTicking());
        QCOMPARE(progress->caption(), caption);
        QCOMPARE(progress->model().look().colour, colour);
        QCOMPARE(f.state.progressFraction.load(), 0.0f);
        QCOMPARE(connectionPicture(w), picture("status-busy"));
        QVERIFY(QApplication::overrideCursor());
        w.endProgress();
        QVERIFY(!QApplication::overrideCursor());
    }

    // The cancel button speaks the language chosen, and changes with it at once.
    void theCancelButtonFollowsTheLanguage()
    {
        MainWindowFixture f;
        f.state.languagePortuguese = true;
        MainWindow& w = f.loaded();
        auto* cancel = w.findChild<QAction*>(Main::kProgressCancel);
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Cancelar"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("Cancelar (Esc)"));
        f.state.languagePortuguese = false;
        f.state.languageEnglish = true;
        w.applyCaptions();
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("Cancel (Esc)"));
    }

    void anUnknownKindKeepsTheLastLook()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        w.startProgress(QStringLiteral("Upload"));
        w.endProgress();
        w.progress()->drawNextFrame();
        w.startProgress(QStringLiteral("Report"));
        QCOMPARE(w.progress()->caption(), QStringLiteral("Uploading..."));
        QCOMPARE(w.progress()->model().look().colour, quint32(0xff0000));
        QVERIFY(w.progress()->isShown());
        w.endProgress();
    }

    void ticksDrawTheFractionAndPercent()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        ProgressDisplay* progress = w.progress();
        ProgressBarWidget* bar = progress->bar();
        w.startProgress(QStringLiteral("Download"));
        progress->drawNextFrame();
        QCOMPARE(bar->percent(), 0);
        QCOMPARE(bar->filledWidth(), 0);
        QVERIFY(bar->innerSize().width() > 20);

        w.advanceProgress(25);
        QVERIFY(std::abs(f.state.progressFraction.load() - 0.25f) < 1e-4f);
        progress->drawNextFrame();
        QCOMPARE(bar->percent(), 25);
        QCOMPARE(bar->filledWidth(), expectedWidth(bar, f.state));

        // A caller may add to the fraction directly.
        f.state.progressFraction = f.state.progressFraction + 0.5f;
        progress->drawNextFrame();
        QCOMPARE(bar->percent(), 75);
        QCOMPARE(bar->filledWidth(), expectedWidth(bar, f.state));

        w.advanceProgress(0);
        progress->drawNextFrame();
        QCOMPARE(bar->percent(), 75);

        w.advanceProgress(-15);
        progress->drawNextFrame();
        QCOMPARE(bar->percent(), 60);
        QCOMPARE(bar->filledWidth(), expectedWidth(bar, f.state));
        QVERIFY(progress->isShown());
        w.endProgress();
    }

    void theTimerRedrawsWhileRunning()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        w.startProgress(QStringLiteral("Download"));
        f.state.progressFraction = 0.4f;
        QTRY_COMPARE(w.progress()->bar()->percent(), 40);
        w.endProgress();
    }

    void endHidesAndTheNextTickResets_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("pictureAfter");
        QTest::newRow("disconnected") << false << "status-disconnected";
        QTest::newRow("connected") << true << "status-connected";
    }

    void endHidesAndTheNextTickResets()
    {
        QFETCH(bool, connected);
        QFETCH(QString, pictureAfter);
        MainWindowFixture f;
        f.state.toolbarShown = true;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        f.state.connected = connected;
        ProgressDisplay* progress = w.progress();
        w.startProgress(QStringLiteral("Download"));
        w.advanceProgress(50);
        progress->drawNextFrame();
        w.endProgress();
        QVERIFY(!progress->isShown());
        QVERIFY(f.state.progressFraction.load() > 1.0f);
        QCOMPARE(connectionPicture(w), picture(qPrintable(pictureAfter)));
        QVERIFY(!QApplication::overrideCursor());

        progress->drawNextFrame();
        QVERIFY(!progress->isTicking());
        QVERIFY(!progress->isShown());
        QCOMPARE(f.state.progressFraction.load(), 0.0f);
        QCOMPARE(progress->bar()->percent(), -1);
        QCOMPARE(progress->bar()->filledWidth(), 0);
    }

    void aFractionAboveOneHidesAtThatTick()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        ProgressDisplay* progress = w.progress();
        w.startProgress(QStringLiteral("Download"));
        w.advanceProgress(60);
        w.advanceProgress(60);
        progress->drawNextFrame();
        QVERIFY(!progress->isShown());
        QVERIFY(!progress->isTicking());
        QCOMPARE(f.state.progressFraction.load(), 0.0f);
        // Later advances show nothing until the next start.
        w.advanceProgress(10);
        QTest::qWait(60);
        QVERIFY(!progress->isShown());
        QCOMPARE(progress->bar()->percent(), -1);
        w.startProgress(QStringLiteral("Download"));
        QVERIFY(progress->isShown());
        QCOMPARE(f.state.progressFraction.load(), 0.0f);
        w.endProgress();
    }

    void closingTheMainWindowEndsARunningDisplay()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        w.startProgress(QStringLiteral("Download"));
        QVERIFY(w.close());
        QVERIFY(!w.progress()->isShown());
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestProgressDisplay)
#include "tst_progressdisplay.moc"
