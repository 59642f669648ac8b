#include "query/document/QueryDocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace
{
using Entry = QueryDocumentFile::FieldEntry;

QByteArray line(const char* key, const QByteArray& value)
{
    return QByteArray(key).leftJustified(13, ' ') + value + "\r\n";
}

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(ZORV_TEST_DATA "/query/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

// The query the twelve-field fixture holds: KNA1 fields, no options.
QueryDocument twelveFieldDocument()
{
    const QList<Entry> fields = {
        {"C", 3, "KNA1-MANDT", "Client"},       {"C", 10, "KNA1-KUNNR", "Customer"},
        {"C", 3, "KNA1-LAND1", "Country"},      {"C", 35, "KNA1-NAME1", "Name"},
        {"C", 35, "KNA1-NAME2", "Name 2"},      {"C", 35, "KNA1-ORT01", "City"},
        {"C", 10, "KNA1-PSTLZ", "Postal Code"}, {"C", 3, "KNA1-REGIO", "Região"},
        {"C", 35, "KNA1-STRAS", "Street"},      {"C", 16, "KNA1-TELF1", "Telephone 1"},
        {"D", 8, "KNA1-ERDAT", "Created on"},   {"C", 12, "KNA1-ERNAM", "Created by"}};
    QueryDocument document;
    document.exportFile = QStringLiteral("C:\\Exports\\Customers.csv");
    document.rowLimitShown = true;
    document.rowLimit = 20;
    document.fieldCount = int(fields.size());
    for (const Entry& field : fields)
        document.fields.append(QueryDocumentFile::fieldEntry(field));
    return document;
}

QueryDocument readOk(const QByteArray& bytes)
{
    QueryDocument document;
    const auto result = QueryDocumentFile::read(bytes, document);
    if (!result.ok)
        qWarning("unexpected read error: %s", qPrintable(result.error));
    return document;
}
} // namespace

Q_DECLARE_METATYPE(QueryDocumentFile::FieldEntry)

class TestQueryDocumentFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesTheTwelveFieldExample()
    {
        const QByteArray expected = fixture("twelve-fields.txt");
        QCOMPARE(QueryDocumentFile::write(twelveFieldDocument()), expected);
        QVERIFY(twelveFieldDocument() == readOk(expected));
    }

    void roundTripsByteForByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        const auto head = [](const QByteArray& myTable, const char* flags, const char* rows) {
            return line("MyTableF", myTable) + line("ChSsl", flags) + line("ChRow", flags) +
                   line("sRows", rows);
        };
        QTest::newRow("twelve fields") << fixture("twelve-fields.txt");
        QTest::newRow("empty query")
            << head("", "False", " 0 ") + line("SFI", " 0 ") + line("SOP", " 0 ");
        QTest::newRow("flags, negative limit, options")
            << head("/srv/out/orders.txt", "True", "-1 ") + line("SFI", " 1 ") +
                   line("ssField  001", "P013 VBAP-NETWR Net value") + line("SOP", " 2 ") +
                   line("ssOption 001", "VBAP-NETWR > 1000") +
                   line("ssOption 002", "AND VBAP-WERKS = '1000'");
        QTest::newRow("blanks kept, empty entries")
            << head("  C:\\My Exports\\a b.csv  ", "False", " 2147483647 ") + line("SFI", " 2 ") +
                   line("ssField  001", "") + line("ssField  002", "C010 KNA1-KUNNR ") +
                   line("SOP", " 1 ") + line("ssOption 001", "   ");
        QTest::newRow("accents in the code page")
            << head("C:\\Relat\xf3rios\\Mar\xe7o.csv", "False", " 0 ") + line("SFI", " 1 ") +
                   line("ssField  001", "C030 KNA1-ORT01 Localit\xe9 \x80") + line("SOP", " 0 ");
    }

    void roundTripsByteForByte()
    {
        QFETCH(QByteArray, file);
        QueryDocument document;
        const auto result = QueryDocumentFile::read(file, document);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(QueryDocumentFile::write(document), file);
    }

    void keepsTextTheCodePageCannotHold()
    {
        QueryDocument document;
        document.exportFile = QStringLiteral("/home/анна/запрос.csv");
        document.optionCount = 1;
        document.options = {QStringLiteral("KNA1-NAME1 = '客户'")};
        const QByteArray bytes = QueryDocumentFile::write(document);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(document == readOk(bytes));
        QCOMPARE(QueryDocumentFile::write(readOk(bytes)), bytes);
    }

    // The counts written are those of the entries written, 999 at most.
    void writesCountsOfTheEntries()
    {
        QueryDocument document;
        document.fieldCount = 7;
        document.fields = {QStringLiteral("C001 T-A a"), QStringLiteral("C001 T-B b")};
        for (int j = 1; j <= 1005; ++j)
            document.options.append(QStringLiteral("T-A = '%1'").arg(j));
        const QByteArray bytes = QueryDocumentFile::write(document);
        QVERIFY(bytes.contains("\r\nSFI           2 \r\nssField  001 C001 T-A a\r\n"));
        QVERIFY(bytes.contains("\r\nSOP           999 \r\n"));
        QVERIFY(bytes.endsWith("\r\nssOption 999 T-A = '999'\r\n"));
        QCOMPARE(readOk(bytes).options.size(), 999);
    }

    // Text elsewhere in a line never sets another key.
    void keysAreRecognisedByTheirKeyField_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("rows");
        QTest::newRow("option naming SFI and sRows")
            << line("SFI", " 1 ") + line("ssField  001", "C001 T-A a") + line("SOP", " 1 ") +
                   line("ssOption 001", "SFI          9 ") + line("ssOption 002", "sRows   77 ")
            << 1 << 1 << 0;
        QTest::newRow("path naming SOP and sRows")
            << line("MyTableF", "C:\\sRows   5 \\SOP   3 .csv") + line("SFI", " 0 ") << 0 << 0 << 0;
        QTest::newRow("field text naming SOP")
            << line("SFI", " 1 ") + line("ssField  001", "C001 T-A SOP          4 ") << 1 << 0 << 0;
        QTest::newRow("key not at the start")
            << line(" SFI", " 4 ") + line("xsRows", " 9 ") + line("SOP", " 2 ") << 0 << 2 << 0;
        QTest::newRow("key without padding")
            << QByteArray("SFI5\r\nsRows9\r\nSOP          1 \r\n") << 0 << 1 << 0;
        QTest::newRow("lower-case key") << line("sfi", " 3 ") + line("sRows", " 8 ") << 0 << 0 << 8;
    }

    void keysAreRecognisedByTheirKeyField()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, fields);
        QFETCH(int, options);
        QFETCH(int, rows);
        const QueryDocument document = readOk(file);
        QCOMPARE(document.fieldCount, fields);
        QCOMPARE(document.optionCount, options);
        QCOMPARE(document.rowLimit, rows);
    }

    void entriesFollowTheirCounts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("fields before SFI")
            << line("ssField  001", "early") + line("SFI", " 2 ") + line("ssField  002", "late")
            << QStringList{"", "late"} << QStringList{};
        QTest::newRow("options before SOP") << line("ssOption 001", "early") + line("SOP", " 1 ")
                                            << QStringList{} << QStringList{""};
        QTest::newRow("lines beyond the counts")
            << line("SFI", " 1 ") + line("ssField  001", "a") + line("ssField  002", "b") +
                   line("SOP", " 1 ") + line("ssOption 001", "x") + line("ssOption 002", "y")
            << QStringList{"a"} << QStringList{"x"};
        QTest::newRow("missing lines")
            << line("SFI", " 3 ") + line("ssField  002", "b") + line("SOP", " 2 ")
            << QStringList{"", "b", ""} << QStringList{"", ""};
        QTest::newRow("number zero and two digits")
            << line("SFI", " 2 ") + line("ssField  000", "zero") + line("ssField  01", "short")
            << QStringList{"", ""} << QStringList{};
        QTest::newRow("options after fields share no numbers")
            << line("SFI", " 1 ") + line("SOP", " 1 ") + line("ssOption 001", "o") +
                   line("ssField  001", "f")
            << QStringList{"f"} << QStringList{"o"};
    }

    void entriesFollowTheirCounts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, options);
        const QueryDocument document = readOk(file);
        QCOMPARE(document.fields, fields);
        QCOMPARE(document.options, options);
    }

    // Reading stops at the first bad value; what was read before stays.
    void badValuesStopTheReading_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("error");
        const QString mismatch = QStringLiteral("Error 13: Type mismatch on ReadQuillon");
        const QString overflow = QStringLiteral("Error 6: Overflow on ReadQuillon");
        const QString subscript = QStringLiteral("Error 9: Subscript out of range on ReadQuillon");
        QTest::newRow("letters for SFI") << line("SFI", " twelve ") << mismatch;
        QTest::newRow("text for a flag") << line("ChSsl", "maybe") << mismatch;
        QTest::newRow("SFI beyond 16 bits") << line("SFI", " 40000 ") << overflow;
        QTest::newRow("row limit beyond 32 bits") << line("sRows", " 3000000000 ") << overflow;
        QTest::newRow("field number above 999")
            << line("SFI", " 1000 ") + line("ssField  001", "C001 T-A a") +
                   line("ssField  1000", "C001 T-B b")
            << subscript;
        QTest::newRow("option number above 999")
            << line("SOP", " 1200 ") + line("ssOption 1000", "x") << subscript;
    }

    void badValuesStopTheReading()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QString, error);
        QueryDocument document;
        const QByteArray file = line("MyTableF", "kept.csv") + bad + line("ChRow", "True");
        const auto result = QueryDocumentFile::read(file, document);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, error);
        QCOMPARE(document.exportFile, QStringLiteral("kept.csv"));
        QVERIFY(!document.rowLimitShown);
        QVERIFY(document.fields.size() <= QueryDocumentFile::kMaxEntries);
        QVERIFY(document.options.size() <= QueryDocumentFile::kMaxEntries);
        if (QTest::currentDataTag() == QByteArray("field number above 999")) {
            QCOMPARE(document.fields.size(), QueryDocumentFile::kMaxEntries);
            QCOMPARE(document.fields.first(), QStringLiteral("C001 T-A a"));
        }
    }

    void survivesOddFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("myTable");
        QTest::addColumn<int>("fields");
        QTest::newRow("empty") << QByteArray() << "" << 0;
        QTest::newRow("LF only") << QByteArray("MyTableF     a.csv\nSFI           1 \n"
                                               "ssField  001 C001 T-A a\n")
                                 << "a.csv" << 1;
        QTest::newRow("CR only") << QByteArray("MyTableF     a.csv\rSFI           1 \r") << "a.csv"
                                 << 1;
        QTest::newRow("mixed ends, no final end")
            << QByteArray("SFI           2 \r\nssField  001 x\rssField  002 y") << "" << 2;
        static const char binary[] = "\x00\x01\xff\xfe\x81\x8d\r\n\x90\x9d\x00\r\n"
                                     "MyTableF     b\x00.csv\r\nSFI  \x00\xff\r\n";
        QTest::newRow("binary bytes")
            << QByteArray(binary, sizeof(binary) - 1)
            << QStringLiteral("b") + QChar(0) + QStringLiteral(".csv") << 0;
    }

    void survivesOddFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, myTable);
        QFETCH(int, fields);
        QueryDocument document;
        QueryDocumentFile::read(file, document);
        QCOMPARE(document.exportFile, myTable);
        QCOMPARE(document.fieldCount, fields);
        QCOMPARE(document.fields.size(), fields);
        QCOMPARE(readOk(QueryDocumentFile::write(document)).fields.size(), fields);
    }

    // A document that was read may still not be loadable into a window.
    void checksWhatCanBeLoaded_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        const QString subscript = QStringLiteral("Error 9: Subscript out of range on LoadQuillon");
        const QString mismatch = QStringLiteral("Error 13: Type mismatch on LoadQuillon");
        QTest::newRow("twelve fields") << fixture("twelve-fields.txt") << "";
        QTest::newRow("SFI of 1000") << line("SFI", " 1000 ") << subscript;
        QTest::newRow("SFI of 999 with empty entries") << line("SFI", " 999 ") << mismatch;
        QTest::newRow("negative SFI") << line("SFI", "-1 ") << subscript;
        QTest::newRow("SOP of 1000") << line("SOP", " 1000 ") << subscript;
        QTest::newRow("missing field line")
            << line("SFI", " 2 ") + line("ssField  001", "C001 T-A a") << mismatch;
        QTest::newRow("empty options are fine")
            << line("SFI", " 0 ") + line("SOP", " 2 ") + line("ssOption 002", "") << "";
    }

    void checksWhatCanBeLoaded()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QCOMPARE(QueryDocumentFile::checkLoadable(readOk(file)), error);
    }

    void parsesFieldEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<Entry>("field");
        QTest::newRow("plain") << "C010 KNA1-KUNNR Customer"
                               << Entry{"C", 10, "KNA1-KUNNR", "Customer"};
        QTest::newRow("text with blanks and accents")
            << "C035 KNA1-NAME1 Razão  social " << Entry{"C", 35, "KNA1-NAME1", "Razão  social "};
        QTest::newRow("empty text") << "D008 KNA1-ERDAT " << Entry{"D", 8, "KNA1-ERDAT", ""};
        QTest::newRow("no blank after the key")
            << "D008 KNA1-ERDAT" << Entry{"D", 8, "KNA1-ERDAT", ""};
        QTest::newRow("type and length only") << "N999" << Entry{"N", 999, "", ""};
    }

    void parsesFieldEntries()
    {
        QFETCH(QString, entry);
        QFETCH(Entry, field);
        QString error;
        const auto parsed = QueryDocumentFile::parseFieldEntry(entry, &error);
        QVERIFY2(parsed.has_value(), qPrintable(error));
        QVERIFY(*parsed == field);
        // Entries the program writes itself read back as they were.
        if (entry.count(u' ') >= 2)
            QCOMPARE(QueryDocumentFile::fieldEntry(*parsed), entry);
    }

    void rejectsUnreadableEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("error");
        const QString mismatch = QStringLiteral("Error 13: Type mismatch on LoadQuillon");
        const QString overflow = QStringLiteral("Error 6: Overflow on LoadQuillon");
        QTest::newRow("empty") << "" << mismatch;
        QTest::newRow("too short for the length") << "C10" << mismatch;
        QTest::newRow("length not a number") << "Cx10 KNA1-KUNNR Customer" << mismatch;
        QTest::newRow("blank length") << "C    KNA1-KUNNR" << mismatch;
        QTest::newRow("negative length") << "C-10 KNA1-KUNNR" << overflow;
        QTest::newRow("length beyond three digits") << "C1e9 KNA1-KUNNR" << overflow;
    }

    void rejectsUnreadableEntries()
    {
        QFETCH(QString, entry);
        QFETCH(QString, error);
        QString message;
        QVERIFY(!QueryDocumentFile::parseFieldEntry(entry, &message));
        QCOMPARE(message, error);
        QVERIFY(!QueryDocumentFile::parseFieldEntry(entry, nullptr));
    }

    void writesAndReadsFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quillon KNA1.txt"));
        QString error;
        QVERIFY(QueryDocumentFile::writeFile(path, twelveFieldDocument(), &error));
        QVERIFY(error.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fixture("twelve-fields.txt"));
        QueryDocument document;
        QVERIFY(QueryDocumentFile::readFile(path, document).ok);
        QVERIFY(document == twelveFieldDocument());

        QueryDocument missing;
        const auto result = QueryDocumentFile::readFile(dir.filePath("none.txt"), missing);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("Error 53: File not found on ReadQuillon"));
        QCOMPARE(QueryDocumentFile::readFile(dir.path(), missing).error,
                 QStringLiteral("Error 75: Path/File access error on ReadQuillon"));

        // A folder in the way of the document cannot be replaced by it.
        QVERIFY(!QueryDocumentFile::writeFile(dir.path(), twelveFieldDocument(), &error));
        QCOMPARE(error, QStringLiteral("Path/File access error"));
        QVERIFY(QFileInfo(dir.path()).isDir());
        QVERIFY(!QueryDocumentFile::writeFile(dir.filePath("no/such/folder/q.txt"),
                                              twelveFieldDocument(), nullptr));
    }

    // A full disk shows as a write that stops short; the previous file must stay whole.
    void failedWriteKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orders.txt"));
        QVERIFY(QueryDocumentFile::writeFile(path, twelveFieldDocument(), nullptr));

        QueryDocument big;
        for (int i = 1; i <= 999; ++i)
            big.fields.append(QStringLiteral("C010 KNA1-KUNNR Customer number %1").arg(i));
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit oldLimit{};
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        QString error;
        const bool written = QueryDocumentFile::writeFile(path, big, &error);
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QCOMPARE(error, QStringLiteral("Path/File access error"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fixture("twelve-fields.txt"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"orders.txt"});
    }

    void folderOfAPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* tag, const char* path, const char* folder) {
            QTest::newRow(tag) << QString::fromUtf8(path) << QString::fromUtf8(folder);
        };
        row("Windows path", "C:\\Queries\\orders.txt", "C:\\Queries\\");
        row("Unix path", "/home/ana/q/orders.txt", "/home/ana/q/");
        row("no folder", "Quillon3", "");
        row("empty", "", "");
        row("mixed separators, last wins", "C:\\a/b\\c.txt", "C:\\a/b\\");
        row("dot in the folder", "C:\\v1.2\\Quillon2", "C:\\v1.2\\");
        row("ends with separator", "C:\\Queries\\", "C:\\Queries\\");
        row("network share", "\\\\srv\\share\\q.txt", "\\\\srv\\share\\");
    }

    void folderOfAPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(QueryDocumentFile::folderOf(path), folder);
    }
};

QTEST_GUILESS_MAIN(TestQueryDocumentFile)
#include "tst_querydocumentfile.moc"
