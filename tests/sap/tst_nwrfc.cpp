// The native RFC destination through a stand-in of SAP's NetWeaver RFC library that serves the
// demo system: loading the library, logon, RFC_READ_TABLE against the demo in-process, the
// failures real systems show, and cancel.
#include "DemoHome.h"
#include "sap/ReadModule.h"
#include "sap/RfcFunction.h"
#include "sap/SystemDestinationFactory.h"
#include "sap/demo/DemoDestination.h"
#include "sap/nwrfc/NwRfcDestination.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

Q_DECLARE_METATYPE(LogonData)

namespace
{
const QString kStandIn = QStringLiteral(ZORV_STANDIN_LIBRARY);

LogonData nativeLogon(const QString& user = QStringLiteral("DEMO"),
                      const QString& password = QStringLiteral("welcome"),
                      const QString& language = QStringLiteral("EN"))
{
    LogonData data;
    data.client = QStringLiteral("100");
    data.user = user;
    data.password = password;
    data.language = language;
    data.native.applicationServer = QStringLiteral("localhost");
    data.native.instanceNumber = QStringLiteral("00");
    data.native.library = kStandIn;
    data.system = data.native.describe();
    return data;
}

struct Read {
    QString exception;
    QString message;
    std::vector<RfcTable::Row> fields;
    std::vector<RfcTable::Row> data;
    QString outTable;  // the table of RFC_READ_TABLE2's interface that holds the rows
    bool lost = false; // the way to the system broke
};

Read readTable(RfcDestination& destination, const QString& table, const QStringList& fields,
               const QStringList& options = {},
               const QString& function = QStringLiteral("RFC_READ_TABLE"))
{
    RfcFunction call(function, &destination);
    call.setImport(QStringLiteral("QUERY_TABLE"), table);
    call.setImport(QStringLiteral("DELIMITER"), QStringLiteral("|"));
    for (const QString& field : fields) {
        RfcTable& list = call.table(QStringLiteral("FIELDS"));
        list.appendRow();
        list.setValue(list.rowCount(), QStringLiteral("FIELDNAME"), field);
    }
    for (const QString& line : options) {
        RfcTable& list = call.table(QStringLiteral("OPTIONS"));
        list.appendRow();
        list.setValue(list.rowCount(), QStringLiteral("TEXT"), line);
    }
    const bool widthTables =
        ReadModule::named(function).output() == ReadModule::Output::WidthTables;
    if (widthTables) {
        for (const QString& name : ReadModule::widthTables())
            call.table(name);
        call.expectResult(QStringLiteral("OUT_TABLE"));
    } else {
        call.table(QStringLiteral("DATA"));
    }
    call.call();
    const QString outTable = call.result(QStringLiteral("OUT_TABLE"));
    return {call.exception(),
            call.message(),
            call.table(QStringLiteral("FIELDS")).rows(),
            call.table(widthTables ? outTable : QStringLiteral("DATA")).rows(),
            outTable,
            call.connectionLost()};
}

// Sets an environment variable of the stand-in for one scope.
auto scopedEnvironment(const char* name, const QByteArray& value)
{
    qputenv(name, value);
    return qScopeGuard([name] { qunsetenv(name); });
}
} // namespace

