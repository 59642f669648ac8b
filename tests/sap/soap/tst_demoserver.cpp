#include "DemoCallKit.h"
#include "DemoHome.h"
#include "DemoServerProcess.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "sap/soap/SoapDestination.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{

LogonData logonData(const QString& user, const QString& password,
                    const QString& language = QStringLiteral("EN"),
                    const QString& client = QStringLiteral("100"))
{
    LogonData data;
    data.client = client;
    data.user = user;
    data.password = password;
    data.language = language;
    return data;
}

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};
} // namespace

Q_DECLARE_METATYPE(Request)

class TestDemoServer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    DemoServerProcess m_server;
    QString m_url;

    QProcessEnvironment environment(const QString& password = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORV_HOME"), m_home.path());
        env.remove(QStringLiteral("ZORV_DEMO_SCALE"));
        env.remove(QStringLiteral("ZORV_PASSWORD"));
        if (!password.isNull())
            env.insert(QStringLiteral("ZORV_PASSWORD"), password);
        return env;
    }

    Run zorv(const QStringList& args, const QString& password = QString()) const
    {
        QProcess process;
        process.setProcessEnvironment(environment(password));
        process.start(QStringLiteral(ZORV_EXECUTABLE), args);
        Run run;
        if (!process.waitForFinished(90000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.status = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    std::unique_ptr<SoapDestination> soap(const LogonData& data,
                                          RfcDestination::LogonResult* result = nullptr) const
    {
        auto destination = std::make_unique<SoapDestination>(QUrl(m_url), QString(), 30000);
        const RfcDestination::LogonResult logon = destination->logon(data);
        if (result)
            *result = logon;
        return logon.ok || result ? std::move(destination) : nullptr;
    }

    std::unique_ptr<DemoDestination> demo(const LogonData& data,
                                          RfcDestination::LogonResult* result = nullptr) const
    {
        auto destination = std::make_unique<DemoDestination>(DemoSystem::databasePath());
        const RfcDestination::LogonResult logon = destination->logon(data);
        if (result)
            *result = logon;
        return logon.ok || result ? std::move(destination) : nullptr;
    }

    // A saved query of the given fields of a table, as the window writes it.
    QString queryDocument(const QString& name, const QString& table, const QStringList& fields,
                          const QStringList& options)
    {
        const auto destination = demo(logonData(QStringLiteral("DEMO"), QStringLiteral("welcome")));
        if (!destination)
            return {};
        QStringList names = fields;
        if (names.isEmpty()) {
            // Every field, in dictionary order: the whole table may be too wide for one read.
            const Outcome dictionary =
                call(*destination, {QStringLiteral("DD03L"),
                                    {QStringLiteral("POSITION"), QStringLiteral("FIELDNAME")},
                                    {QStringLiteral("TABNAME = '%1'").arg(table)},
                                    QStringLiteral("|")});
            QStringList rows = dictionary.data;
            rows.sort();
            for (const QString& row : std::as_const(rows))
                names.append(row.section(u'|', 1).trimmed());
        }
        Outcome catalogue;
        for (qsizetype at = 0; at < names.size(); at += 8)
            catalogue.fields += call(*destination, {table, names.mid(at, 8), {}, {}, "X"}).fields;
        const auto line = [](const QString& key, const QString& value) {
            return key.leftJustified(13, u' ') + value + QStringLiteral("\r\n");
        };
        QString text =
            line(QStringLiteral("MyTableF"), QString()) +
            line(QStringLiteral("ChSsl"), QStringLiteral("False")) +
            line(QStringLiteral("ChRow"), QStringLiteral("True")) +
            line(QStringLiteral("sRows"), QStringLiteral(" 0 ")) +
            line(QStringLiteral("SFI"), QStringLiteral(" %1 ").arg(catalogue.fields.size()));
        int n = 0;
        for (const QString& field : catalogue.fields) {
            const QStringList parts = field.split(u'\t');
            text += QStringLiteral("ssField  %1 %2%3 %4-%5 %6\r\n")
                        .arg(++n, 3, 10, QChar(u'0'))
                        .arg(parts.at(3))
                        .arg(parts.at(2).toInt(), 3, 10, QChar(u'0'))
                        .arg(table, parts.at(0), parts.at(4));
        }
        text += line(QStringLiteral("SOP"), QStringLiteral(" %1 ").arg(options.size()));
        n = 0;
        for (const QString& option : options)
            text += QStringLiteral("ssOption %1 %2\r\n").arg(++n, 3, 10, QChar(u'0')).arg(option);
        QFile file(m_home.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(text.toLatin1());
        return file.fileName();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(QFile::exists(QStringLiteral(ZORV_EXECUTABLE)));
        QVERIFY(QFile::exists(QStringLiteral(ZORV_DEMO_SERVER)));
        // The in-process system and the served one read the same database.
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));

        QVERIFY2(m_server.start(m_home.path(), {}, &error), qPrintable(error));
        m_url = m_server.url();
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
        QTest::newRow("AUDIT in Portuguese") << "AUDIT"
                                             << "welcome"
                                             << "100"
                                             << "PT" << true;
        QTest::newRow("user in lower case") << "demo"
                                            << "welcome"
                                            << "100"
                                            << "EN" << true;
        QTest::newRow("wrong password") << "DEMO"
                                        << "Welcome"
                                        << "100"
                                        << "EN" << false;
        QTest::newRow("no password") << "DEMO"
                                     << ""
                                     << "100"
                                     << "EN" << false;
        QTest::newRow("unknown user") << "NOBODY"
                                      << "welcome"
                                      << "100"
                                      << "EN" << false;
        QTest::newRow("wrong client") << "DEMO"
                                      << "welcome"
                                      << "200"
                                      << "EN" << false;
    }

    void logon()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, client);
        QFETCH(QString, language);
        QFETCH(bool, ok);
        const LogonData data = logonData(user, password, language, client);
        RfcDestination::LogonResult served;
        const auto destination = soap(data, &served);
        RfcDestination::LogonResult local;
        demo(data, &local);
        QCOMPARE(local.ok, ok);
        QCOMPARE(served.ok, ok);
        if (ok) {
            QCOMPARE(served.systemId, QString::fromLatin1(DemoSystem::kSystemId));
            QCOMPARE(served.hostName, QStringLiteral("127.0.0.1"));
            // The session works for reads after the logon.
            const Outcome read = call(*destination, {"T000", {"MANDT"}, {}, {}, {}, {}, {}});
            QVERIFY2(read.ok, qPrintable(read.exception));
            QCOMPARE(read.data, (QStringList{"000", "001", "100"}));
        } else {
            QVERIFY(!served.error.isEmpty());
            if (client == u"100")
                QCOMPARE(served.error, local.error);
        }
    }

    void exceptions_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("exception");

        QTest::newRow("no authority") << "AUDIT" << Request{"BKPF", {"BELNR"}} << "NOT_AUTHORIZED";
        QTest::newRow("unknown table") << "DEMO" << Request{"ZNOSUCH"} << "TABLE_NOT_AVAILABLE";
        QTest::newRow("structure") << "DEMO" << Request{"BAPIRET2"} << "TABLE_WITHOUT_DATA";
        QTest::newRow("bad where line")
            << "DEMO" << Request{"T001", {"BUKRS"}, {"LAND1='BR'"}} << "OPTION_NOT_VALID";
        QTest::newRow("unknown field")
            << "DEMO" << Request{"T001", {"BUKRS", "NOSUCH"}} << "FIELD_NOT_VALID";
        QTest::newRow("wide table") << "DEMO" << Request{"KNA1"} << "DATA_BUFFER_EXCEEDED";
        QTest::newRow("float field") << "DEMO" << Request{"ZFLOAT"} << "SYSTEM_FAILURE";
    }

    void exceptions()
    {
        QFETCH(QString, user);
        QFETCH(Request, request);
        QFETCH(QString, exception);
        const LogonData data = logonData(user, QStringLiteral("welcome"));
        const auto served = soap(data);
        QVERIFY(served);
        const auto local = demo(data);
        QVERIFY(local);
        const Outcome outcome = call(*served, request);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.exception, exception);
        QCOMPARE(outcome.exception, call(*local, request).exception);
        // The failure leaves the session usable.
        QVERIFY(call(*served, {"T000", {"MANDT"}, {}, {}, "X", {}, {}}).ok);
    }

    void sameAnswersAsInProcess_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<Request>("request");

        QTest::newRow("catalogue of T000") << "EN" << Request{"T000", {}, {}, {}, "X"};
        QTest::newRow("catalogue of KNA1 in Portuguese")
            << "PT" << Request{"KNA1", {"KUNNR", "NAME1", "ORT01", "ERDAT"}, {}, {}, "X"};
        QTest::newRow("T000, every field") << "EN" << Request{"T000", {}, {}, "|"};
        QTest::newRow("T001 in Portuguese") << "PT" << Request{"T001", {}, {}, ";"};
        QTest::newRow("KNA1 in Brazil")
            << "EN"
            << Request{
                   "KNA1", {"KUNNR", "NAME1", "ORT01"}, {"LAND1 = 'BR'", "AND ORT01 <> ''"}, "|"};
        QTest::newRow("ZTYPES side by side") << "EN" << Request{"ZTYPES"};
        QTest::newRow("ZTYPES delimited") << "EN" << Request{"ZTYPES", {}, {}, "|"};
        QTest::newRow("BKPF page")
            << "EN" << Request{"BKPF", {"BELNR", "BKTXT", "KURSF"}, {}, "\"", {}, "50", "10"};
        QTest::newRow("BSEG, every row")
            << "EN" << Request{"BSEG", {"BELNR", "BUZEI", "DMBTR", "SHKZG"}, {}, "&"};
        QTest::newRow("MARA with options")
            << "EN"
            << Request{"MARA", {"MATNR", "BRGEW", "MEINS"}, {"MTART IN ( 'FERT' , 'ROH' )"}, ","};
        QTest::newRow("no row matches")
            << "EN" << Request{"T001", {"BUKRS"}, {"LAND1 = 'XX'"}, "|"};
    }

    void sameAnswersAsInProcess()
    {
        QFETCH(QString, language);
        QFETCH(Request, request);
        const LogonData data =
            logonData(QStringLiteral("DEMO"), QStringLiteral("welcome"), language);
        const auto served = soap(data);
        QVERIFY(served);
        const auto local = demo(data);
        QVERIFY(local);
        const Outcome expected = call(*local, request);
        QVERIFY2(expected.ok, qPrintable(expected.exception));
        const Outcome outcome = call(*served, request);
        QVERIFY2(outcome.ok, qPrintable(outcome.exception));
        QCOMPARE(outcome.fields, expected.fields);
        QCOMPARE(outcome.data.size(), expected.data.size());
        QCOMPARE(outcome.data, expected.data);
    }

    void readTableCommandOverSoap_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password");

        QTest::newRow("T000") << QStringList{"T000", "--fields", "MANDT,MTEXT", "--delimiter", "|"}
                              << QString();
        QTest::newRow("catalogue") << QStringList{"KNA1", "--no-data"} << QString();
        QTest::newRow("where lines, Portuguese")
            << QStringList{"T001",    "--where",         "LAND1 IN ( 'PT' , 'BR' )",
                           "--where", "OR LAND1 = 'FR'", "--language",
                           "PT",      "--delimiter",     ";"}
            << QString();
        QTest::newRow("rows and skips")
            << QStringList{"VBAK",       "--fields", "VBELN,NETWR,ERZET", "--rowcount", "7",
                           "--rowskips", "3"}
            << QString();
        QTest::newRow("exception") << QStringList{"ZNOSUCH"} << QString();
        QTest::newRow("no authority")
            << QStringList{"BKPF", "--user", "AUDIT"} << QStringLiteral("welcome");
        QTest::newRow("wrong password")
            << QStringList{"T000", "--user", "DEMO"} << QStringLiteral("nope");
    }

    void readTableCommandOverSoap()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        // A system named by its URL is never sent the demo's own logon: the user is given.
        if (!args.contains(QStringLiteral("--user"))) {
            args += QStringList{"--user", "DEMO"};
            password = QStringLiteral("welcome");
        }
        const Run local = zorv(QStringList{"read-table"} + args, password);
        const Run served =
            zorv(QStringList{"read-table"} + args + QStringList{"--system", m_url}, password);
        QVERIFY(local.status >= 0);
        QCOMPARE(served.status, local.status);
        QCOMPARE(served.err, local.err);
        QCOMPARE(served.out, local.out);
    }

    void exportOverSoapIsIdentical_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("options");

        QTest::newRow("twelve KNA1 fields")
            << QStringLiteral(ZORV_TEST_DATA "/query/twelve-fields.txt") << QStringList{};
        QTest::newRow("T000 in UTF-8")
            << queryDocument(QStringLiteral("t000.txt"), QStringLiteral("T000"), {}, {})
            << QStringList{"--encoding", "utf-8"};
        QTest::newRow("ZTYPES") << queryDocument(QStringLiteral("ztypes.txt"),
                                                 QStringLiteral("ZTYPES"), {}, {})
                                << QStringList{"--separator", ","};
        QTest::newRow("KNA1 with a where line, Portuguese")
            << queryDocument(QStringLiteral("kna1-br.txt"), QStringLiteral("KNA1"),
                             {"KUNNR", "NAME1", "ORT01", "ERDAT"}, {"KNA1-LAND1 = 'BR'"})
            << QStringList{"--language", "PT"};
        QTest::newRow("every KNA1 field, read in pieces")
            << queryDocument(QStringLiteral("kna1-all.txt"), QStringLiteral("KNA1"), {}, {})
            << QStringList{};
    }

    void exportOverSoapIsIdentical()
    {
        QFETCH(QString, document);
        QFETCH(QStringList, options);
        QVERIFY(!document.isEmpty());
        const QString local = m_home.filePath(QStringLiteral("local.csv"));
        const QString served = m_home.filePath(QStringLiteral("served.csv"));
        QFile::remove(local);
        QFile::remove(served);
        options += QStringList{"--user", "DEMO"};
        const QString password = QStringLiteral("welcome");
        const Run a = zorv(QStringList{"export", document, "--output", local} + options, password);
        QVERIFY2(a.status == 0, a.err.constData());
        const Run b =
            zorv(QStringList{"export", document, "--output", served, "--system", m_url} + options,
                 password);
        QVERIFY2(b.status == 0, b.err.constData());
        QFile expected(local);
        QFile actual(served);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QVERIFY(actual.open(QIODevice::ReadOnly));
        const QByteArray want = expected.readAll();
        QVERIFY2(want.count('\n') > 2, want.constData()); // headers and at least one row
        const QByteArray got = actual.readAll();
        QCOMPARE(got.size(), want.size());
        QVERIFY(got == want);
    }
};

QTEST_GUILESS_MAIN(TestDemoServer)
#include "tst_demoserver.moc"
