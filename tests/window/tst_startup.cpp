#include "ScriptedDesktop.h"
#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/ControlNames.h"
#include "window/main/AboutBox.h"
#include "window/main/MainWindow.h"
#include "window/main/Startup.h"
#include "window/main/StatusPanels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <csignal>

using namespace ControlNames;

namespace
{
QByteArray line(const char* key, const QByteArray& value)
{
    return QByteArray(key).leftJustified(13, ' ') + value + "\r\n";
}

// True once the program runs and has a handler of its own for the signal (Linux: SigCgt in its
// status; before the program is started the forked child still carries this test's handlers).
bool catches(qint64 pid, int signal)
{
    const QFileInfo running(QStringLiteral("/proc/%1/exe").arg(pid));
    if (running.canonicalFilePath() !=
        QFileInfo(QStringLiteral(ZORV_EXECUTABLE)).canonicalFilePath())
        return false;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& entry : status.readAll().split('\n')) {
        if (entry.startsWith("SigCgt:"))
            return (entry.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

// The splash run() showed, found among the top-level windows.
AboutBox* splash()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<AboutBox*>(widget))
            return box;
    }
    return nullptr;
}

struct StartupFixture {
    QTemporaryDir folder;
    AppState state;
    ScriptedDesktop desktop;
    FixedClock clock{QDateTime(QDate(2007, 3, 12), QTime(15, 0))};
    Startup startup{state, desktop, clock, folder.path()};

    QString settingsPath() const { return folder.filePath(QStringLiteral("Zorv.ini")); }

