#include "soap/HttpTestKit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace
{
struct Run {
    int status = -1;
    QString out;
    QString err;
};

// The FIELDS part of read-table's output, and the DATA lines sorted (rows come unordered).
struct Printed {
    QStringList fields;
    QStringList data;
    bool separated = false;
};

Printed split(const QString& out)
{
    Printed printed;
    QStringList lines = out.split(u'\n');
    if (lines.isEmpty() || !lines.last().isEmpty())
        return printed; // every line ends with a line feed
    lines.removeLast();
    const qsizetype blank = lines.indexOf(QString());
    if (blank < 0)
        return printed;
    printed.separated = true;
    printed.fields = lines.mid(0, blank);
    printed.data = lines.mid(blank + 1);
    printed.data.sort();
    return printed;
}
} // namespace

Q_DECLARE_METATYPE(Reply)

class TestSapCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    // served: the event loop runs while zorv does, for a server in this thread.
    Run zorv(const QStringList& args, const QString& password = QString(), bool served = false)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORV_HOME"), m_home.path());
        env.remove(QStringLiteral("ZORV_DEMO_SCALE"));
        env.remove(QStringLiteral("ZORV_PASSWORD"));
        if (!password.isNull())
            env.insert(QStringLiteral("ZORV_PASSWORD"), password);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZORV_EXECUTABLE), args);
        Run run;
        for (QDeadlineTimer deadline(60000);
             served && process.state() != QProcess::NotRunning && !deadline.hasExpired();)
            QTest::qWait(20);
        const bool finished =
            served ? process.state() == QProcess::NotRunning : process.waitForFinished(60000);
        if (!finished || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.status = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(QFile::exists(QStringLiteral(ZORV_EXECUTABLE)));
    }

    void demoDbBuildsAndPrintsItsPath()
    {
        const Run run = zorv({"demo-db"});
        QCOMPARE(run.status, 0);
        const QString path = QDir(m_home.path()).filePath(QStringLiteral("demo.sqlite"));
        QCOMPARE(run.out, path + u'\n');
        QVERIFY(QFile::exists(path));
        QCOMPARE(zorv({"demo-db", "--scale", "0"}).status, 2);
        QCOMPARE(zorv({"demo-db", "--scale", "many"}).status, 2);
    }

    // Programs that use the demo for the first time at once take turns at building it: every
    // one reads, and no half-built database is left.
    void programsThatStartTogetherShareOneBuild()
    {
        QTemporaryDir fresh;
        std::vector<std::unique_ptr<QProcess>> programs;
        for (int i = 0; i < 3; ++i) {
            auto process = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("ZORV_HOME"), fresh.path());
            env.remove(QStringLiteral("ZORV_DEMO_SCALE"));
            process->setProcessEnvironment(env);
            process->start(QStringLiteral(ZORV_EXECUTABLE),
                           {QStringLiteral("read-table"), QStringLiteral("BSEG"),
                            QStringLiteral("--fields"), QStringLiteral("BELNR"),
                            QStringLiteral("--rowcount"), QStringLiteral("2")});
            programs.push_back(std::move(process));
        }
        for (const auto& process : programs) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
            QCOMPARE(process->readAllStandardOutput().count('\n'), 1 + 1 + 2);
        }
        QCOMPARE(QDir(fresh.path()).entryList({QStringLiteral("*.partial")}, QDir::Files),
                 QStringList{});
    }

    void readTablePrintsFieldsThenData()
    {
        const Run run = zorv({"read-table", "T000", "--fields", "MANDT,MTEXT", "--delimiter", "|"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        const Printed printed = split(run.out);
        QVERIFY(printed.separated);
        QCOMPARE(printed.fields, (QStringList{"MANDT\t000000\t000003\tC\tClient",
                                              "MTEXT\t000004\t000025\tC\tClient name"}));
        QCOMPARE(printed.data, (QStringList{"000|SAP AG Konzern", "001|Auslieferungsmandant R11",
                                            "100|Demo – Vendas & Finanças"}));
    }

    void readTableOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("data");

        QTest::newRow("no data") << QStringList{"T001", "--fields", "BUKRS", "--no-data"}
                                 << QStringList{"BUKRS\t000000\t000004\tC\tCompany Code"}
                                 << QStringList{};
        QTest::newRow("row count and skips")
            << QStringList{"T001", "--fields", "BUKRS", "--rowcount", "2", "--rowskips", "5"}
            << QStringList{"BUKRS\t000000\t000004\tC\tCompany Code"} << QStringList{"6000"};
        QTest::newRow("Portuguese texts")
            << QStringList{"T001", "--fields", "BUKRS", "--rowcount", "1", "--language", "PT"}
            << QStringList{"BUKRS\t000000\t000004\tC\tEmpresa"} << QStringList{"1000"};
        QTest::newRow("a where line")
            << QStringList{"T001", "--fields", "BUKRS,LAND1", "--delimiter",
                           ";",    "--where",  "LAND1 = 'BR'"}
            << QStringList{"BUKRS\t000000\t000004\tC\tCompany Code",
                           "LAND1\t000005\t000003\tC\tCountry"}
            << QStringList{"2000;BR"};
        QTest::newRow("where lines add up")
            << QStringList{"T001",
                           "--fields",
                           "BUKRS",
                           "--where",
                           "LAND1 IN ( 'PT' )",
                           "--where",
                           "OR LAND1 IN ( 'FR' )"}
            << QStringList{"BUKRS\t000000\t000004\tC\tCompany Code"} << QStringList{"3000", "5000"};
    }

    void readTableOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, data);
        const Run run = zorv(QStringList{"read-table"} + args);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const Printed printed = split(run.out);
        QVERIFY(printed.separated);
        QCOMPARE(printed.fields, fields);
        QCOMPARE(printed.data, data);
    }

    void exceptionsGoToStandardErrorWithStatusTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("exception");

        QTest::newRow("unknown table")
            << QStringList{"ZNOSUCH"} << QString() << "TABLE_NOT_AVAILABLE";
        QTest::newRow("float field") << QStringList{"ZFLOAT"} << QString() << "SYSTEM_FAILURE";
        QTest::newRow("wide table") << QStringList{"KNA1"} << QString() << "DATA_BUFFER_EXCEEDED";
        QTest::newRow("bad where line")
            << QStringList{"T001", "--where", "LAND1='BR'"} << QString() << "OPTION_NOT_VALID";
        QTest::newRow("no authority") << QStringList{"BKPF", "--user", "AUDIT"} << "welcome"
                                      << "NOT_AUTHORIZED";
    }

    void exceptionsGoToStandardErrorWithStatusTwo()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        QFETCH(QString, exception);
        const Run run = zorv(QStringList{"read-table"} + args, password);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, exception + u'\n');
        QVERIFY(run.out.isEmpty());
    }

    void logon_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("passwordFile"); // written to a file when not null
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // the start of the one line on stderr

        const QString wrong =
            QStringLiteral("Logon failed: Name or password is incorrect (repeat logon)");
        QTest::newRow("default user") << QStringList{} << QString() << QString() << 0 << QString();
        QTest::newRow("password from the environment")
            << QStringList{"--user", "AUDIT"} << "welcome" << QString() << 0 << QString();
        QTest::newRow("wrong password from the environment")
            << QStringList{"--user", "AUDIT"} << "wrong" << QString() << 1 << wrong;
        QTest::newRow("no password at all")
            << QStringList{"--user", "AUDIT"} << QString() << QString() << 1 << wrong;
        QTest::newRow("password from a file") << QStringList{"--user", "DEMO"} << "wrong"
                                              << "welcome\r\nsecond line\n"
                                              << 0 << QString();
        QTest::newRow("wrong password in a file")
            << QStringList{"--user", "DEMO"} << QString() << "welcom\n"
            << 1 << wrong;
        QTest::newRow("wrong client")
            << QStringList{"--client", "200"} << QString() << QString() << 1
            << "Logon failed: Client 200 is not available in this system";
        QTest::newRow("a system's URL without a user")
            << QStringList{"--system", "https://sap.example.com"} << QString() << QString() << 1
            << "--system https://sap.example.com needs --user";
        QTest::newRow("a system that cannot be reached")
            << QStringList{"--system", "https://sap.example.invalid", "--user", "ME"} << "pw"
            << QString() << 1 << "Logon failed: ";
        QTest::newRow("a timeout of no seconds")
            << QStringList{"--timeout", "0"} << QString() << QString() << 1
            << "--timeout takes a number of seconds";
        QTest::newRow("a timeout that is no number")
            << QStringList{"--timeout", "soon"} << QString() << QString() << 1
            << "--timeout takes a number of seconds";
    }

    void logon()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        QFETCH(QString, passwordFile);
        QFETCH(int, status);
        QFETCH(QString, error);
        QTemporaryDir dir;
        if (!passwordFile.isNull()) {
            QFile file(dir.filePath(QStringLiteral("password")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(passwordFile.toUtf8());
            args << QStringLiteral("--password-file") << file.fileName();
        }
        const Run run =
            zorv(QStringList{"read-table", "T000", "--fields", "MANDT"} + args, password);
        QCOMPARE(run.status, status);
        if (status == 0) {
            QCOMPARE(split(run.out).data, (QStringList{"000", "001", "100"}));
            return;
        }
        QVERIFY(run.out.isEmpty());
        // One line that says why.
        QVERIFY2(run.err.startsWith(error) && run.err.count(u'\n') == 1, qPrintable(run.err));
    }

    // A failed logon to a system names the reason on one line, whatever the reason.
    void aFailedLogonSaysWhy_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QString>("reason");

        const auto respond = [](QByteArray head, QByteArray body) {
            return Reply([head, body](QTcpSocket* socket, const HttpRequest&) {
                socket->write(head + "Content-Length: " + QByteArray::number(body.size()) +
                              "\r\n\r\n" + body);
            });
        };
        QTest::newRow("wrong user or password")
            << false
            << respond("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"x\"\r\n",
                       "<html>no</html>")
            << "Name or password is incorrect";
        QTest::newRow("not SOAP") << false
                                  << respond("HTTP/1.1 200 OK\r\n",
                                             "<html><body>Welcome</body></html>")
                                  << "the answer is not a SOAP message (it starts with <html>)";
        QTest::newRow("a proxy's error")
            << false << respond("HTTP/1.1 502 Bad Gateway\r\n", "upstream down") << "HTTP 502";
        QTest::newRow("a redirect")
            << false << respond("HTTP/1.1 302 Found\r\nLocation: https://elsewhere/\r\n", "")
            << "a redirect to https://elsewhere/";
        QTest::newRow("no answer in time") << false << Reply([](QTcpSocket*, const HttpRequest&) {})
                                           << "made no progress for 1 seconds";
        QTest::newRow("a certificate of its own")
            << true << respond("HTTP/1.1 200 OK\r\n", "") << "certificate SHA-256 ";
    }

    void aFailedLogonSaysWhy()
    {
        QFETCH(bool, tls);
        QFETCH(Reply, reply);
        QFETCH(QString, reason);
        ScriptedServer server(tls);
        server.replies = {reply};
        const Run run = zorv({"read-table", "T000", "--system", server.base().toString(), "--user",
                              "ME", "--timeout", "1"},
                             QStringLiteral("secret"), true);
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.startsWith(QStringLiteral("Logon failed: ")) && run.err.contains(reason) &&
                     run.err.count(u'\n') == 1,
                 qPrintable(run.err));
    }

    void aFailedLogonToAClosedPortSaysWhy()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QString system = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        const Run run = zorv({"read-table", "T000", "--system", system, "--user", "ME"},
                             QStringLiteral("secret"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("Logon failed: Connection refused")),
                 qPrintable(run.err));
    }

    // Without --user, a system named by its URL is sent nothing at all: not the demo's logon.
    void aSystemWithoutAUserIsSentNothing()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        const QString system = QStringLiteral("http://127.0.0.1:%1").arg(listener.serverPort());
        for (const QStringList& extra : {QStringList{}, QStringList{"--client", "100"}}) {
            const Run run = zorv(QStringList{"read-table", "T000", "--system", system} + extra);
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(QStringLiteral("needs --user")), qPrintable(run.err));
            QVERIFY(!listener.waitForNewConnection(200));
        }
        const Run exported =
            zorv({"export", QStringLiteral(ZORV_TEST_DATA "/query/twelve-fields.txt"), "--output",
                  m_home.filePath(QStringLiteral("x.csv")), "--system", system});
        QCOMPARE(exported.status, 1);
        QVERIFY(!listener.waitForNewConnection(200));
    }

    void passwordIsNeverTakenFromTheCommandLine()
    {
        for (const QStringList& args : {QStringList{"--user", "AUDIT", "--password", "welcome"},
                                        QStringList{"--user", "AUDIT", "--password=welcome"},
                                        QStringList{"--user", "AUDIT", "welcome"}}) {
            const Run run = zorv(QStringList{"read-table", "T000", "--fields", "MANDT"} + args);
            QVERIFY2(run.status != 0, qPrintable(args.join(u' ')));
            QVERIFY(run.out.isEmpty());
        }
    }

    // Help prints the usage and ends well; a word that is no command prints it as an error. Neither
    // starts the window (which would create the settings file and wait for its user).
    void helpAndUnknownCommands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("--help") << QStringList{"--help"} << 0;
        QTest::newRow("-h") << QStringList{"-h"} << 0;
        QTest::newRow("help") << QStringList{"help"} << 0;
        QTest::newRow("help with more words") << QStringList{"help", "export"} << 0;
        QTest::newRow("unknown command") << QStringList{"exprot", "q.txt"} << 2;
        QTest::newRow("a file name") << QStringList{"query.txt"} << 2;
    }
    void helpAndUnknownCommands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const QString settings = QDir(m_home.path()).filePath(QStringLiteral("Zorv.ini"));
        QFile::remove(settings);
        const Run run = zorv(args);
        QCOMPARE(run.status, status);
        const QString usage = status == 0 ? run.out : run.err;
        QVERIFY2(usage.contains(QStringLiteral("usage: zorv")), qPrintable(usage));
        for (const char* command : {"export", "read-table", "demo-db", "--version"})
            QVERIFY2(usage.contains(QLatin1String(command)), command);
        if (status == 0) {
            QVERIFY(run.err.isEmpty());
        } else {
            QVERIFY(run.out.isEmpty());
            QVERIFY(run.err.startsWith(QStringLiteral("zorv: unknown command \"") + args.first() +
                                       u'"'));
        }
        QVERIFY(!QFile::exists(settings));
    }

    void aMissingPasswordFileFailsTheLogon()
    {
        const Run run = zorv({"read-table", "T000", "--user", "DEMO", "--password-file",
                              m_home.filePath(QStringLiteral("none"))},
                             QStringLiteral("welcome"));
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSapCommandLine)
#include "tst_sapcommandline.moc"
