#include "shell/ProgramHome.h"
#include "shell/ProgramVersion.h"
#include "shell/ShippedFiles.h"

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

    void installedBinFolderIsPassedOver()
    {
        // Installed to a prefix: bin/ beside share/zorv. Even root, who may write to /usr/bin,
        // keeps settings in the configuration folder.
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        const QString bin = root.filePath(QStringLiteral("bin"));
        QCOMPARE(ProgramHome::resolve(QString(), bin, QStringLiteral("/cfg/zorv")),
                 QDir::cleanPath(bin));
        QVERIFY(root.mkpath(QStringLiteral("share/zorv")));
        QCOMPARE(ProgramHome::resolve(QString(), bin, QStringLiteral("/cfg/zorv")),
                 QStringLiteral("/cfg/zorv"));
        QCOMPARE(
            ProgramHome::resolve(QStringLiteral("/srv/zorv"), bin, QStringLiteral("/cfg/zorv")),
            QStringLiteral("/srv/zorv"));
    }

    // The shipped settings file

    void seedSettings_data()
    {
        QTest::addColumn<QByteArray>("shipped");  // empty: nothing shipped
        QTest::addColumn<QByteArray>("existing"); // empty: no Zorv.ini in the folder yet
        QTest::addColumn<bool>("readOnlyShipped");
        QTest::addColumn<QByteArray>("expected"); // empty: no Zorv.ini afterwards
        const QByteArray ini("Tool         True\r\nStatus       True\r\n");
        const QByteArray mine("Tool         False\r\n");
        QTest::newRow("first start gets the shipped file") << ini << QByteArray() << false << ini;
        QTest::newRow("the user's file is never replaced") << ini << mine << false << mine;
        QTest::newRow("nothing shipped, nothing written")
            << QByteArray() << QByteArray() << false << QByteArray();
        QTest::newRow("a read-only shipped file gives a writable copy")
            << ini << QByteArray() << true << ini;
    }
    void seedSettings()
    {
        QFETCH(QByteArray, shipped);
        QFETCH(QByteArray, existing);
        QFETCH(bool, readOnlyShipped);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("share/zorv")));
        QVERIFY(root.mkpath(QStringLiteral("home")));
        QString shippedFile;
        if (!shipped.isEmpty()) {
            shippedFile = root.filePath(QStringLiteral("share/zorv/Zorv.ini"));
            QFile file(shippedFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(shipped);
            file.close();
            if (readOnlyShipped)
                QVERIFY(
                    file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const QString target = root.filePath(QStringLiteral("home/Zorv.ini"));
        if (!existing.isEmpty()) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(existing);
        }
        QVERIFY(ProgramHome::seedSettings(root.filePath(QStringLiteral("home")), shippedFile));
        QFile result(target);
        if (expected.isEmpty()) {
            QVERIFY(!result.exists());
            return;
        }
        QVERIFY(result.permissions() & QFile::WriteOwner);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), expected);
    }

    void seedingIntoAFolderThatCannotBeWrittenFails()
    {
        QTemporaryDir dir;
        const QString shipped = QDir(dir.path()).filePath(QStringLiteral("Zorv.ini"));
        QFile file(shipped);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Tool         True\r\n");
        file.close();
        QVERIFY(!ProgramHome::seedSettings(QDir(dir.path()).filePath(QStringLiteral("no/such")),
                                           shipped));
    }

    void shippedSettingsAreFoundBesideTheExecutableOrUnderShare()
    {
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        const QString bin = root.filePath(QStringLiteral("bin"));
        QVERIFY(ShippedFiles::find(bin, ShippedFiles::startingSettings()).isEmpty());
        QVERIFY(ShippedFiles::sharedFolder(bin).isEmpty());
        QVERIFY(root.mkpath(QStringLiteral("share/zorv")));
        QCOMPARE(ShippedFiles::sharedFolder(bin), root.filePath(QStringLiteral("share/zorv")));
        QFile installed(root.filePath(QStringLiteral("share/zorv/Zorv.ini")));
        QVERIFY(installed.open(QIODevice::WriteOnly));
        installed.close();
        QCOMPARE(ShippedFiles::find(bin, ShippedFiles::startingSettings()), installed.fileName());
        QFile beside(root.filePath(QStringLiteral("bin/Zorv.ini")));
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QCOMPARE(ShippedFiles::find(bin, ShippedFiles::startingSettings()), beside.fileName());
        QVERIFY(ShippedFiles::find(QString(), ShippedFiles::startingSettings()).isEmpty());
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
