#include "ErrorReporter.h"
#include "InstallFixtures.h"
#include "InstallWindow.h"
#include "ScriptedPlatform.h"
#include "shell/ControlNames.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ControlNames;
using namespace InstallFixtures;

namespace
{

// Records each message and whether the hourglass was still showing when it appeared.
class RecordingReporter : public ErrorReporter
{
public:
    QStringList messages;
    bool busyWhileShown = false;

    void report(QWidget*, const QString& message) override
    {
        messages << message;
        busyWhileShown = busyWhileShown || QGuiApplication::overrideCursor() != nullptr;
    }
};

} // namespace

class TestInstallWindow : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_own;
    QTemporaryDir m_root;
    ScriptedPlatform m_platform;
    RecordingReporter m_reporter;
    std::unique_ptr<InstallWindow> m_window;

    template <typename T> T* control(const QString& name) { return m_window->findChild<T*>(name); }

    void hover(const QString& name)
    {
        QWidget* target = control<QWidget>(name);
        QVERIFY2(target, qPrintable(name));
        QTest::mouseMove(target);
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_own.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_own.path()));
        m_platform = ScriptedPlatform();
        m_platform.own = m_own.path();
        m_platform.root = m_root.path();
        m_reporter = RecordingReporter();
        m_window = std::make_unique<InstallWindow>(m_platform, m_reporter);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void showsItsTexts()
    {
        QCOMPARE(m_window->objectName(), Install::kWindow);
        QCOMPARE(m_window->windowTitle(), "Install Quillon");
        QCOMPARE(control<QLabel>(Install::kTitle)->text(), "Quillon for SAP R/3");
        QCOMPARE(control<QPushButton>(Install::kInstall)->text(), "Install");
        QCOMPARE(control<QPushButton>(Install::kCancel)->text(), "Cancel");
        QCOMPARE(control<QLabel>(Install::kStatus)->text(), QString());
        QVERIFY(!control<QLabel>(Install::kMarker)->isVisible());
        QVERIFY(control<QLabel>(Install::kComputerPicture)->isVisible());
        QVERIFY(control<QLabel>(Install::kDrivePicture)->isVisible());
    }

    void hintFollowsTheMouse_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("marker");
        QTest::newRow("Install") << QStringList{Install::kInstall}
                                 << "    Press install to continue" << true;
        QTest::newRow("Cancel") << QStringList{Install::kCancel}
                                << "    Exit without installing Quillon" << false;
        QTest::newRow("Install then Cancel") << QStringList{Install::kInstall, Install::kCancel}
                                             << "    Exit without installing Quillon" << false;
        QTest::newRow("Install then picture")
            << QStringList{Install::kInstall, Install::kDrivePicture} << "" << false;
        QTest::newRow("Install then title") << QStringList{Install::kInstall, Install::kTitle}
                                            << "    Press install to continue" << true;
    }

    void hintFollowsTheMouse()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, hint);
        QFETCH(bool, marker);
        for (const QString& name : path)
            hover(name);
        QCOMPARE(control<QLabel>(Install::kStatus)->text(), hint);
        QCOMPARE(control<QLabel>(Install::kMarker)->isVisible(), marker);
    }

    void cancelCloses()
    {
        QTest::mouseClick(control<QPushButton>(Install::kCancel), Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_platform.started.isEmpty());
        QVERIFY(!QFile::exists(m_own.filePath("setup.lst")));
    }

    void installStartsSetupAndCloses()
    {
        QVERIFY(touch(m_own.path(), "setup.exe"));
        std::optional<Qt::CursorShape> cursorAtStart;
        m_platform.onStart = [&] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor())
                cursorAtStart = cursor->shape();
        };
        QTest::mouseClick(control<QPushButton>(Install::kInstall), Qt::LeftButton);
        QCOMPARE(m_platform.started, QStringList{m_own.filePath("setup.exe")});
        QCOMPARE(cursorAtStart, std::optional(Qt::WaitCursor));
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_reporter.messages.isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void failureKeepsWindowOpen()
    {
        QPushButton* install = control<QPushButton>(Install::kInstall);
        QTest::mouseClick(install, Qt::LeftButton);
        const QString message = "Error 53: File not found on " + m_own.filePath("setup.exe");
        QCOMPARE(m_reporter.messages, QStringList{message});
        QVERIFY(!m_reporter.busyWhileShown);
        QVERIFY(m_window->isVisible());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

        // Trying again after putting the setup program in place succeeds.
        QVERIFY(touch(m_own.path(), "setup.exe"));
        QTest::mouseClick(install, Qt::LeftButton);
        QCOMPARE(m_reporter.messages.size(), 1);
        QCOMPARE(m_platform.started.size(), 1);
        QVERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(TestInstallWindow)
#include "tst_install_window.moc"
