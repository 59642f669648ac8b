// The commands of zorv run in-process, as the program's main runs them, against the demo system:
// what each prints, where, and its exit status.
#include "DemoHome.h"
#include "cli/ExportCommand.h"
#include "cli/ReadTableCommand.h"
#include "cli/SapCommandLine.h"
#include "sap/SystemDestinationFactory.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace
{
struct Run {
    int status = -1;
    QString out;
    QString err;
};

QString readBack(std::FILE* stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
        bytes.append(buffer, qsizetype(got));
    std::fclose(stream);
    return QString::fromUtf8(bytes);
}
} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    Run run(const QStringList& args)
    {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        Run result;
        SystemDestinationFactory factory(m_home.path());
        const QString command = args.value(0);
        const QStringList rest = args.mid(1);
        if (command == u"export")
            result.status = ExportCommand::run(rest, factory, out, err);
        else if (command == u"read-table")
            result.status = ReadTableCommand::run(rest, factory, out, err);
        else
            result.status = SapCommandLine::demoDb(rest, out, err);
        result.out = readBack(out);
        result.err = readBack(err);
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
    }

    void statusAndStreams_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("outHas");
        QTest::addColumn<QString>("errHas");
        QTest::newRow("read") << QStringList{"read-table",  "T000",        "--fields",
                                             "MANDT,MTEXT", "--delimiter", "|"}
                              << 0 << "100|Demo – Vendas & Finanças"
                              << "";
        QTest::newRow("read, no table") << QStringList{"read-table"} << 2 << ""
                                        << "usage: zorv read-table TABLE";
        QTest::newRow("read, unknown option")
            << QStringList{"read-table", "T000", "--colour"} << 2 << ""
            << "colour";
        QTest::newRow("read, exception") << QStringList{"read-table", "NOSUCHTABLE"} << 2 << ""
                                         << "TABLE_NOT_AVAILABLE";
        QTest::newRow("read, wrong password")
            << QStringList{"read-table", "T000", "--user", "DEMO", "--password-file", "/dev/null"}
            << 1 << ""
            << "";
        QTest::newRow("export, no document") << QStringList{"export"} << 2 << ""
                                             << "usage: zorv export QUERY.txt";
        QTest::newRow("export, bad format")
            << QStringList{"export", "q.txt", "--format", "ods"} << 2 << ""
            << "--format takes csv or xlsx";
        QTest::newRow("demo-db, bad scale") << QStringList{"demo-db", "--scale", "many"} << 2 << ""
                                            << "";
    }
    void statusAndStreams()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, outHas);
        QFETCH(QString, errHas);
        const Run result = run(args);
        QCOMPARE(result.status, status);
        QVERIFY2(result.out.contains(outHas), qPrintable(result.out));
        QVERIFY2(result.err.contains(errHas), qPrintable(result.err));
        if (status == 0)
            QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        else
            QVERIFY(!result.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
