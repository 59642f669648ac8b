#include "InstallFixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace InstallFixtures;

// Runs a copy of the built Install program from a folder of the test's own, since the program
// works in the folder it was started from.
class TestInstallSilent : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_own;
    QTemporaryDir m_root;
    QString m_program;
    QByteArray m_stderr;

    QString listPath() const { return m_own.filePath("setup.lst"); }

    int runInstall(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZORV_INSTALL_SEARCH_ROOT", m_root.path());
        // Scripts run it where there is no display; a window system must not be needed.
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(environment);
        process.start(m_program, arguments);
        if (!process.waitForFinished(30000))
            return -1;
        m_stderr = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

    // A setup program that proves it ran in the right folder after the list was written.
    bool placeSetup(const QByteArray& script = "#!/bin/sh\ncp setup.lst seen.lst\n")
    {
        return touch(m_own.path(), "setup.exe", script) &&
               QFile::setPermissions(m_own.filePath("setup.exe"),
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_own.isValid() && m_root.isValid());
        QDir(m_own.path()).removeRecursively();
        QDir(m_root.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_own.path()) && QDir().mkpath(m_root.path()));
        m_program = m_own.filePath("Install");
        QVERIFY(QFile::copy(INSTALL_EXECUTABLE, m_program));
    }

    void succeeds_data()
    {
        QTest::addColumn<bool>("sapGuiPresent");
        QTest::newRow("SAP GUI present") << true;
        QTest::newRow("SAP GUI absent") << false;
    }

    void succeeds()
    {
        QFETCH(bool, sapGuiPresent);
        if (sapGuiPresent)
            QVERIFY(touch(m_root.path(), "Program Files/SAP/saplogon.exe"));
        QVERIFY(placeSetup());
        QCOMPARE(runInstall({"--silent"}), 0);
        QCOMPARE(m_stderr, QByteArray());
        QCOMPARE(readAll(listPath()), expectedList(sapGuiPresent));
        QTRY_COMPARE_WITH_TIMEOUT(readAll(m_own.filePath("seen.lst")), expectedList(sapGuiPresent),
                                  10000);
    }

    void missingSetup()
    {
        QVERIFY(runInstall({"--silent"}) > 0);
        QCOMPARE(m_stderr,
                 "Error 53: File not found on " + m_own.filePath("setup.exe").toUtf8() + "\n");
        QCOMPARE(readAll(listPath()), expectedList(false));
    }

    void listNotWritable()
    {
        // Its trace does not need the list, which is a folder here.
        QVERIFY(placeSetup("#!/bin/sh\ntouch ran\n"));
        QVERIFY(QDir(m_own.path()).mkdir("setup.lst"));
        QVERIFY(runInstall({"--silent"}) > 0);
        QVERIFY2(m_stderr.startsWith("Error 75: "), m_stderr.constData());
        QVERIFY2(m_stderr.endsWith(" on " + listPath().toUtf8() + "\n"), m_stderr.constData());
        // Nothing to wait for when setup is rightly not started: the window is the time a
        // wrongly started one would take to leave its trace.
        QTest::qWait(200);
        QVERIFY(!QFile::exists(m_own.filePath("ran")));
    }

    void setupNotStartable()
    {
        // Present but not a program this system can run.
        QVERIFY(touch(m_own.path(), "setup.exe", "MZ"));
        QVERIFY(runInstall({"--silent"}) > 0);
        QVERIFY2(m_stderr.startsWith("Error 75: "), m_stderr.constData());
        QVERIFY2(m_stderr.endsWith(" on " + m_own.filePath("setup.exe").toUtf8() + "\n"),
                 m_stderr.constData());
        QCOMPARE(readAll(listPath()), expectedList(false));
    }

    void unknownOptionRefused()
    {
        QVERIFY(placeSetup());
        QVERIFY(runInstall({"--silent", "--quiet"}) > 0);
        QVERIFY(!QFile::exists(listPath()));
    }
};

QTEST_GUILESS_MAIN(TestInstallSilent)
#include "tst_install_silent.moc"
