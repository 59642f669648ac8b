#include "AppState.h"
#include "SettingsFile.h"

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
        state.SGlobal = QStringLiteral("0.3.20");
        state.OptEN = true;
        state.ListSeparator = QStringLiteral(";");
        QCOMPARE(SettingsFile::write(state), defaultFile());
    }

    void writesNumbersWithSignBlankAndTrailingBlank()
    {
        AppState state;
        state.fvubTop = 1275;
        state.fvubLeft = -60;
        state.fvubWidth = 32767;
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("\r\nfvubTop       1275 \r\n"));
        QVERIFY(bytes.contains("\r\nfvubLeft     -60 \r\n"));
        QVERIFY(bytes.contains("\r\nfvubWidth     32767 \r\n"));
    }

    void writesTreeEntriesWithThreeDigitKeys()
    {
        AppState state;
        state.SAT = 3;
        state.ssAddTab[1] = QStringLiteral("Root");
        state.ssAddTab[2] = QStringLiteral("Root\\Sales");
        state.ssAddTab[3] = QStringLiteral("Root\\Sales\\VBAK");
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(
            bytes.contains("SAT           3 \r\nssAddTab 001 Root\r\nssAddTab 002 Root\\Sales\r\n"
                           "ssAddTab 003 Root\\Sales\\VBAK\r\nFileZorv     \r\n"));
        QVERIFY(bytes.endsWith("FileZorv     \r\n"));
    }

    void noTreeLinesWhenCountIsZero()
    {
        AppState state;
        state.ssAddTab[1] = QStringLiteral("left over");
        QVERIFY(!SettingsFile::write(state).contains("ssAddTab"));
    }

    void writesTheWindowsCodePage()
    {
        AppState state;
        state.TableFile = QStringLiteral("C:\\Relatórios\\Março.csv");
        const QByteArray bytes = SettingsFile::write(state);
        QVERIFY(bytes.contains("TableFile    C:\\Relat\xf3rios\\Mar\xe7o.csv\r\n"));
        AppState back;
        QVERIFY(SettingsFile::read(bytes, back).ok);
        QCOMPARE(back.TableFile, state.TableFile);
    }

    void keepsTextTheCodePageCannotHold()
    {
        AppState state;
        state.FileZorv = QStringLiteral("/home/анна/запрос.txt");
        state.SAT = 1;
        state.ssAddTab[1] = QStringLiteral("客户");
        AppState back;
        QVERIFY(SettingsFile::read(SettingsFile::write(state), back).ok);
        QCOMPARE(back.FileZorv, state.FileZorv);
        QCOMPARE(back.ssAddTab[1], state.ssAddTab[1]);
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
        QTest::newRow("blank separator")
            << QByteArray(defaultFile()).replace("z            ;", "z             ");
    }

    void roundTripsByteForByte()
    {
        QFETCH(QByteArray, file);
        AppState state;
        const auto result = SettingsFile::read(file, state);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(SettingsFile::write(state), file);
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
            << QByteArray("Relat\xc3\xb3rios\\Mar\xc3\xa7o\\A\xc3\xa7\xc3\xb5" "es");
        QTest::newRow("UTF-8 without a mark, beyond the code page")
            << QByteArray("\xe5\xae\xa2\xe6\x88\xb7") << QStringLiteral("客户")
            << QStringLiteral("客户\\Relatórios")
            << QByteArray("\xe5\xae\xa2\xe6\x88\xb7\\Relat\xc3\xb3rios");
        QTest::newRow("windows-1252") << QByteArray("Relat\xf3rios") << QStringLiteral("Relatórios")
                                      << QStringLiteral("Ações") << QByteArray("A\xe7\xf5" "es");
        // One byte short of a UTF-8 sequence: not UTF-8, so the code page reads it.
        QTest::newRow("cut UTF-8 sequence") << QByteArray("Relat\xc3") << QStringLiteral("RelatÃ")
                                            << QStringLiteral("RelatÃ") << QByteArray("Relat\xc3");
        QTest::newRow("plain ASCII") << QByteArray("Sales") << QStringLiteral("Sales")
                                     << QStringLiteral("Ações") << QByteArray("A\xe7\xf5" "es");
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
        QCOMPARE(state.ssAddTab[1], read);
        // Unchanged, the file comes back byte for byte.
        QCOMPARE(SettingsFile::write(state), file);

        state.ssAddTab[1] = changedTo;
        const QByteArray bytes = SettingsFile::write(state);
        // Only text the code page cannot hold, in a file that was not UTF-8, takes the mark.
        QCOMPARE(bytes.startsWith("\xef\xbb\xbf"),
                 QTest::currentDataTag() == QByteArray("code page, then text beyond it"));
        QVERIFY2(bytes.contains("ssAddTab 001 " + written + "\r\n"), bytes.constData());
        AppState back;
        QVERIFY(SettingsFile::read(bytes, back).ok);
        QCOMPARE(back.ssAddTab[1], changedTo);
    }

    void readsEachKey()
    {
        AppState state;
        const QByteArray file = line("Tool", "True") + line("Status", "True") + line("z", ",") +
                                line("fvubHeight", " 7050 ") + line("OptPT", "True") +
                                line("FileZorv", "q.txt");
        QVERIFY(SettingsFile::read(file, state).ok);
        QVERIFY(state.Tool);
        QVERIFY(state.Status);
        QVERIFY(state.OptPT);
        QVERIFY(!state.OptEN);
        QCOMPARE(state.ListSeparator, QStringLiteral(","));
        QCOMPARE(state.fvubHeight, std::int16_t(7050));
        QCOMPARE(state.FileZorv, QStringLiteral("q.txt"));
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
        QVERIFY(state.FolderTable.isEmpty() || state.FolderTable.startsWith(u'z'));
        QVERIFY(state.sSapLogon.isEmpty());
        QVERIFY(!state.Tool);
        QVERIFY(state.ListSeparator.isEmpty());
        QVERIFY(state.SAT <= 1);
    }

    void treeLinesBeforeTheCountAreIgnored()
    {
        AppState state;
        const QByteArray file = line("ssAddTab 001 ", "early") + line("SAT", " 2 ") +
                                line("ssAddTab 002 ", "late") + line("ssAddTab 003 ", "beyond");
        QVERIFY(SettingsFile::read(file, state).ok);
        QCOMPARE(state.SAT, std::int16_t(2));
        QVERIFY(state.ssAddTab[1].isEmpty());
        QCOMPARE(state.ssAddTab[2], QStringLiteral("late"));
        QVERIFY(state.ssAddTab[3].isEmpty());
    }

    // Bad values stop the reading at their line; what came before stays.
    void badInputStopsAtTheLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("stopLine");
        QTest::addColumn<QString>("errorStart");
        const QByteArray head = line("Tool", "True") + line("z", ";");
        QTest::newRow("letters for a number")
            << head + line("SAT", "many") + line("Status", "True") << 3 << "Type mismatch";
        QTest::newRow("geometry overflow")
            << head + line("fvubTop", " 99999999 ") + line("Status", "True") << 3 << "Overflow";
        QTest::newRow("text for a flag")
            << head + line("ChOpt", "maybe") + line("Status", "True") << 3 << "Type mismatch";
        QTest::newRow("missing number")
            << head + line("fvubWidth", "") + line("Status", "True") << 3 << "Type mismatch";
        QTest::newRow("tree index above 999")
            << head + line("SAT", " 5000 ") + line("ssAddTab 1000", "x") + line("Status", "True")
            << 4 << "Subscript out of range";
    }

    void badInputStopsAtTheLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, stopLine);
        QFETCH(QString, errorStart);
        AppState state;
        const auto result = SettingsFile::read(file, state);
        QVERIFY(!result.ok);
        QCOMPARE(result.line, stopLine);
        QVERIFY2(result.error.startsWith(errorStart), qPrintable(result.error));
        QVERIFY(state.Tool);
        QCOMPARE(state.ListSeparator, QStringLiteral(";"));
        QVERIFY(!state.Status);
        QVERIFY(state.SAT >= 0 && state.SAT <= AppState::kMaxTreeEntries);
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
        QCOMPARE(state.Tool, tool);
    }

    void largeCountIsBroughtIntoRange()
    {
        AppState state;
        QVERIFY(SettingsFile::read(line("SAT", " 5000 "), state).ok);
        QCOMPARE(state.SAT, std::int16_t(AppState::kMaxTreeEntries));
        AppState negative;
        QVERIFY(SettingsFile::read(line("SAT", "-4 "), negative).ok);
        QCOMPARE(negative.SAT, std::int16_t(0));
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
        QVERIFY(state.Tool);
    }

    void failedWriteKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::pathIn(dir.path());
        AppState first;
        first.Tool = true;
        QVERIFY(SettingsFile::writeFile(path, first));
        const QByteArray before = SettingsFile::write(first);

        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        AppState second;
        second.Status = true;
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
        first.Tool = true;
        QVERIFY(SettingsFile::writeFile(path, first));
        const QByteArray before = SettingsFile::write(first);

        AppState big;
        big.SAT = 999;
        for (int i = 1; i <= 999; ++i)
            big.ssAddTab[i] = QStringLiteral("Root\\Folder\\TABLE%1").arg(i);
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
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