    void writeSettings(const QByteArray& bytes) const
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray settings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Wherever the program's folder is, a first start has the shipped starting settings: the
    // toolbar and the status bar are there for the first steps. A folder that can take the file
    // keeps a copy of it; one that cannot still starts with them, and says nothing.
    void missingSettingsFileStartsWithTheShippedSettings_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("empty folder") << true;
        QTest::newRow("folder that cannot be created") << false;
    }
    void missingSettingsFileStartsWithTheShippedSettings()
    {
        QFETCH(bool, writable);
        QTemporaryDir parent;
        QString folder = parent.path();
        if (!writable) {
            // Below a plain file no folder can be made, whoever runs the test.
            QFile blocker(parent.filePath(QStringLiteral("file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            folder = blocker.fileName() + QStringLiteral("/home");
        }
        AppState state;
        ScriptedDesktop desktop;
        FixedClock clock{QDateTime(QDate(2007, 3, 12), QTime(15, 0))};
        Startup startup{state, desktop, clock, folder};
        MainWindow& w = startup.run();

        QFile seeded(folder + QStringLiteral("/Zorv.ini"));
        QFile shipped(QStringLiteral(ZORV_SHIPPED_SETTINGS));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        if (writable) {
            QVERIFY(seeded.open(QIODevice::ReadOnly));
            QCOMPARE(seeded.readAll(), shipped.readAll());
        } else {
            QVERIFY(!seeded.exists());
        }
        QCOMPARE(state.programVersion, QStringLiteral("0.3.20"));
        QCOMPARE(state.settingsVersion, QStringLiteral("0.3.20"));
        QCOMPARE(state.listSeparator, QStringLiteral(";"));
        QVERIFY(state.languageEnglish);
        QVERIFY(!state.languagePortuguese);
        QVERIFY(state.treePaths.isEmpty());
        QVERIFY(state.toolbarShown);
        QVERIFY(state.statusBarShown);
        QVERIFY(desktop.messages.isEmpty());
        QVERIFY(w.isVisible());
        QCOMPARE(startup.mainWindow(), &w);
        QVERIFY(w.findChild<QToolBar*>(Main::kToolbar)->isVisible());
        QVERIFY(w.statusBar()->isVisible());
        QCOMPARE(w.statusPanels()->message(),
                 QStringLiteral("Good afternoon maria. Welcome to Quillon"));
        QVERIFY(splash());
        QVERIFY(!splash()->isVisible());
        QCOMPARE(splash()->versionText(), QStringLiteral("Version 0.3.20 12Mar2007"));
    }

    // A settings file the user emptied is theirs: it is read as it is, not replaced.
    void emptySettingsFileStaysEmpty()
    {
        StartupFixture f;
        f.writeSettings(QByteArray());
        MainWindow& w = f.startup.run();
        QCOMPARE(f.settings(), QByteArray());
        QVERIFY(f.desktop.messages.isEmpty());
        QVERIFY(!w.findChild<QToolBar*>(Main::kToolbar)->isVisible());
        QVERIFY(!w.statusBar()->isVisible());
    }

    void exitWritesTheSettingsRead()
    {
        StartupFixture f;
        f.writeSettings(line("SGlobal", "0.1.1") + line("OptPT", "True") + line("Tool", "True") +
                        line("z", "|"));
        MainWindow& w = f.startup.run();
        QCOMPARE(f.state.settingsVersion, QStringLiteral("0.3.20"));
        QCOMPARE(f.state.listSeparator, QStringLiteral("|"));
        QVERIFY(w.findChild<QToolBar*>(Main::kToolbar)->isVisible());
        QCOMPARE(w.statusPanels()->message(),
                 QStringLiteral("Boa tarde maria. Bem-vindo ao Quillon"));
        // The splash was made before the settings were read: always English.
        QVERIFY(splash()->legalWarning().startsWith(QStringLiteral("Warning")));

        QVERIFY(w.close());
        const QByteArray written = f.settings();
        QVERIFY(written.contains(line("SGlobal", "0.3.20")));
        QVERIFY(written.contains(line("OptPT", "True")));
        QVERIFY(written.contains(line("Tool", "True")));
        QVERIFY(written.contains(line("Status", "False")));
        QVERIFY(written.contains(line("z", "|")));
        QVERIFY(written.endsWith(line("FileZorv", "")));
        QCOMPARE(written.count("\r\n"), 17);
    }

    // Ended from outside (kill, the terminal or the session going away, Ctrl+C), the real program
    // still writes its settings through the same one write as Exit, in the file's own encoding.
    void stopSignalWritesTheSettings_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void stopSignalWritesTheSettings()
    {
        QFETCH(int, signal);
        if (!QFile::exists(QStringLiteral("/proc/self/status")))
            QSKIP("needs /proc to see when the program is ready for the signal");
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("Zorv.ini"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // As a Linux editor saves it: UTF-8 without a byte-order mark, some lines missing.
            file.write(line("OptPT", "True") + line("z", "|") + line("SAT", " 2 ") +
                       line("ssAddTab 001 ", "Relat\xc3\xb3rios") +
                       line("ssAddTab 002 ", "Relat\xc3\xb3rios\\KNA1"));
        }
        QProcess zorv;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORV_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        zorv.setProcessEnvironment(env);
        zorv.start(QStringLiteral(ZORV_EXECUTABLE), {});
        QVERIFY(zorv.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (!catches(zorv.processId(), signal) && waited.elapsed() < 20000)
            QTest::qWait(20);
        QVERIFY(catches(zorv.processId(), signal));
        ::kill(static_cast<pid_t>(zorv.processId()), signal);
        QVERIFY(zorv.waitForFinished(20000));
        QCOMPARE(zorv.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zorv.exitCode(), 128 + signal);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written.count("\r\n"), 19);
        QVERIFY(written.startsWith(line("sSapLogon", "")));
        QVERIFY(written.contains(line("OptPT", "True")));
        QVERIFY(written.contains(line("z", "|")));
        QVERIFY(written.contains(line("SGlobal", "0.3.20")));
        QVERIFY(written.contains(line("ssAddTab 001 ", "Relat\xc3\xb3rios")));
        QVERIFY(written.contains(line("ssAddTab 002 ", "Relat\xc3\xb3rios\\KNA1")));
        QVERIFY(written.endsWith(line("FileZorv", "")));
    }

    void aBadNumberShowsOneMessageAndStartUpGoesOn()
    {
        StartupFixture f;
        f.writeSettings(line("OptPT", "True") + line("fvubTop", " abc ") + line("z", "|") +
                        line("Tool", "True"));
        MainWindow& w = f.startup.run();
        QCOMPARE(f.desktop.messages.size(), 1);
        QCOMPARE(f.desktop.messages.at(0).title, QStringLiteral("Zorv"));
        QCOMPARE(f.desktop.messages.at(0).buttons, Desktop::Buttons::Ok);
        QVERIFY(!f.desktop.messages.at(0).text.isEmpty());
        // The bad value keeps its default; the lines after it are read as well.
        QVERIFY(f.state.languagePortuguese);
        QCOMPARE(f.state.listSeparator, QStringLiteral("|"));
        QVERIFY(f.state.toolbarShown);
        QCOMPARE(f.state.settingsVersion, QStringLiteral("0.3.20"));
        QVERIFY(w.isVisible());
        QVERIFY(!splash()->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
