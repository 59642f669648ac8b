#include "DemoCallKit.h"
#include "DemoHome.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoDictionary.h"
#include "sap/demo/DemoGenerator.h"
#include "sap/demo/DemoSystem.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
qint64 scalar(const QString& path, const QString& sql)
{
    SqliteDatabase db;
    if (!db.open(path, SqliteDatabase::Mode::ReadOnly))
        return -1;
    SqliteStatement query(db.handle(), sql);
    return query.step() ? query.integer(0) : -1;
}

QStringList rows(const QString& path, const QString& sql, int columns)
{
    SqliteDatabase db;
    QStringList result;
    if (!db.open(path, SqliteDatabase::Mode::ReadOnly))
        return {QStringLiteral("cannot open")};
    SqliteStatement query(db.handle(), sql);
    while (query.step()) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells.append(query.text(c));
        result.append(cells.join(u' ').trimmed());
    }
    return result;
}

// Every row of every table, in the order the database keeps them.
QByteArray contentHash(const QString& path)
{
    SqliteDatabase db;
    if (!db.open(path, SqliteDatabase::Mode::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QList<std::pair<QString, int>> tables{{QStringLiteral("ZORV_META"), 2}};
    for (const auto& table : DemoDictionary::instance().tables()) {
        if (!table.isStructure())
            tables.append({table.name, static_cast<int>(table.fields.size())});
    }
    for (const auto& [table, columns] : tables) {
        SqliteStatement query(db.handle(),
                              QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        while (query.step()) {
            for (int c = 0; c < columns; ++c) {
                int bytes = 0;
                const char* data = query.utf8(c, &bytes);
                hash.addData(QByteArrayView(data, bytes));
                hash.addData("\x1f");
            }
        }
    }
    return hash.result();
}
} // namespace

class TestDemoSystem : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_path;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        m_path = DemoSystem::databasePath();
    }

    void databaseLivesUnderTheHomeFolder()
    {
        QCOMPARE(m_path, QDir(m_home.path()).filePath(QStringLiteral("demo.sqlite")));
        QVERIFY(QFile::exists(m_path));
        int version = 0;
        int scale = 0;
        QVERIFY(DemoSystem::readMeta(m_path, &version, &scale));
        QCOMPARE(version, DemoGenerator::kVersion);
        QCOMPARE(scale, 1);
    }

    void buildsAreDeterministic()
    {
        QTemporaryDir other;
        const QString copy = other.filePath(QStringLiteral("again.sqlite"));
        QString error;
        QVERIFY2(DemoGenerator::build(copy, 1, &error), qPrintable(error));
        QVERIFY(!contentHash(m_path).isEmpty());
        QCOMPARE(contentHash(copy), contentHash(m_path));
        QVERIFY(!QFile::exists(copy + QStringLiteral(".partial")));
    }

    void rowCounts_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("scale1");

        QTest::newRow("KNA1 with five rows in client 001") << "KNA1" << 505;
        QTest::newRow("LFA1") << "LFA1" << 300;
        QTest::newRow("MARA") << "MARA" << 400;
        QTest::newRow("MAKT in two languages") << "MAKT" << 800;
        QTest::newRow("VBAK") << "VBAK" << 2000;
        QTest::newRow("VBAP") << "VBAP" << 6000;
        QTest::newRow("BKPF") << "BKPF" << 2000;
        QTest::newRow("BSEG") << "BSEG" << 10000;
        QTest::newRow("T000") << "T000" << 3;
        QTest::newRow("T001") << "T001" << 6;
        QTest::newRow("T005") << "T005" << 8;
        QTest::newRow("T005T") << "T005T" << 16;
        QTest::newRow("ZTYPES") << "ZTYPES" << 4;
    }

    void rowCounts()
    {
        QFETCH(QString, table);
        QFETCH(int, scale1);
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM \"") + table + u'"'),
                 qint64(scale1));
    }

    void largeTablesGrowWithTheScale()
    {
        const DemoGenerator::Counts three = DemoGenerator::countsFor(3);
        QCOMPARE(three.customers, 1500L);
        QCOMPARE(three.vendors, 900L);
        QCOMPARE(three.materials, 1200L);
        QCOMPARE(three.salesOrders, 6000L);
        QCOMPARE(three.documents, 6000L);
        QCOMPARE(DemoGenerator::countsFor(0).customers, 500L);

        QTemporaryDir other;
        const QString path = other.filePath(QStringLiteral("two.sqlite"));
        QString error;
        QVERIFY2(DemoGenerator::build(path, 2, &error), qPrintable(error));
        QCOMPARE(scalar(path, QStringLiteral("SELECT COUNT(*) FROM KNA1 WHERE MANDT = '100'")),
                 qint64(1000));
        QCOMPARE(scalar(path, QStringLiteral("SELECT COUNT(*) FROM KNA1 WHERE MANDT = '001'")),
                 qint64(5));
        QCOMPARE(scalar(path, QStringLiteral("SELECT COUNT(*) FROM BSEG")), qint64(20000));
        QCOMPARE(scalar(path, QStringLiteral("SELECT COUNT(*) FROM T000")), qint64(3));
    }

    void ensureKeepsACurrentDatabase()
    {
        {
            SqliteDatabase db;
            QVERIFY(db.open(m_path, SqliteDatabase::Mode::Create));
            QVERIFY(db.exec(QStringLiteral("CREATE TABLE ZMARK (X)")));
        }
        QString error;
        QVERIFY(DemoSystem::ensureDatabase(&error));
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM ZMARK")), qint64(0));
    }

    void ensureRebuildsAnotherVersion_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("from an earlier generator") << DemoGenerator::kVersion - 1;
        QTest::newRow("from a later generator") << DemoGenerator::kVersion + 1;
    }

    void ensureRebuildsAnotherVersion()
    {
        QFETCH(int, version);
        {
            SqliteDatabase db;
            QVERIFY(db.open(m_path, SqliteDatabase::Mode::Create));
            QVERIFY(db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ZMARK (X)")));
            QVERIFY(db.exec(QStringLiteral("UPDATE ZORV_META SET VALUE = %1 WHERE NAME = 'version'")
                                .arg(version)));
        }
        QString error;
        QVERIFY2(DemoSystem::ensureDatabase(&error), qPrintable(error));
        int built = 0;
        int scale = 0;
        QVERIFY(DemoSystem::readMeta(m_path, &built, &scale));
        QCOMPARE(built, DemoGenerator::kVersion);
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM ZMARK")), qint64(-1));
    }

    void ensureReplacesAFileThatIsNoDatabase()
    {
        QTemporaryDir home;
        qputenv("ZORV_HOME", home.path().toUtf8());
        const QString path = DemoSystem::databasePath();
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("this is not a database\n");
        }
        int version = 0;
        int scale = 0;
        QVERIFY(!DemoSystem::readMeta(path, &version, &scale));
        QString error;
        const bool built = DemoSystem::ensureDatabase(&error);
        qputenv("ZORV_HOME", m_home.path().toUtf8());
        QVERIFY2(built, qPrintable(error));
        QVERIFY(DemoSystem::readMeta(path, &version, &scale));
        QVERIFY(
            !DemoSystem::readMeta(home.filePath(QStringLiteral("none.sqlite")), &version, &scale));
    }

    void ensureRebuildsForAnotherConfiguredScale()
    {
        QTemporaryDir home;
        qputenv("ZORV_HOME", home.path().toUtf8());
        QString error;
        bool ok = DemoSystem::ensureDatabase(&error);
        qputenv("ZORV_DEMO_SCALE", "2");
        ok = ok && DemoSystem::ensureDatabase(&error);
        qunsetenv("ZORV_DEMO_SCALE");
        const QString path = DemoSystem::databasePath();
        qputenv("ZORV_HOME", m_home.path().toUtf8());
        QVERIFY2(ok, qPrintable(error));
        int version = 0;
        int scale = 0;
        QVERIFY(DemoSystem::readMeta(path, &version, &scale));
        QCOMPARE(scale, 2);
        QCOMPARE(scalar(path, QStringLiteral("SELECT COUNT(*) FROM VBAK")), qint64(4000));
    }

    void dictionaryTablesDescribeEveryTable()
    {
        const QStringList required = {"T000",  "T001",  "T005",  "T005T", "KNA1", "LFA1",
                                      "MARA",  "MAKT",  "VBAK",  "VBAP",  "BKPF", "BSEG",
                                      "DD02L", "DD02T", "DD03L", "DD04T"};
        for (const QString& table : required) {
            QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM DD02L WHERE TABCLASS = "
                                                   "'TRANSP' AND TABNAME = '%1'")
                                        .arg(table)),
                     qint64(1));
            QVERIFY2(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)) > 0,
                     qPrintable(table));
            QCOMPARE(
                scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM DD02T WHERE TABNAME = '%1' "
                                              "AND DDLANGUAGE IN ('E', 'P') AND DDTEXT <> ''")
                                   .arg(table)),
                qint64(2));
        }
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT TABCLASS = 'INTTAB' FROM DD02L WHERE "
                                               "TABNAME = 'BAPIRET2'")),
                 qint64(1));
        int fields = 0;
        for (const auto& table : DemoDictionary::instance().tables())
            fields += static_cast<int>(table.fields.size());
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM DD03L")), qint64(fields));
        QCOMPARE(scalar(m_path, QStringLiteral("SELECT COUNT(*) FROM DD02L")),
                 qint64(DemoDictionary::instance().tables().size()));
    }

    void dictionaryRowsOfT000()
    {
        QCOMPARE(rows(m_path,
                      QStringLiteral("SELECT FIELDNAME, POSITION, KEYFLAG, DATATYPE, "
                                     "LENG, INTTYPE FROM DD03L WHERE TABNAME = 'T000' "
                                     "ORDER BY POSITION"),
                      6),
                 (QStringList{"MANDT 0001 X CLNT 000003 C", "MTEXT 0002  CHAR 000025 C",
                              "ORT01 0003  CHAR 000025 C", "MWAER 0004  CUKY 000005 C",
                              "CCCATEGORY 0005  CHAR 000001 C", "CHANGEUSER 0006  CHAR 000012 C",
                              "CHANGEDATE 0007  DATS 000008 D", "LOGSYS 0008  CHAR 000010 C"}));
        QCOMPARE(rows(m_path,
                      QStringLiteral("SELECT DDLANGUAGE, DDTEXT FROM DD04T WHERE "
                                     "ROLLNAME = 'MTEXT' ORDER BY DDLANGUAGE"),
                      2),
                 (QStringList{"E Client name", "P Nome do mandante"}));
        QCOMPARE(rows(m_path,
                      QStringLiteral("SELECT CLIDEP FROM DD02L WHERE TABNAME IN ('KNA1', "
                                     "'DD03L') ORDER BY TABNAME"),
                      1),
                 (QStringList{"", "X"}));
    }

    // A real table cannot hold a value longer than its field, not even one that upper-casing
    // made longer ("Straße" gives "STRASSE").
    void everyValueFitsItsField()
    {
        SqliteDatabase db;
        QVERIFY(db.open(m_path, SqliteDatabase::Mode::ReadOnly));
        SqliteStatement fields(
            db.handle(), QStringLiteral("SELECT F.TABNAME, F.FIELDNAME, CAST(F.LENG AS INTEGER) "
                                        "FROM DD03L F JOIN DD02L T ON T.TABNAME = F.TABNAME "
                                        "WHERE T.TABCLASS = 'TRANSP' "
                                        "AND F.INTTYPE IN ('C', 'N', 'D', 'T')"));
        int columns = 0;
        QStringList tooLong;
        while (fields.step()) {
            ++columns;
            const QString table = fields.text(0);
            const QString field = fields.text(1);
            const qint64 length = fields.integer(2);
            SqliteStatement longer(db.handle(),
                                   QStringLiteral("SELECT COUNT(*), MAX(length(\"%2\")) FROM "
                                                  "\"%1\" WHERE length(\"%2\") > ?")
                                       .arg(table, field));
            longer.bindInt(1, length);
            QVERIFY2(longer.step(), qPrintable(table + u'-' + field));
            if (longer.integer(0) > 0)
                tooLong.append(QStringLiteral("%1-%2 (%3): %4 values up to %5")
                                   .arg(table, field)
                                   .arg(length)
                                   .arg(longer.integer(0))
                                   .arg(longer.integer(1)));
        }
        int expected = 0;
        for (const auto& table : DemoDictionary::instance().tables()) {
            for (const auto& field : table.fields)
                expected += !table.isStructure() && QStringLiteral("CNDT").contains(field.letter);
        }
        QVERIFY(expected > DemoDictionary::kWideColumns);
        QCOMPARE(columns, expected);
        QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QStringLiteral("; "))));
        // The cut comes after upper-casing, so the short names keep their first ten places.
        QVERIFY(scalar(m_path,
                       QStringLiteral("SELECT COUNT(*) FROM KNA1 WHERE SORTL = 'STRASSE BA'")) > 0);
    }

    void kna1IsWiderThanALine()
    {
        QVERIFY(scalar(m_path, QStringLiteral("SELECT SUM(LENG) FROM DD03L WHERE TABNAME = "
                                              "'KNA1'")) > 512);
    }

    void valuesThatTestATool_data()
    {
        QTest::addColumn<QString>("condition");

        QTest::newRow("name with a semicolon")
            << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 LIKE '%;%'";
        QTest::newRow("name with a comma") << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 LIKE '%,%'";
        QTest::newRow("name with double quotes")
            << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 LIKE '%\"%'";
        QTest::newRow("ã") << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 || ORT01 LIKE '%ã%'";
        QTest::newRow("ç") << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 || ORT01 LIKE '%ç%'";
        QTest::newRow("é") << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 || ORT01 LIKE '%é%'";
        QTest::newRow("ß") << "SELECT COUNT(*) FROM KNA1 WHERE NAME1 || STRAS LIKE '%ß%'";
        QTest::newRow("CHAR key with leading zeros")
            << "SELECT COUNT(*) FROM KNA1 WHERE KUNNR = '0000000001'";
        QTest::newRow("NUMC key with leading zeros")
            << "SELECT COUNT(*) FROM VBAP WHERE POSNR = '000010'";
        QTest::newRow("empty date") << "SELECT COUNT(*) FROM KNA1 WHERE ERDAT = '00000000'";
        QTest::newRow("negative order value") << "SELECT COUNT(*) FROM VBAK WHERE NETWR < 0";
        QTest::newRow("negative line amount") << "SELECT COUNT(*) FROM BSEG WHERE DMBTR < 0";
        // QUAN 13,3 prints at most nine integer digits.
        QTest::newRow("weight too large for its length")
            << "SELECT COUNT(*) FROM MARA WHERE BRGEW >= 1000000000";
    }

    void valuesThatTestATool()
    {
        QFETCH(QString, condition);
        QVERIFY2(scalar(m_path, condition) > 0, qPrintable(condition));
    }

    void overflowingWeightPrintsAStar()
    {
        const auto demo = demoLogon();
        QVERIFY(demo);
        const Outcome outcome = call(*demo, {"MARA", {"BRGEW"}, {}, "|"});
        QVERIFY(outcome.ok);
        QStringList stars;
        for (const QString& line : outcome.data) {
            QVERIFY(line.size() <= 13);
            if (line.startsWith(u'*'))
                stars.append(line);
        }
        QVERIFY(!stars.isEmpty());
        QCOMPARE(stars.first(), QStringLiteral("*99999999.999"));
    }

    void logon_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("ok");

        QTest::newRow("DEMO") << "DEMO"
                              << "welcome"
                              << "100"
                              << "EN" << true;
        QTest::newRow("AUDIT") << "AUDIT"
                               << "welcome"
                               << "100"
                               << "EN" << true;
        QTest::newRow("user in lower case") << "demo"
                                            << "welcome"
                                            << "100"
                                            << "EN" << true;
        QTest::newRow("Portuguese") << "DEMO"
                                    << "welcome"
                                    << "100"
                                    << "PT" << true;
        QTest::newRow("one-letter language") << "DEMO"
                                             << "welcome"
                                             << "100"
                                             << "P" << true;
        QTest::newRow("empty language") << "DEMO"
                                        << "welcome"
                                        << "100"
                                        << "" << true;
        QTest::newRow("wrong password") << "DEMO"
                                        << "welcom"
                                        << "100"
                                        << "EN" << false;
        QTest::newRow("empty password") << "DEMO"
                                        << ""
                                        << "100"
                                        << "EN" << false;
        QTest::newRow("wrong user") << "NOBODY"
                                    << "welcome"
                                    << "100"
                                    << "EN" << false;
        QTest::newRow("empty user") << ""
                                    << "welcome"
                                    << "100"
                                    << "EN" << false;
        QTest::newRow("client of the customizing") << "DEMO"
                                                   << "welcome"
                                                   << "001"
                                                   << "EN" << false;
        QTest::newRow("unknown client") << "DEMO"
                                        << "welcome"
                                        << "200"
                                        << "EN" << false;
        QTest::newRow("unknown language") << "DEMO"
                                          << "welcome"
                                          << "100"
                                          << "DE" << false;
    }

    void logon()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, client);
        QFETCH(QString, language);
        QFETCH(bool, ok);
        DemoDestination demo(m_path);
        LogonData data;
        data.user = user;
        data.password = password;
        data.client = client;
        data.language = language;
        const RfcDestination::LogonResult result = demo.logon(data);
        QCOMPARE(result.ok, ok);
        if (ok) {
            QCOMPARE(result.systemId, QStringLiteral("DMO"));
            QCOMPARE(result.hostName, QStringLiteral("localhost"));
            QCOMPARE(result.systemNumber, QStringLiteral("00"));
            QCOMPARE(result.release, QStringLiteral("46C"));
        } else {
            QVERIFY(!result.error.isEmpty());
            RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &demo);
            function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("T000"));
            QVERIFY(!function.call());
        }
    }

    void logonFailsWithoutItsDatabase()
    {
        QTemporaryDir empty;
        const QString path = empty.filePath(QStringLiteral("missing.sqlite"));
        DemoDestination demo(path);
        LogonData data;
        data.user = QStringLiteral("DEMO");
        data.client = QStringLiteral("100");
        data.language = QStringLiteral("EN");
        data.password = QStringLiteral("welcome");
        const RfcDestination::LogonResult result = demo.logon(data);
        QVERIFY(!result.ok);
        QVERIFY(result.error.en.contains(path));
        QVERIFY(result.error.pt.contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(DemoDestination(m_path).details().contains(m_path));
    }
};

QTEST_GUILESS_MAIN(TestDemoSystem)
#include "tst_demosystem.moc"
