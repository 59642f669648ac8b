#include "InstallFixtures.h"
#include "SapLogonSearch.h"
#include "SearchRoot.h"
#include "SetupList.h"

#include <QTemporaryDir>
#include <QTest>

using namespace InstallFixtures;

class TestInstallLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listMatchesFixture_data()
    {
        QTest::addColumn<bool>("sapGuiPresent");
        QTest::newRow("SAP GUI present") << true;
        QTest::newRow("SAP GUI absent") << false;
    }

    void listMatchesFixture()
    {
        QFETCH(bool, sapGuiPresent);
        QCOMPARE(SetupList::build(sapGuiPresent), expectedList(sapGuiPresent));
    }

    void search_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty tree") << QStringList() << QString();
        QTest::newRow("at the root") << QStringList{"saplogon.exe"} << QString("saplogon.exe");
        QTest::newRow("deep below")
            << QStringList{"a/notes.txt", "Program Files/SAP/FrontEnd/SAPgui/saplogon.exe"}
            << QString("Program Files/SAP/FrontEnd/SAPgui/saplogon.exe");
        QTest::newRow("other case")
            << QStringList{"SAP/SAPLogon.EXE"} << QString("SAP/SAPLogon.EXE");
        QTest::newRow("hidden folder")
            << QStringList{".sap/saplogon.exe"} << QString(".sap/saplogon.exe");
        QTest::newRow("similar names only")
            << QStringList{"saplogon.exe.bak", "xsaplogon.exe", "saplogon.ex", "saplogon"}
            << QString();
        QTest::newRow("folder of that name") << QStringList{"saplogon.exe/readme.txt"} << QString();
    }

    void search()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        for (const QString& file : files)
            QVERIFY(touch(root.path(), file));
        const QString found = SapLogonSearch::find(root.path());
        QCOMPARE(found, expected.isEmpty() ? QString()
                                           : QDir::toNativeSeparators(root.filePath(expected)));
    }

    void searchMissingOrEmptyRootFindsNothing()
    {
        QCOMPARE(SapLogonSearch::find(QString()), QString());
        QTemporaryDir root;
        QCOMPARE(SapLogonSearch::find(root.filePath("no such folder")), QString());
    }

    // A link back up the tree must not make the search loop, and links lead nowhere else.
    void searchDoesNotFollowFolderLinks()
    {
        QTemporaryDir root;
        QTemporaryDir outside;
        QVERIFY(touch(outside.path(), "SAPgui/saplogon.exe"));
        QVERIFY(QFile::link(outside.path(), root.filePath("elsewhere")));
        QVERIFY(QFile::link(root.path(), root.filePath("loop")));
        QCOMPARE(SapLogonSearch::find(root.path()), QString());
        QVERIFY(touch(root.path(), "real/saplogon.exe"));
        QCOMPARE(SapLogonSearch::find(root.path()),
                 QDir::toNativeSeparators(root.filePath("real/saplogon.exe")));
    }

    void searchRoot_data()
    {
        QTest::addColumn<QString>("override");
        QTest::addColumn<QString>("winePrefix");
        QTest::addColumn<QString>("expected");
        QTest::newRow("override wins") << "/srv/images/c"
                                       << "/opt/wine"
                                       << "/srv/images/c";
#ifdef Q_OS_WIN
        QTest::newRow("system drive") << ""
                                      << ""
                                      << "C:\\";
#else
        QTest::newRow("home Wine prefix") << ""
                                          << ""
                                          << "/home/ana/.wine/drive_c";
        QTest::newRow("WINEPREFIX") << ""
                                    << "/opt/wine"
                                    << "/opt/wine/drive_c";
#endif
    }

    void searchRoot()
    {
        QFETCH(QString, override);
        QFETCH(QString, winePrefix);
        QFETCH(QString, expected);
        QProcessEnvironment environment;
        environment.insert("PATH", "/usr/bin");
        if (!override.isEmpty())
            environment.insert(SearchRoot::kOverride, override);
        if (!winePrefix.isEmpty())
            environment.insert("WINEPREFIX", winePrefix);
        QCOMPARE(SearchRoot::choose(environment, "/home/ana"), expected);
    }
};

QTEST_GUILESS_MAIN(TestInstallLogic)
#include "tst_install_logic.moc"
