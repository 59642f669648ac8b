#include "shell/FileSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace
{
// Creates an empty file, and the folders above it, below root.
void touch(const QString& root, const QString& relative)
{
    const QString path = QDir(root).filePath(relative);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QString native(const QString& root, const QString& relative)
{
    return QDir::toNativeSeparators(QDir(root).absoluteFilePath(relative));
}
} // namespace

class TestFileSearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findsAFileDeepInTheTree()
    {
        QTemporaryDir root;
        touch(root.path(), QStringLiteral("Program Files/SAP/FrontEnd/SAPgui/saplogon.exe"));
        touch(root.path(), QStringLiteral("Program Files/other.exe"));
        QCOMPARE(
            FileSearch::find(root.path(), QStringLiteral("saplogon.exe")),
            native(root.path(), QStringLiteral("Program Files/SAP/FrontEnd/SAPgui/saplogon.exe")));
    }

    void findsAFileInTheRootItself()
    {
        QTemporaryDir root;
        touch(root.path(), QStringLiteral("saplogon.exe"));
        touch(root.path(), QStringLiteral("a/saplogon.exe"));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("saplogon.exe")),
                 native(root.path(), QStringLiteral("saplogon.exe")));
    }

    void shallowMatchWinsOverDeeper_data()
    {
        QTest::addColumn<QString>("deeper");
        QTest::addColumn<QString>("shallower");
        QTest::newRow("deeper one sorts first") << "a/b/target.txt"
                                                << "z/target.txt";
        QTest::newRow("deeper one sorts last") << "z/y/target.txt"
                                               << "a/target.txt";
        QTest::newRow("far deeper in between") << "m/n/o/p/target.txt"
                                               << "z/q/target.txt";
    }
    void shallowMatchWinsOverDeeper()
    {
        QFETCH(QString, deeper);
        QFETCH(QString, shallower);
        QTemporaryDir root;
        touch(root.path(), deeper);
        touch(root.path(), shallower);
        touch(root.path(), QStringLiteral("a/b/c/target.txt"));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("target.txt")),
                 native(root.path(), shallower));
    }

    void folderOfTheSameNameIsNotAMatch()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("target.txt/inner")));
        touch(root.path(), QStringLiteral("b/c/target.txt"));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("target.txt")),
                 native(root.path(), QStringLiteral("b/c/target.txt")));
    }

    void depthLimitIsRespected_data()
    {
        QTest::addColumn<int>("maxDepth");
        QTest::addColumn<bool>("found");
        // The file lies three folders below the root.
        QTest::newRow("0") << 0 << false;
        QTest::newRow("2") << 2 << false;
        QTest::newRow("3") << 3 << true;
        QTest::newRow("default") << int(FileSearch::kMaxDepth) << true;
    }
    void depthLimitIsRespected()
    {
        QFETCH(int, maxDepth);
        QFETCH(bool, found);
        QTemporaryDir root;
        touch(root.path(), QStringLiteral("one/two/three/deep.txt"));
        const QString result = FileSearch::find(root.path(), QStringLiteral("deep.txt"), maxDepth);
        QCOMPARE(result.isEmpty(), !found);
        if (found)
            QCOMPARE(result, native(root.path(), QStringLiteral("one/two/three/deep.txt")));
    }

    void symlinkedFoldersAreNotFollowed()
    {
        QTemporaryDir root;
        touch(root.path(), QStringLiteral("real/file.txt"));
        QTemporaryDir outside;
        touch(outside.path(), QStringLiteral("elsewhere.txt"));
        // A loop back to the root and a way out of the tree.
        QVERIFY(QFile::link(root.path(), QDir(root.path()).filePath(QStringLiteral("real/loop"))));
        QVERIFY(QFile::link(outside.path(), QDir(root.path()).filePath(QStringLiteral("out"))));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("missing.txt"), 50), QString());
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("elsewhere.txt"), 50), QString());
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("file.txt"), 50),
                 native(root.path(), QStringLiteral("real/file.txt")));
    }

    // A link to a file cannot lead into a loop, so it counts like the file itself; the program
    // is often installed that way.
    void symlinkedFileIsFound()
    {
        QTemporaryDir root;
        QTemporaryDir install;
        touch(install.path(), QStringLiteral("bin/guilogon-7.70"));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("sap/bin")));
        QVERIFY(QFile::link(QDir(install.path()).filePath(QStringLiteral("bin/guilogon-7.70")),
                            QDir(root.path()).filePath(QStringLiteral("sap/bin/guilogon"))));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("guilogon")),
                 native(root.path(), QStringLiteral("sap/bin/guilogon")));
    }

    void hiddenFoldersAreSearched()
    {
        QTemporaryDir root;
        touch(root.path(), QStringLiteral(".config/sap/saplogon.ini"));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("saplogon.ini")),
                 native(root.path(), QStringLiteral(".config/sap/saplogon.ini")));
    }

    void nothingFoundGivesEmpty_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("name");
        QTest::newRow("missing root") << "/no/such/folder/for/zorv"
                                      << "saplogon.exe";
        QTest::newRow("empty root") << ""
                                    << "saplogon.exe";
        QTest::newRow("empty name") << "."
                                    << "";
    }
    void nothingFoundGivesEmpty()
    {
        QFETCH(QString, root);
        QFETCH(QString, name);
        QCOMPARE(FileSearch::find(root, name), QString());
    }

    void absentFileInARealTreeGivesEmpty()
    {
        QTemporaryDir root;
        touch(root.path(), QStringLiteral("a/b/other.exe"));
        QCOMPARE(FileSearch::find(root.path(), QStringLiteral("saplogon.exe")), QString());
    }
};

QTEST_GUILESS_MAIN(TestFileSearch)
#include "tst_filesearch.moc"