class TestNwRfc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<DemoDestination> m_demo;

    std::unique_ptr<RfcDestination> loggedOn(const LogonData& data = nativeLogon())
    {
        SystemDestinationFactory factory(m_home.path());
        BiText error;
        auto destination = factory.create(data, &error);
        if (!destination || !destination->logon(data).ok)
            return nullptr;
        return destination;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        m_demo = std::make_unique<DemoDestination>(DemoSystem::databasePath());
        LogonData demo;
        demo.client = QStringLiteral("100");
        demo.user = QStringLiteral("DEMO");
        demo.password = QStringLiteral("welcome");
        demo.language = QStringLiteral("EN");
        QVERIFY(m_demo->logon(demo).ok);
    }

    void theLibraryIsLoadedOrNamedWithWhatToDo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<QStringList>("sentence");
        const QString notALibrary = m_home.filePath(QStringLiteral("libsapnwrfc.so"));
        QFile text(notALibrary);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a shared library\n");
        text.close();
        const QString advice = QStringLiteral("Install SAP's NetWeaver RFC library 7.50");
        QTest::newRow("stand-in") << kStandIn << true << QStringList{};
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/libsapnwrfc.so") << false
                                      << QStringList{"/nonexistent/libsapnwrfc.so", advice};
        QTest::newRow("not a library") << notALibrary << false << QStringList{advice};
        QTest::newRow("too old") << QStringLiteral(ZORV_OLD_LIBRARY) << false
                                 << QStringList{"lacks", "RfcInvoke", "too old", advice};
    }
    void theLibraryIsLoadedOrNamedWithWhatToDo()
    {
        QFETCH(QString, file);
        QFETCH(bool, usable);
        QFETCH(QStringList, sentence);
        BiText error;
        const auto library = NwRfcLibrary::load(file, &error);
        QCOMPARE(library != nullptr, usable);
        if (usable) {
            QCOMPARE(library->version(), QStringLiteral("7500.0.12"));
            QVERIFY(error.isEmpty());
        } else {
            QVERIFY(NwRfcLibrary::namesTheLibrary(error.en) &&
                    NwRfcLibrary::namesTheLibrary(error.pt));
            QVERIFY(error.pt.startsWith(QStringLiteral("A biblioteca NetWeaver RFC da SAP")));
        }
        for (const QString& part : sentence)
            QVERIFY2(error.en.contains(part), qPrintable(error.en));
        // The logon says the same, and nothing else breaks: the demo is still served.
        LogonData data = nativeLogon();
        data.native.library = file;
        SystemDestinationFactory factory(m_home.path());
        BiText created;
        QCOMPARE(factory.create(data, &created) != nullptr, usable);
        QCOMPARE(created, error);
        QVERIFY(factory.create(LogonData(), &created));
    }

    void theLibraryIsFoundThroughItsHome()
    {
        QTemporaryDir sdk;
        QVERIFY(QDir(sdk.path()).mkpath(QStringLiteral("lib")));
        QVERIFY(QFile::link(kStandIn, sdk.filePath(QStringLiteral("lib/libsapnwrfc.so"))));
        const auto home = scopedEnvironment("SAPNWRFC_HOME", sdk.path().toUtf8());
        QCOMPARE(NwRfcLibrary::candidates(QString()).first(),
                 sdk.filePath(QStringLiteral("lib/libsapnwrfc.so")));
        BiText error;
        QVERIFY2(NwRfcLibrary::load(QString(), &error), qPrintable(error.en));
    }

    void logonParameters_data()
    {
        QTest::addColumn<LogonData>("data");
        QTest::addColumn<QStringList>("parameters");
        LogonData server = nativeLogon();
        QTest::newRow("application server")
            << server << QStringList{"client=100",       "user=DEMO", "passwd=welcome", "lang=EN",
                                     "ashost=localhost", "sysnr=00",  "trace=0"};
        LogonData balanced = nativeLogon();
        balanced.native.applicationServer.clear();
        balanced.native.messageServer = QStringLiteral("ms.example.com");
        balanced.native.systemId = QStringLiteral("PRD");
        balanced.native.router = QStringLiteral("/H/router/S/3299/H/");
        QTest::newRow("message server, default group, router")
            << balanced
            << QStringList{"client=100",
                           "user=DEMO",
                           "passwd=welcome",
                           "lang=EN",
                           "mshost=ms.example.com",
                           "sysid=PRD",
                           "group=PUBLIC",
                           "saprouter=/H/router/S/3299/H/",
                           "trace=0"};
        LogonData snc = nativeLogon();
        snc.password.clear();
        snc.native.sncPartner = QStringLiteral("p:CN=PRD");
        snc.native.sncLibrary = QStringLiteral("/usr/lib/libsapcrypto.so");
        QTest::newRow("SNC, no password") << snc
                                          << QStringList{"client=100",
                                                         "user=DEMO",
                                                         "lang=EN",
                                                         "ashost=localhost",
                                                         "sysnr=00",
                                                         "snc_mode=1",
                                                         "snc_partnername=p:CN=PRD",
                                                         "snc_lib=/usr/lib/libsapcrypto.so",
                                                         "trace=0"};
    }
    void logonParameters()
    {
        QFETCH(LogonData, data);
        QFETCH(QStringList, parameters);
        QStringList named;
        for (const auto& [name, value] : NwRfcDestination::parameters(data))
            named.append(name + u'=' + value);
        QCOMPARE(named, parameters);
    }

    void logon_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("ok");
        QTest::newRow("DEMO") << "DEMO"
                              << "welcome" << true;
        QTest::newRow("wrong password") << "DEMO"
                                        << "wrong" << false;
        QTest::newRow("non-ASCII password") << "DEMO"
                                            << "wélcome€" << false;
        QTest::newRow("unknown user") << "NOBODY"
                                      << "welcome" << false;
    }
    void logon()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, ok);
        const QString record = m_home.filePath(QStringLiteral("parameters.txt"));
        QFile::remove(record);
        const auto recording = scopedEnvironment("ZORV_STANDIN_RECORD", record.toUtf8());
        const LogonData data = nativeLogon(user, password);
        SystemDestinationFactory factory(m_home.path());
        BiText error;
        auto destination = factory.create(data, &error);
        QVERIFY2(destination, qPrintable(error.en));
        const RfcDestination::LogonResult result = destination->logon(data);
        QCOMPARE(result.ok, ok);
        QVERIFY(!result.error.en.contains(password) && !result.error.pt.contains(password));
        if (ok) {
            QVERIFY(!result.systemId.isEmpty());
            QVERIFY(destination->details().contains(QStringLiteral("7500.0.12")));
        } else {
            QVERIFY(!result.error.isEmpty());
        }
        QFile recorded(record);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QString lines = QString::fromUtf8(recorded.readAll());
        QVERIFY2(lines.contains(QStringLiteral("user=") + user), qPrintable(lines));
        QVERIFY(lines.contains(QStringLiteral("trace=0")));
    }

    void readsAsTheDemoDoes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("function");
        const QString classic = QStringLiteral("RFC_READ_TABLE");
        QTest::newRow("T000") << "T000" << QStringList{"MANDT", "MTEXT"} << QStringList{}
                              << classic;
        QTest::newRow("KNA1, options")
            << "KNA1" << QStringList{"KUNNR", "NAME1", "ORT01", "ERDAT"}
            << QStringList{"LAND1 = 'DE' AND", "KUNNR LIKE '00000001%'"} << classic;
        QTest::newRow("BSEG amounts") << "BSEG" << QStringList{"BELNR", "BUZEI", "DMBTR", "SHKZG"}
                                      << QStringList{"BUZEI = '002'"} << classic;
        QTest::newRow("every field") << "T005T" << QStringList{} << QStringList{} << classic;
        QTest::newRow("KNA1, every field, through RFC_READ_TABLE2's interface")
            << "KNA1" << QStringList{} << QStringList{"LAND1 = 'BR'"} << "/SAPDS/RFC_READ_TABLE2";
        QTest::newRow("T000 through RFC_READ_TABLE2's interface")
            << "T000" << QStringList{"MANDT"} << QStringList{} << "/SAPDS/RFC_READ_TABLE2";
        QTest::newRow("KNA1 through 2048-character lines")
            << "KNA1" << QStringList{} << QStringList{"LAND1 = 'BR'"} << "/SAPDS/RFC_READ_TABLE";
    }
    void readsAsTheDemoDoes()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, options);
        QFETCH(QString, function);
        auto native = loggedOn();
        QVERIFY(native);
        const Read expected = readTable(*m_demo, table, fields, options, function);
        const Read got = readTable(*native, table, fields, options, function);
        QCOMPARE(got.exception, expected.exception);
        QVERIFY(expected.exception.isEmpty());
        QCOMPARE(got.outTable, expected.outTable);
        QVERIFY(!expected.data.empty());
        QCOMPARE(got.fields, expected.fields);
        QCOMPARE(got.data, expected.data);
    }

    void exceptionsKeepTheirNames_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("exception");
        QTest::newRow("no such table") << "DEMO"
                                       << "NOSUCH"
                                       << "RFC_READ_TABLE"
                                       << "TABLE_NOT_AVAILABLE";
        QTest::newRow("no authority") << "AUDIT"
                                      << "BKPF"
                                      << "RFC_READ_TABLE"
                                      << "NOT_AUTHORIZED";
        QTest::newRow("no such function") << "DEMO"
                                          << "T000"
                                          << "/BODS/RFC_READ_TABLE2"
                                          << "FU_NOT_FOUND";
    }
    void exceptionsKeepTheirNames()
    {
        QFETCH(QString, user);
        QFETCH(QString, table);
        QFETCH(QString, function);
        QFETCH(QString, exception);
        auto native = loggedOn(nativeLogon(user));
        QVERIFY(native);
        QCOMPARE(readTable(*native, table, {}, {}, function).exception, exception);
        // The connection serves the next call.
        QVERIFY(
            !readTable(*native, QStringLiteral("T000"), {QStringLiteral("MANDT")}).data.empty());
    }

    void aShortDumpIsASystemFailureInTheLogonLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("EN") << "EN"
                            << "No more memory available";
        QTest::newRow("PT") << "PT"
                            << "Não há mais memória disponível";
    }
    void aShortDumpIsASystemFailureInTheLogonLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        // The demo's row budget holds for the connections opened while it is set.
        const auto budget = scopedEnvironment("ZORV_DEMO_MAX_ROWS", "5");
        auto native =
            loggedOn(nativeLogon(QStringLiteral("DEMO"), QStringLiteral("welcome"), language));
        QVERIFY(native);
        const Read failed = readTable(*native, QStringLiteral("KNA1"), {QStringLiteral("KUNNR")});
        QCOMPARE(failed.exception, QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY2(failed.message.contains(text), qPrintable(failed.message));
        QVERIFY2(failed.message.contains(QStringLiteral("TSV_TNEW_PAGE_ALLOC_FAILED")),
                 qPrintable(failed.message));
        // A dump is the system's answer, not a broken way.
        QVERIFY(!failed.lost);
        // The dump closed the connection: the next call opens a new one.
        QCOMPARE(readTable(*native, QStringLiteral("T000"), {QStringLiteral("MANDT")}).data.size(),
                 std::size_t(3));
    }

    void aLostConnectionIsRepeatedOnANewOne()
    {
        auto native = loggedOn();
        QVERIFY(native);
        const Read expected = readTable(*m_demo, QStringLiteral("T001"), {});
        const auto failing = scopedEnvironment("ZORV_STANDIN_FAIL_CALL", "1");
        const Read got = readTable(*native, QStringLiteral("T001"), {});
        QVERIFY2(got.exception.isEmpty(), qPrintable(got.exception + u' ' + got.message));
        QCOMPARE(got.data, expected.data);
        QVERIFY(!got.lost);
    }

    // A way that breaks on the new connection too is told as such: the read may try later.
    void aConnectionLostTwiceIsToldAsLost()
    {
        auto native = loggedOn();
        QVERIFY(native);
        const auto failing = scopedEnvironment("ZORV_STANDIN_FAIL_CALL", "1+");
        const Read got = readTable(*native, QStringLiteral("T001"), {});
        QCOMPARE(got.exception, QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY2(got.message.contains(QStringLiteral("connection to partner broken")),
                 qPrintable(got.message));
        QVERIFY(got.lost);
    }

    void cancelEndsAHangingCall()
    {
        auto native = loggedOn();
        QVERIFY(native);
        const auto hanging = scopedEnvironment("ZORV_STANDIN_HANG", "1");
        std::atomic<bool> cancel{false};
        RfcFunction call(QStringLiteral("RFC_READ_TABLE"), native.get());
        call.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("T000"));
        call.table(QStringLiteral("DATA"));
        call.setCancel(&cancel);
        QElapsedTimer clock;
        clock.start();
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel.store(true);
        });
        QVERIFY(!call.call());
        canceller.join();
        QCOMPARE(call.exception(), QStringLiteral("CANCELLED"));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestNwRfc)
#include "tst_nwrfc.moc"
