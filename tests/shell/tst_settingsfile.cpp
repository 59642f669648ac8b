#include "shell/AppState.h"
#include "shell/PathListFile.h"
#include "shell/SettingsFile.h"

#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace
{
QByteArray line(const char* key, const QByteArray& value)
{
    return QByteArray(key).leftJustified(13, ' ') + value + "\r\n";
}

// The file a fresh program writes at exit: lines 1 to 16 and FileZorv.
QByteArray defaultFile()
{
    return line("sSapLogon", "") + line("FolderTable", "") + line("TableFile", "") +
           line("SGlobal", "0.3.20") + line("ChOpt", "False") + line("OptEN", "True") +
           line("OptPT", "False") + line("OptCT", "False") + line("Tool", "False") +
           line("Status", "False") + line("z", ";") + line("fvubTop", " 0 ") +
           line("fvubLeft", " 0 ") + line("fvubHeight", " 0 ") + line("fvubWidth", " 0 ") +
           line("SAT", " 0 ") + line("FileZorv", "");
}
} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesEveryLineInOrder()
    {
        AppState state;
        state.settingsVersion = QStringLiteral("0.3.20");
        state.languageEnglish = true;
        state.listSeparator = QStringLiteral(";");
        QCOMPARE(SettingsFile::write(state), defaultFile());
    }

    void writesNumbersWithSignBlankAndTrailingBlank()
    {
        AppState state;
        state.windowTop = 1275;
        state.windowLeft = -60;
        state.windowWidth = 32767;
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("\r\nfvubTop       1275 \r\n"));
        QVERIFY(bytes.contains("\r\nfvubLeft     -60 \r\n"));
        QVERIFY(bytes.contains("\r\nfvubWidth     32767 \r\n"));
    }

    void writesTreeEntriesWithThreeDigitKeys()
    {
        AppState state;
        state.treePaths = {QStringLiteral("Root"), QStringLiteral("Root\\Sales"),
                           QStringLiteral("Root\\Sales\\VBAK")};
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(
            bytes.contains("SAT           3 \r\nssAddTab 001 Root\r\nssAddTab 002 Root\\Sales\r\n"
                           "ssAddTab 003 Root\\Sales\\VBAK\r\nFileZorv     \r\n"));
        QVERIFY(bytes.endsWith("FileZorv     \r\n"));
    }

    void noTreeLinesWhenTheTreeIsEmpty()
    {
        AppState state;
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("\r\nSAT           0 \r\nFileZorv     \r\n"));
        QVERIFY(!bytes.contains("ssAddTab"));
    }

    // The file holds 999 entries at most; paths beyond them are not written.
    void atMostTheTreesLimitIsWritten()
    {
        AppState state;
        for (int i = 1; i <= AppState::kMaxTreeEntries + 2; ++i)
            state.treePaths.append(QStringLiteral("T%1").arg(i));
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("\r\nSAT           999 \r\nssAddTab 001 T1\r\n"));
        QVERIFY(bytes.contains("\r\nssAddTab 999 T999\r\nFileZorv     \r\n"));
        QVERIFY(!bytes.contains("T1000"));
        AppState back;
        QVERIFY(SettingsFile::read(bytes, back).ok);
        QCOMPARE(back.treePaths, state.treePaths.mid(0, AppState::kMaxTreeEntries));
    }

    void writesTheWindowsCodePage()
    {
        AppState state;
        state.lastTableFile = QStringLiteral("C:\\Relatórios\\Março.csv");
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("TableFile    C:\\Relat\xf3rios\\Mar\xe7o.csv\r\n"));
        AppState back;
        QVERIFY(SettingsFile::read(bytes, back).ok);
        QCOMPARE(back.lastTableFile, state.lastTableFile);
    }

    void keepsTextTheCodePageCannotHold()
    {
        AppState state;
        state.currentQueryFile = QStringLiteral("/home/анна/запрос.txt");
        state.treePaths = {QStringLiteral("客户")};
        AppState back;
        QVERIFY(SettingsFile::read(SettingsFile::write(state), back).ok);
        QCOMPARE(back.currentQueryFile, state.currentQueryFile);
        QCOMPARE(back.treePaths, state.treePaths);
    }

    void roundTripsByteForByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("defaults") << defaultFile();
        QByteArray full =
            line("sSapLogon", "C:\\Program Files\\SAP\\FrontEnd\\saplogon.exe") +
            line("FolderTable", "D:\\tables") + line("TableFile", "C:\\x.csv") +
            line("SGlobal", "0.3.20") + line("ChOpt", "True") + line("OptEN", "False") +
            line("OptPT", "True") + line("OptCT", "True") + line("Tool", "True") +
            line("Status", "True") + line("z", "||") + line("fvubTop", " 1275 ") +
            line("fvubLeft", "-60 ") + line("fvubHeight", " 7050 ") + line("fvubWidth", " 10000 ") +
            line("SAT", " 2 ") + line("ssAddTab 001 ", "Root") +
            line("ssAddTab 002 ", "Root\\KNA1") + line("FileZorv", "C:\\q\\Quillon1.txt");
        QTest::newRow("everything set") << full;
        QTest::newRow("empty tree entry, negative place")
            << line("sSapLogon", "") + line("FolderTable", "") + line("TableFile", "") +
                   line("SGlobal", "") + line("ChOpt", "False") + line("OptEN", "False") +
                   line("OptPT", "False") + line("OptCT", "False") + line("Tool", "False") +
                   line("Status", "True") + line("z", "\t") + line("fvubTop", "-1 ") +
                   line("fvubLeft", "-32768 ") + line("fvubHeight", " 32767 ") +
                   line("fvubWidth", " 0 ") + line("SAT", " 3 ") + line("ssAddTab 001 ", "A") +
                   line("ssAddTab 002 ", "") + line("ssAddTab 003 ", "A\\B") + line("FileZorv", "");
        QTest::newRow("blank separator")
            << QByteArray(defaultFile()).replace("z            ;", "z             ");
        QTest::newRow("a read module named") << full + line("ReadModule", "ZRFC_READ_TABLE2");
        QTest::newRow("sessions set") << full + line("Sessions", "5");
        QTest::newRow("a module and sessions")
            << full + line("ReadModule", "/BODS/RFC_READ_TABLE2") + line("Sessions", "1");
        QTest::newRow("queries not offered at start") << full + line("ReopenQueries", "0");
        QTest::newRow("sessions and queries offered")
            << full + line("Sessions", "2") + line("ReopenQueries", "1");
    }

    void roundTripsByteForByte()
    {
        QFETCH(QByteArray, file);
        AppState state;
        const auto result = SettingsFile::read(file, state);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(SettingsFile::write(state), file);
        QCOMPARE(state.readModule.isEmpty(), !file.contains("ReadModule"));
        QCOMPARE(state.readSessions.isEmpty(), !file.contains("Sessions"));
        QCOMPARE(state.reopenQueries.isEmpty(), !file.contains("ReopenQueries"));
    }

    // A file an editor saved as UTF-8 (no mark) is read as UTF-8 and written back as UTF-8;
    // anything else keeps the Windows code page, and a text it cannot hold still gets the mark.
    void theFilesEncodingIsKept_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("changedTo");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("UTF-8 without a mark")
            << QByteArray("Relat\xc3\xb3rios\\Mar\xc3\xa7o") << QStringLiteral("Relatórios\\Março")
            << QStringLiteral("Relatórios\\Março\\Ações")
            << QByteArray("Relat\xc3\xb3rios\\Mar\xc3\xa7o\\A\xc3\xa7\xc3\xb5"
                          "es");
        QTest::newRow("UTF-8 without a mark, beyond the code page")
            << QByteArray("\xe5\xae\xa2\xe6\x88\xb7") << QStringLiteral("客户")
            << QStringLiteral("客户\\Relatórios")
            << QByteArray("\xe5\xae\xa2\xe6\x88\xb7\\Relat\xc3\xb3rios");
        QTest::newRow("windows-1252") << QByteArray("Relat\xf3rios") << QStringLiteral("Relatórios")
                                      << QStringLiteral("Ações")
                                      << QByteArray("A\xe7\xf5"
                                                    "es");
        // One byte short of a UTF-8 sequence: not UTF-8, so the code page reads it.
        QTest::newRow("cut UTF-8 sequence") << QByteArray("Relat\xc3") << QStringLiteral("RelatÃ")
                                            << QStringLiteral("RelatÃ") << QByteArray("Relat\xc3");
        QTest::newRow("plain ASCII")
            << QByteArray("Sales") << QStringLiteral("Sales") << QStringLiteral("Ações")
            << QByteArray("A\xe7\xf5"
                          "es");
        QTest::newRow("code page, then text beyond it")
            << QByteArray("Relat\xf3rios") << QStringLiteral("Relatórios") << QStringLiteral("客户")
            << QByteArray("\xe5\xae\xa2\xe6\x88\xb7");
    }
    void theFilesEncodingIsKept()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QString, read);
        QFETCH(QString, changedTo);
        QFETCH(QByteArray, written);
        const QByteArray file =
            QByteArray(defaultFile())
                .replace(line("SAT", " 0 "), line("SAT", " 1 ") + line("ssAddTab 001 ", tree));
        AppState state;
        QVERIFY(SettingsFile::read(file, state).ok);
        QCOMPARE(state.treePaths, QStringList{read});
        // Unchanged, the file comes back byte for byte.
        QCOMPARE(SettingsFile::write(state), file);

        state.treePaths[0] = changedTo;
        const QByteArray bytes = SettingsFile::write(state);
        // Only text the code page cannot hold, in a file that was not UTF-8, takes the mark.
        QCOMPARE(bytes.startsWith("\xef\xbb\xbf"),
                 QTest::currentDataTag() == QByteArray("code page, then text beyond it"));
        QVERIFY2(bytes.contains("ssAddTab 001 " + written + "\r\n"), bytes.constData());
        AppState back;
        QVERIFY(SettingsFile::read(bytes, back).ok);
        QCOMPARE(back.treePaths, QStringList{changedTo});
    }

    void readsEachKey()
    {
        AppState state;
        const QByteArray file = line("Tool", "True") + line("Status", "True") + line("z", ",") +
                                line("fvubHeight", " 7050 ") + line("OptPT", "True") +
                                line("FileZorv", "q.txt");
        QVERIFY(SettingsFile::read(file, state).ok);
        QVERIFY(state.toolbarShown);
        QVERIFY(state.statusBarShown);
        QVERIFY(state.languagePortuguese);
        QVERIFY(!state.languageEnglish);
        QCOMPARE(state.listSeparator, QStringLiteral(","));
        QCOMPARE(state.windowHeight, std::int16_t(7050));
        QCOMPARE(state.currentQueryFile, QStringLiteral("q.txt"));
    }

    // A key is the line's key field; text elsewhere in the line never sets another key.
    void keysAreRecognisedByTheirKeyField_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("path naming another key")
            << line("TableFile", "C:\\FolderTable\\sSapLogon.csv");
        QTest::newRow("folder named like SAT")
            << line("SAT", " 1 ") + line("ssAddTab 001 ", "SAT   9 ");
        QTest::newRow("Tool without padding") << QByteArray("ToolTrue\r\n");
        QTest::newRow("value holding z") << line("FolderTable", "z            |");
    }

    void keysAreRecognisedByTheirKeyField()
    {
        QFETCH(QByteArray, file);
        AppState state;
        QVERIFY(SettingsFile::read(file, state).ok);
        QVERIFY(state.tableFolder.isEmpty() || state.tableFolder.startsWith(u'z'));
        QVERIFY(state.sapLogonPath.isEmpty());
        QVERIFY(!state.toolbarShown);
        QVERIFY(state.listSeparator.isEmpty());
        QVERIFY(state.treePaths.size() <= 1);
    }

    void treeLinesBeforeTheCountAreIgnored()
    {
        AppState state;
        const QByteArray file = line("ssAddTab 001 ", "early") + line("SAT", " 2 ") +
                                line("ssAddTab 002 ", "late") + line("ssAddTab 003 ", "beyond");
        QVERIFY(SettingsFile::read(file, state).ok);
        QCOMPARE(state.treePaths, (QStringList{QString(), QStringLiteral("late")}));
    }

    // A bad value keeps the setting's value and is told by its line; the lines before and
    // after it are read, and the file written back holds all of them.
    void aBadValueLosesNothingElse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<QString>("errorStart");
        const QByteArray head = line("Tool", "True") + line("z", ";");
        const QByteArray tail =
            line("Status", "True") + line("SAT", " 3 ") + line("ssAddTab 001 ", "Root") +
            line("ssAddTab 002 ", "Root\\KNA1") + line("ssAddTab 003 ", "Root\\BSEG");
        QTest::newRow("letters for a number")
            << head + line("fvubHeight", "many") + tail << 3 << "Type mismatch";
        QTest::newRow("geometry overflow")
            << head + line("fvubTop", " 99999999 ") + tail << 3 << "Overflow";
        QTest::newRow("text for a flag")
            << head + line("ChOpt", "Maybe") + tail << 3 << "Type mismatch";
        QTest::newRow("missing number")
            << head + line("fvubWidth", "") + tail << 3 << "Type mismatch";
        QTest::newRow("tree index above 999")
            << head + line("SAT", " 5000 ") + line("ssAddTab 1000", "x") + tail << 4
            << "Subscript out of range";
        QTest::newRow("two bad values, the first told")
            << head + line("ChOpt", "Maybe") + line("fvubTop", "x") + tail << 3 << "Type mismatch";
    }

    void aBadValueLosesNothingElse()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, badLine);
        QFETCH(QString, errorStart);
        AppState state;
        state.windowTop = 120;
        const auto result = SettingsFile::read(file, state);
        QVERIFY(!result.ok);
        QCOMPARE(result.line, badLine);
        QVERIFY2(result.error.startsWith(errorStart), qPrintable(result.error));
        QVERIFY(state.toolbarShown);
        QCOMPARE(state.listSeparator, QStringLiteral(";"));
        QVERIFY(state.statusBarShown);
        QVERIFY(!state.optionsFlag);
        const QStringList tree{"Root", "Root\\KNA1", "Root\\BSEG"};
        QCOMPARE(state.treePaths, tree);
        AppState back;
        QVERIFY(SettingsFile::read(SettingsFile::write(state), back).ok);
        QCOMPARE(back.treePaths, tree);
        QVERIFY(back.statusBarShown);
    }

    void survivesOddFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("tool");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("LF only") << QByteArray("Tool         True\nStatus       True\n") << true;
        QTest::newRow("CR only") << QByteArray("Tool         True\rStatus       True\r") << true;
        static const char binary[] =
            "\x00\x01\xff\xfe garbage\r\n\x80\x81\r\nTool         True\r\n";
        QTest::newRow("binary bytes") << QByteArray(binary, sizeof(binary) - 1) << true;
        QTest::newRow("no final line end") << QByteArray("Tool         True") << true;
        QTest::newRow("key only") << QByteArray("Tool\r\n") << false;
    }

    void survivesOddFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, tool);
        AppState state;
        SettingsFile::read(file, state);
        QCOMPARE(state.toolbarShown, tool);
    }

    void largeCountIsBroughtIntoRange()
    {
        AppState state;
        QVERIFY(SettingsFile::read(line("SAT", " 5000 "), state).ok);
        QCOMPARE(state.treePaths.size(), AppState::kMaxTreeEntries);
        AppState negative;
        QVERIFY(SettingsFile::read(line("SAT", "-4 "), negative).ok);
        QVERIFY(negative.treePaths.isEmpty());
        QVERIFY(!SettingsFile::write(negative).contains("ssAddTab"));
    }

    void missingFileIsCreatedEmpty()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::pathIn(dir.path());
        QVERIFY(!QFile::exists(path));
        SettingsFile::ensureExists(path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
        AppState state;
        QVERIFY(SettingsFile::readFile(path, state).ok);
    }

    void ensureExistsLeavesAnExistingFileAlone()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::pathIn(dir.path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(line("Tool", "True"));
        file.close();
        SettingsFile::ensureExists(path);
        AppState state;
        QVERIFY(SettingsFile::readFile(path, state).ok);
        QVERIFY(state.toolbarShown);
    }

    void failedWriteKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::pathIn(dir.path());
        AppState first;
        first.toolbarShown = true;
        QVERIFY(SettingsFile::writeFile(path, first));
        const QByteArray before = SettingsFile::write(first);

        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        AppState second;
        second.statusBarShown = true;
        const bool written = SettingsFile::writeFile(path, second);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written)
            QSKIP("The folder stayed writable (running as a user that ignores permissions)");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // A full disk shows as a write that stops short; the file must stay as it was.
    void diskFullKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::pathIn(dir.path());
        AppState first;
        first.toolbarShown = true;
        QVERIFY(SettingsFile::writeFile(path, first));
        const QByteArray before = SettingsFile::write(first);

        AppState big;
        for (int i = 1; i <= 999; ++i)
            big.treePaths.append(QStringLiteral("Root\\Folder\\TABLE%1").arg(i));
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit oldLimit{};
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = SettingsFile::writeFile(path, big);
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void writeIntoMissingFolderFails()
    {
        AppState state;
        QVERIFY(!SettingsFile::writeFile(QStringLiteral("/nonexistent/zorv/Zorv.ini"), state));
    }

    // The lists of documents beside the settings file: each path once however it is spelled,
    // blank lines and line ends passed over, at most as many as asked, nothing from what is no
    // plain file; written whole, in UTF-8.
    void pathListsKeepEachFileOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("most");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("one file spelled twice")
            << QByteArray("/q/a.txt\n/q/./a.txt\n/q/b/../a.txt\n/q/b.txt\n") << 0
            << QStringList{"/q/a.txt", "/q/b.txt"};
        QTest::newRow("blank lines and CRLF") << QByteArray("\r\n/q/a.txt\r\n\n  \n/q/b.txt") << 0
                                              << QStringList{"/q/a.txt", "/q/b.txt"};
        QTest::newRow("at most two")
            << QByteArray("/a\n/b\n/a\n/c\n") << 2 << QStringList{"/a", "/b"};
        QTest::newRow("names in UTF-8") << QByteArray("/q/relat\xc3\xb3rio.txt\n") << 0
                                        << QStringList{QString::fromUtf8("/q/relatório.txt")};
        QTest::newRow("empty") << QByteArray() << 8 << QStringList{};
    }

    void pathListsKeepEachFileOnce()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, most);
        QFETCH(QStringList, paths);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("list.txt"));
        QSaveFile written(file);
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(bytes);
        QVERIFY(written.commit());
        QCOMPARE(PathListFile::read(file, most), paths);
        // What is written reads back the same.
        QVERIFY(PathListFile::write(file, paths));
        QCOMPARE(PathListFile::read(file), paths);
        QVERIFY(PathListFile::read(folder.filePath(QStringLiteral("missing.txt"))).isEmpty());
        QVERIFY(PathListFile::read(folder.path()).isEmpty());
        QVERIFY(!PathListFile::write(folder.filePath(QStringLiteral("no/such/list.txt")), paths));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
