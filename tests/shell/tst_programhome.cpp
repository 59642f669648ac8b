#include "ProgramHome.h"
#include "ProgramVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestProgramHome : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Version

    void versionLeavesOutTheBuildNumber_data()
    {
        QTest::addColumn<QString>("fileVersion");
        QTest::addColumn<QString>("expected");
        QTest::newRow("this program") << "0.3.0.20"
                                      << "0.3.20";
        QTest::newRow("build number ignored") << "1.2.345.6"
                                              << "1.2.6";
        QTest::newRow("leading zeros dropped") << "01.002.0.0030"
                                               << "1.2.30";
        QTest::newRow("three parts") << "1.2.3"
                                     << "1.2.0";
        QTest::newRow("two parts") << "4.5"
                                   << "4.5.0";
        QTest::newRow("one part") << "7"
                                  << "7.0.0";
        QTest::newRow("empty") << ""
                               << "0.0.0";
        QTest::newRow("not numbers") << "a.b.c.d"
                                     << "0.0.0";
        QTest::newRow("more parts") << "1.2.3.4.5"
                                    << "1.2.4";
    }
    void versionLeavesOutTheBuildNumber()
    {
        QFETCH(QString, fileVersion);
        QFETCH(QString, expected);
        QCOMPARE(ProgramVersion::fromFileVersion(fileVersion), expected);
    }

    void thisBuildShowsItsVersion()
    {
        QCOMPARE(ProgramVersion::fileVersion(), QStringLiteral("0.3.0.20"));
        QCOMPARE(ProgramVersion::text(), QStringLiteral("0.3.20"));
    }

    // Home folder

    void environmentWins()
    {
        QTemporaryDir executable;
        QCOMPARE(ProgramHome::resolve(QStringLiteral("/srv/zorv//home/"), executable.path(),
                                      QStringLiteral("/cfg/zorv")),
                 QStringLiteral("/srv/zorv/home"));
        // Even a folder that does not exist yet: it is created later.
        QCOMPARE(ProgramHome::resolve(QStringLiteral("/no/such/zorv"), QString(),
                                      QStringLiteral("/cfg/zorv")),
                 QStringLiteral("/no/such/zorv"));
    }

    void writableExecutableFolderComesNext()
    {
        QTemporaryDir executable;
        QCOMPARE(ProgramHome::resolve(QString(), executable.path() + QStringLiteral("/"),
                                      QStringLiteral("/cfg/zorv")),
                 QDir::cleanPath(executable.path()));
    }

    void otherwiseTheConfigurationFolder_data()
    {
        QTest::addColumn<QString>("executableFolder");
        QTest::newRow("no executable folder") << "";
        QTest::newRow("missing folder") << "/no/such/folder/for/zorv";
    }
    void otherwiseTheConfigurationFolder()
    {
        QFETCH(QString, executableFolder);
        QCOMPARE(ProgramHome::resolve(QString(), executableFolder, QStringLiteral("/cfg//zorv/")),
                 QStringLiteral("/cfg/zorv"));
    }

    void aFileIsNoFolder()
    {
        QTemporaryDir dir;
        const QString file = QDir(dir.path()).filePath(QStringLiteral("zorv"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(ProgramHome::resolve(QString(), file, QStringLiteral("/cfg/zorv")),
                 QStringLiteral("/cfg/zorv"));
    }

    void readOnlyExecutableFolderIsPassedOver()
    {
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup));
        if (QFileInfo(folder).isWritable())
            QSKIP("this user may write to read-only folders");
        QCOMPARE(ProgramHome::resolve(QString(), folder, QStringLiteral("/cfg/zorv")),
                 QStringLiteral("/cfg/zorv"));
    }

    void folderUsesTheEnvironmentAndCreatesIt()
    {
        QTemporaryDir dir;
        const QString home = QDir(dir.path()).filePath(QStringLiteral("new/home"));
        const QByteArray old = qgetenv("ZORV_HOME");
        qputenv("ZORV_HOME", home.toLocal8Bit());
        const QString folder = ProgramHome::folder();
        if (old.isNull())
            qunsetenv("ZORV_HOME");
        else
            qputenv("ZORV_HOME", old);
        QCOMPARE(folder, QDir::cleanPath(home));
        QVERIFY(QFileInfo(home).isDir());
    }
};

QTEST_GUILESS_MAIN(TestProgramHome)
#include "tst_programhome.moc"
