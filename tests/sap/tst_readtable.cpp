#include "DemoCallKit.h"
#include "DemoHome.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{

QString field(const char* name, int offset, int length, const char* type, const char* text)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(QLatin1String(name))
        .arg(offset, 6, 10, QChar(u'0'))
        .arg(length, 6, 10, QChar(u'0'))
        .arg(QLatin1String(type), QString::fromUtf8(text));
}

QStringList sorted(QStringList lines)
{
    lines.sort();
    return lines;
}

QStringList repeated(const QString& line, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(line);
    return lines;
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}
} // namespace

class TestReadTable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_path;
    std::unique_ptr<DemoDestination> m_demo;

    Outcome read(const Request& request) { return call(*m_demo, request); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        m_path = DemoSystem::databasePath();
        m_demo = demoLogon(QStringLiteral("DEMO"), QStringLiteral("EN"));
        QVERIFY(m_demo);
    }

    void fields_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QStringList>("expected");

        // T000: MANDT 3, MTEXT 25, ORT01 25, MWAER 5, CCCATEGORY 1, CHANGEUSER 12,
        // CHANGEDATE 8, LOGSYS 10.
        QTest::newRow("all fields side by side")
            << "T000" << QStringList{} << ""
            << QStringList{field("MANDT", 0, 3, "C", "Client"),
                           field("MTEXT", 3, 25, "C", "Client name"),
                           field("ORT01", 28, 25, "C", "City"),
                           field("MWAER", 53, 5, "C", "Currency"),
                           field("CCCATEGORY", 58, 1, "C", "Client role"),
                           field("CHANGEUSER", 59, 12, "C", "Last changed by"),
                           field("CHANGEDATE", 71, 8, "D", "Date of last change"),
                           field("LOGSYS", 79, 10, "C", "Logical system")};
        QTest::newRow("all fields with a delimiter")
            << "T000" << QStringList{} << "|"
            << QStringList{field("MANDT", 0, 3, "C", "Client"),
                           field("MTEXT", 4, 25, "C", "Client name"),
                           field("ORT01", 30, 25, "C", "City"),
                           field("MWAER", 56, 5, "C", "Currency"),
                           field("CCCATEGORY", 62, 1, "C", "Client role"),
                           field("CHANGEUSER", 64, 12, "C", "Last changed by"),
                           field("CHANGEDATE", 77, 8, "D", "Date of last change"),
                           field("LOGSYS", 86, 10, "C", "Logical system")};
        QTest::newRow("the caller's order")
            << "T000" << QStringList{"LOGSYS", "MANDT"} << "|"
            << QStringList{field("LOGSYS", 0, 10, "C", "Logical system"),
                           field("MANDT", 11, 3, "C", "Client")};
        QTest::newRow("the delimiter takes one character")
            << "T000" << QStringList{"MANDT", "MTEXT"} << ";;"
            << QStringList{field("MANDT", 0, 3, "C", "Client"),
                           field("MTEXT", 4, 25, "C", "Client name")};
        QTest::newRow("a blank delimiter is none")
            << "T000" << QStringList{"MANDT", "MTEXT"} << " "
            << QStringList{field("MANDT", 0, 3, "C", "Client"),
                           field("MTEXT", 3, 25, "C", "Client name")};
        QTest::newRow("a type letter for every kind of field")
            << "ZTYPES" << QStringList{"MANDT", "ZNUMC", "ZCHAR", "ZDATS", "ZTIMS", "ZDEC",
                                       "ZCURR", "ZQUAN", "ZRAW",  "SPRAS", "WAERS", "MEINS"}
            << ";"
            << QStringList{field("MANDT", 0, 3, "C", "Client"),
                           field("ZNUMC", 4, 8, "N", "Numeric text"),
                           field("ZCHAR", 13, 20, "C", "Character field"),
                           field("ZDATS", 34, 8, "D", "Date"),
                           field("ZTIMS", 43, 6, "T", "Time"),
                           field("ZDEC", 50, 3, "P", "Decimal number"),
                           field("ZCURR", 54, 13, "P", "Amount"),
                           field("ZQUAN", 68, 13, "P", "Quantity"),
                           field("ZRAW", 82, 4, "X", "Raw bytes"),
                           field("SPRAS", 87, 1, "C", "Language Key"),
                           field("WAERS", 89, 5, "C", "Currency"),
                           field("MEINS", 95, 3, "C", "Base Unit of Measure")};
    }

    void fields()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, names);
        QFETCH(QString, delimiter);
        QFETCH(QStringList, expected);
        const Outcome outcome = read({table, names, {}, delimiter, QStringLiteral("X"), {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QCOMPARE(outcome.fields, expected);
        QVERIFY(outcome.data.isEmpty());
    }

    void fieldTextsInTheLogonLanguage()
    {
        const auto portuguese = demoLogon(QStringLiteral("DEMO"), QStringLiteral("PT"));
        QVERIFY(portuguese);
        const Outcome outcome =
            call(*portuguese, {"T000", {"MANDT", "MTEXT", "CHANGEDATE"}, {}, "|", "X", {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QCOMPARE(outcome.fields,
                 (QStringList{field("MANDT", 0, 3, "C", "Mandante"),
                              field("MTEXT", 4, 25, "C", "Nome do mandante"),
                              field("CHANGEDATE", 30, 8, "D", "Data da modificação")}));
    }

    // The type table maps INT4 to the hex letter X, as the dictionary's internal type.
    void integerFieldsAreReportedAsHex()
    {
        const Outcome outcome = read({"ZTYPES", {"ZINT4"}, {}, {}, "X", {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QCOMPARE(outcome.fields, QStringList{field("ZINT4", 0, 10, "X", "Integer")});
    }

    void data_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QStringList>("expected");

        // Each value at its offset in its length; trailing blanks of the line dropped.
        QTest::newRow("every type, side by side")
            << "ZTYPES" << QStringList{} << ""
            << QStringList{
                   "10000000001Plain text          20070312134500*.5     1234.56        1.500 "
                   "00000001  0102EEUR  KG",
                   "10000000002Ação; \"quoted\", ß   00000000000000*5-     1234.56-       0.000 "
                   "FFFFFFFF  FF00PBRL  ST",
                   "10000000003                    19991231235959*.0*999999999.99*99999999.999"
                   "7FFFFFFF",
                   "10000000004  leading blanks    20240229120000*9-        0.01        0.001-"
                   "00000000  00  DUSD  M"};
        QTest::newRow("numbers with a delimiter")
            << "ZTYPES" << QStringList{"ZNUMC", "ZDEC", "ZCURR", "ZQUAN", "ZINT4", "ZRAW"} << "|"
            << QStringList{"00000001|*.5|     1234.56 |       1.500 |00000001  |0102",
                           "00000002|*5-|     1234.56-|       0.000 |FFFFFFFF  |FF00",
                           "00000003|*.0|*999999999.99|*99999999.999|7FFFFFFF  |",
                           "00000004|*9-|        0.01 |       0.001-|00000000  |00"};
        QTest::newRow("blanks inside the line stay")
            << "ZTYPES" << QStringList{"ZCHAR", "ZNUMC"} << ""
            << QStringList{"Plain text          00000001", "Ação; \"quoted\", ß   00000002",
                           "                    00000003", "  leading blanks    00000004"};
        QTest::newRow("clients with a delimiter")
            << "T000" << QStringList{} << "|"
            << QStringList{"000|SAP AG Konzern           |Walldorf                 |EUR  |S|SAP  "
                           "       |20020101|",
                           "001|Auslieferungsmandant R11 |Kundstadt                |EUR  |T|DEMO "
                           "       |20050312|",
                           "100|Demo – Vendas & Finanças |São Paulo                |BRL  |C|DEMO "
                           "       |20070312|DMOCLNT100"};
    }

    void data()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, names);
        QFETCH(QString, delimiter);
        QFETCH(QStringList, expected);
        const Outcome outcome = read({table, names, {}, delimiter, {}, {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QCOMPARE(sorted(outcome.data), sorted(expected));
    }

    void noDataLeavesDataEmpty()
    {
        const Outcome outcome = read({"T001", {"BUKRS"}, {}, {}, "X", {}, {}});
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.fields.size(), 1);
        QVERIFY(outcome.data.isEmpty());
        QCOMPARE(read({"T001", {"BUKRS"}, {}, {}, " ", {}, {}}).data.size(), 6);
    }

    void rowCountAndSkips_data()
    {
        QTest::addColumn<QString>("rowCount");
        QTest::addColumn<QString>("rowSkips");
        QTest::addColumn<int>("from"); // index into all six company codes
        QTest::addColumn<int>("count");

        QTest::newRow("0 means all") << "0"
                                     << "0" << 0 << 6;
        QTest::newRow("empty means all") << ""
                                         << "" << 0 << 6;
        QTest::newRow("at most two") << "2"
                                     << "0" << 0 << 2;
        QTest::newRow("more than there are") << "100"
                                             << "0" << 0 << 6;
        QTest::newRow("skips four") << "0"
                                    << "4" << 4 << 2;
        QTest::newRow("skips two, then three") << "3"
                                               << "2" << 2 << 3;
        QTest::newRow("skips them all") << "0"
                                        << "10" << 6 << 0;
    }

    void rowCountAndSkips()
    {
        QFETCH(QString, rowCount);
        QFETCH(QString, rowSkips);
        QFETCH(int, from);
        QFETCH(int, count);
        const QStringList all = read({"T001", {"BUKRS"}, {}, {}, {}, {}, {}}).data;
        QCOMPARE(sorted(all), (QStringList{"1000", "2000", "3000", "4000", "5000", "6000"}));
        const Outcome outcome = read({"T001", {"BUKRS"}, {}, {}, {}, rowCount, rowSkips});
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.data, all.mid(from, count));
    }

    void clientDependentTablesShowOnlyTheLogonClient()
    {
        const Outcome customers = read({"KNA1", {"MANDT", "KUNNR"}, {}, "|", {}, {}, {}});
        QVERIFY(customers.ok);
        QCOMPARE(customers.data.size(), 500);
        for (const QString& line : customers.data)
            QVERIFY2(line.startsWith(QLatin1String("100|")), qPrintable(line));
        // The other client's rows stay out of reach whatever the condition says.
        QCOMPARE(read({"KNA1", {"KUNNR"}, {"MANDT = '001'"}, {}, {}, {}, {}}).data.size(), 0);
        QCOMPARE(read({"KNA1", {"KUNNR"}, {"MANDT = '001' OR MANDT = '100'"}, {}, {}, {}, {}})
                     .data.size(),
                 500);
        // The table of clients is the same in every client.
        QCOMPARE(sorted(read({"T000", {"MANDT"}, {}, {}, {}, {}, {}}).data),
                 (QStringList{"000", "001", "100"}));
    }

    void optionsSelectRows_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("keys");

        QTest::newRow("one empty line is no condition")
            << QStringList{""} << QStringList{"1", "2", "3", "4"};
        QTest::newRow("NUMC literal padded") << QStringList{"ZNUMC = 3"} << QStringList{"3"};
        QTest::newRow("packed compared as a number")
            << QStringList{"ZCURR < 0"} << QStringList{"2"};
        QTest::newRow("LIKE tells case") << QStringList{"ZCHAR LIKE 'plain%'"} << QStringList{};
        QTest::newRow("LIKE") << QStringList{"ZCHAR LIKE 'Plain%'"} << QStringList{"1"};
        QTest::newRow("over two lines")
            << QStringList{"ZDATS = '00000000' OR", "ZTIMS = '235959'"} << QStringList{"2", "3"};
        QTest::newRow("IN") << QStringList{"WAERS IN ( 'EUR' , 'USD' )"} << QStringList{"1", "4"};
    }

    void optionsSelectRows()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, keys);
        const Outcome outcome = read({"ZTYPES", {"ZNUMC"}, options, {}, {}, {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QStringList numbers;
        for (const QString& line : outcome.data)
            numbers.append(QString::number(line.toInt()));
        QCOMPARE(sorted(numbers), keys);
    }

    void exceptions_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");

        QTest::newRow("unknown table")
            << "DEMO"
            << "ZNOSUCH" << QStringList{} << QStringList{} << "TABLE_NOT_AVAILABLE";
        QTest::newRow("structure")
            << "DEMO"
            << "BAPIRET2" << QStringList{} << QStringList{} << "TABLE_WITHOUT_DATA";
        QTest::newRow("unknown field")
            << "DEMO"
            << "T000" << QStringList{"MANDT", "NOSUCH"} << QStringList{} << "FIELD_NOT_VALID";
        QTest::newRow("bad condition")
            << "DEMO"
            << "T000" << QStringList{"MANDT"} << QStringList{"MANDT ="} << "OPTION_NOT_VALID";
        QTest::newRow("no authority for BKPF")
            << "AUDIT"
            << "BKPF" << QStringList{"BELNR"} << QStringList{} << "NOT_AUTHORIZED";
        QTest::newRow("no authority for BSEG")
            << "AUDIT"
            << "BSEG" << QStringList{} << QStringList{} << "NOT_AUTHORIZED";
        QTest::newRow("KNA1 with every field is wider than a line")
            << "DEMO"
            << "KNA1" << QStringList{} << QStringList{} << "DATA_BUFFER_EXCEEDED";
        QTest::newRow("too wide even when no row matches")
            << "DEMO"
            << "KNA1" << QStringList{} << QStringList{"KUNNR = 'NOSUCH'"} << "DATA_BUFFER_EXCEEDED";
        // 35*7 + 25*5 + 30 + 30 + 31 + 20 + 16 + 16 = 513
        QTest::newRow("513 characters")
            << "DEMO"
            << "KNA1" << QStringList{"NAME1", "NAME2", "ORT01", "STRAS", "NAME3", "NAME4",
                                     "ORT02", "BAHNE", "BAHNS", "MCOD1", "MCOD2", "MCOD3",
                                     "TELTX", "TELX1", "TELFX", "STCEG", "TELF1", "TELF2"}
            << QStringList{} << "DATA_BUFFER_EXCEEDED";
        QTest::newRow("a float field")
            << "DEMO"
            << "ZFLOAT" << QStringList{} << QStringList{} << "SYSTEM_FAILURE";
    }

    void exceptions()
    {
        QFETCH(QString, user);
        QFETCH(QString, table);
        QFETCH(QStringList, names);
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const auto destination = demoLogon(user, QStringLiteral("EN"));
        QVERIFY(destination);
        const Outcome outcome = call(*destination, {table, names, options, {}, {}, {}, {}});
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.exception, expected);
        QVERIFY(outcome.data.isEmpty());
    }

    void successesNextToTheExceptions()
    {
        // 512 characters: the 513 above with TELF2 (16) replaced by TELBX (15).
        const Outcome wide =
            read({"KNA1",
                  {"NAME1", "NAME2", "ORT01", "STRAS", "NAME3", "NAME4", "ORT02", "BAHNE", "BAHNS",
                   "MCOD1", "MCOD2", "MCOD3", "TELTX", "TELX1", "TELFX", "STCEG", "TELF1", "TELBX"},
                  {},
                  {},
                  {},
                  "3",
                  {}});
        QVERIFY2(wide.ok, qPrintable(wide.exception));
        QCOMPARE(wide.data.size(), 3);
        const auto audit = demoLogon(QStringLiteral("AUDIT"), QStringLiteral("EN"));
        QVERIFY(audit);
        QVERIFY(call(*audit, {"T001", {"BUKRS"}, {}, {}, {}, {}, {}}).ok);
        QVERIFY(read({"BKPF", {"BELNR"}, {}, {}, {}, "1", {}}).ok);
        // The float field is only a failure when it is read.
        QVERIFY(read({"ZFLOAT", {"ZNUMC"}, {}, {}, {}, {}, {}}).ok);
    }

    // A field catalogue read (NO_DATA, no FIELDS) must work for wide tables too, or their
    // fields could never be chosen; the classic module only checks the width when it reads.
    void noDataDescribesTablesWiderThanALine()
    {
        const Outcome outcome = read({"KNA1", {}, {}, {}, "X", {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QVERIFY(outcome.fields.size() > 50);
        QVERIFY(outcome.fields.first().startsWith(QLatin1String("MANDT\t000000\t000003\tC\t")));
        QVERIFY(outcome.data.isEmpty());
    }

    void hostileOptionsNeverChangeTheDatabase_data()
    {
        QTest::addColumn<QStringList>("options");

        QTest::newRow("injection") << QStringList{"' OR 1=1 --"};
        QTest::newRow("drop") << QStringList{"; DROP TABLE KNA1"};
        QTest::newRow("drop after a condition") << QStringList{"KUNNR = '1' ; DROP TABLE KNA1"};
        QTest::newRow("delete in a quoted name") << QStringList{"KUNNR = \"1\" ; DELETE FROM KNA1"};
        QTest::newRow("unbalanced quote") << QStringList{"NAME1 = 'x"};
        QTest::newRow("unbalanced parenthesis") << QStringList{"( KUNNR = '1'"};
        QTest::newRow("literal split across lines") << QStringList{"NAME1 = 'Mül", "ler'"};
        QTest::newRow("unknown field") << QStringList{"NOSUCH = '1'"};
        QTest::newRow("10,000 lines of garbage") << repeated(QStringLiteral("; DROP"), 10000);
        QTest::newRow("10,000 nested parentheses") << repeated(QStringLiteral("("), 10000);
    }

    void hostileOptionsNeverChangeTheDatabase()
    {
        QFETCH(QStringList, options);
        const QByteArray before = fileHash(m_path);
        QVERIFY(!before.isEmpty());
        const Outcome outcome = read({"KNA1", {"KUNNR"}, options, {}, {}, {}, {}});
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.exception == u"OPTION_NOT_VALID" ||
                     outcome.exception == u"FIELD_NOT_VALID",
                 qPrintable(outcome.exception));
        QCOMPARE(fileHash(m_path), before);
        QCOMPARE(read({"KNA1", {"KUNNR"}, {}, {}, {}, {}, {}}).data.size(), 500);
    }

    void quotedHostileTextIsOnlyALiteral()
    {
        const QByteArray before = fileHash(m_path);
        const Outcome outcome =
            read({"KNA1", {"KUNNR"}, {"NAME1 = '; DROP TABLE KNA1 --'"}, {}, {}, {}, {}});
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QVERIFY(outcome.data.isEmpty());
        QCOMPARE(fileHash(m_path), before);
    }

    // A long but valid condition is either read or refused as a bad option; a system failure
    // would make the program drop its connection for a mere query.
    void aLongConditionIsNotASystemFailure()
    {
        QStringList options = repeated(QStringLiteral("ZNUMC = '00000001' OR"), 10000);
        options.append(QStringLiteral("ZNUMC = '00000002'"));
        const Outcome outcome = read({"ZTYPES", {"ZNUMC"}, options, {}, {}, {}, {}});
        if (outcome.ok)
            QCOMPARE(sorted(outcome.data), (QStringList{"00000001", "00000002"}));
        else
            QCOMPARE(outcome.exception, QStringLiteral("OPTION_NOT_VALID"));
    }

    void otherFunctionsAndClosedConnections()
    {
        RfcFunction other(QStringLiteral("RFC_SYSTEM_INFO"), m_demo.get());
        QVERIFY(!other.call());
        QCOMPARE(other.exception(), QStringLiteral("FUNCTION_NOT_FOUND"));

        auto closed = demoLogon(QStringLiteral("DEMO"), QStringLiteral("EN"));
        QVERIFY(closed);
        closed->logoff();
        const Outcome outcome = call(*closed, {"T000", {}, {}, {}, {}, {}, {}});
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.exception, QStringLiteral("SYSTEM_FAILURE"));

        RfcFunction nowhere(QStringLiteral("RFC_READ_TABLE"), nullptr);
        QVERIFY(!nowhere.call());
        QCOMPARE(nowhere.exception(), QStringLiteral("SYSTEM_FAILURE"));
    }
};

QTEST_GUILESS_MAIN(TestReadTable)
#include "tst_readtable.moc"
