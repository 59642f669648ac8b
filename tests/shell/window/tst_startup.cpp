#include "AboutBox.h"
#include "AppState.h"
#include "Clock.h"
#include "MainWindow.h"
#include "ScriptedDesktop.h"
#include "Startup.h"
#include "StatusPanels.h"

#include <QApplication>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace
{
QByteArray line(const char* key, const QByteArray& value)
{
    return QByteArray(key).leftJustified(13, ' ') + value + "\r\n";
}

// The splash Main showed, found among the top-level windows.
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
    void missingSettingsFileStartsWithDefaults()
    {
        StartupFixture f;
        MainWindow& w = f.startup.Main();
        QCOMPARE(f.settings(), QByteArray());
        QCOMPARE(f.state.ProgramVersion, QStringLiteral("0.3.20"));
        QCOMPARE(f.state.SGlobal, QStringLiteral("0.3.20"));
        QCOMPARE(f.state.ListSeparator, QStringLiteral(";"));
        QVERIFY(f.state.OptEN);
        QVERIFY(f.desktop.messages.isEmpty());
        QVERIFY(w.isVisible());
        QCOMPARE(f.startup.mainWindow(), &w);
        QVERIFY(!w.findChild<QToolBar*>(QStringLiteral("Toolbar1"))->isVisible());
        QVERIFY(!w.statusBar()->isVisible());
        QCOMPARE(w.statusPanels()->message(),
                 QStringLiteral("Good afternoon maria. Welcome to Quillon"));
        QVERIFY(splash());
        QVERIFY(!splash()->isVisible());
        QCOMPARE(splash()->versionText(), QStringLiteral("Version 0.3.20 12Mar2007"));
    }

    void exitWritesTheSettingsRead()
    {
        StartupFixture f;
        f.writeSettings(line("SGlobal", "0.1.1") + line("OptPT", "True") + line("Tool", "True") +
                        line("z", "|"));
        MainWindow& w = f.startup.Main();
        QCOMPARE(f.state.SGlobal, QStringLiteral("0.3.20"));
        QCOMPARE(f.state.ListSeparator, QStringLiteral("|"));
        QVERIFY(w.findChild<QToolBar*>(QStringLiteral("Toolbar1"))->isVisible());
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

    void aBadNumberShowsOneMessageAndStartUpGoesOn()
    {
        StartupFixture f;
        f.writeSettings(line("OptPT", "True") + line("fvubTop", " abc ") + line("z", "|") +
                        line("Tool", "True"));
        MainWindow& w = f.startup.Main();
        QCOMPARE(f.desktop.messages.size(), 1);
        QCOMPARE(f.desktop.messages.at(0).title, QStringLiteral("Zorv"));
        QCOMPARE(f.desktop.messages.at(0).buttons, Desktop::Buttons::Ok);
        QVERIFY(!f.desktop.messages.at(0).text.isEmpty());
        QVERIFY(f.state.OptPT);
        QCOMPARE(f.state.ListSeparator, QStringLiteral(";"));
        QVERIFY(!f.state.Tool);
        QCOMPARE(f.state.SGlobal, QStringLiteral("0.3.20"));
        QVERIFY(w.isVisible());
        QVERIFY(!splash()->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
