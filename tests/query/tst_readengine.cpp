// The read engine: exact reads of demo tables whatever order the system returns rows in, with
// answers bounded by a page or by the system's memory, keys joined across pieces, rows that
// change between calls, and the small units it is built of (calls cut by FIELDS, key values and
// their WHERE lines, the checks of a plan). In-process and over SOAP.
#include "DemoHome.h"
#include "ReadEngineKit.h"

#include "query/export/CsvWriter.h"
#include "query/export/TableExport.h"
#include "query/read/KeyCatalog.h"
#include "query/read/KeyRange.h"
#include "query/read/PartSplit.h"
#include "query/read/PieceLayout.h"
#include "query/read/ReadJob.h"
#include "query/read/RowCollector.h"
#include "query/read/RowCount.h"
#include "query/read/SessionPool.h"
#include "query/read/TableCall.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoGenerator.h"
#include "sap/demo/DemoSystem.h"
#include "sap/demo/ReadTableModule.h"
#include "sap/soap/SoapDestination.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWaitCondition>

using namespace engine;

namespace
{
using Profile = DemoDestination::Profile;

Profile profile(bool anyOrder, qint64 budget, bool classicOnly = false)
{
    Profile p;
    p.anyOrder = anyOrder;
    p.rowBudget = budget;
    p.classicOnly = classicOnly;
    return p;
}

const QString kTable2 = QStringLiteral("/SAPDS/RFC_READ_TABLE2");
const QString kTable2048 = QStringLiteral("/SAPDS/RFC_READ_TABLE");

// "A:10" is a column or key field A of 10 characters.
std::vector<PieceLayout::Column> columnsOf(const QStringList& shapes)
{
    std::vector<PieceLayout::Column> columns;
    for (const QString& shape : shapes)
        columns.push_back({shape.section(u':', 0, 0), shape.section(u':', 1).toInt()});
    return columns;
}

// A part as "prefix|low..high weight", "[" for an inclusive low bound, "(" for an exclusive one.
QString partText(const PartSplit::Part& part)
{
    const KeyRange& range = part.range;
    QStringList prefix(range.prefix.begin(), range.prefix.end());
    return QStringLiteral("%1|%2%3..%4 %5")
        .arg(prefix.join(u'/'), range.lowInclusive ? QStringLiteral("[") : QStringLiteral("("),
             range.low.value_or(QString()), range.high.value_or(QString()))
        .arg(part.weight);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class TestReadEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_database;

    ReadJob::Result read(RfcDestination& destination, const ReadPlan& plan, RowSink& sink,
                         qint64 limit = 0, qint64 pageRows = 0, const QString& module = {},
                         int sessions = 1, SessionPool::Opener open = {})
    {
        KeyCatalog keys;
        ReadJob::Settings settings;
        settings.limit = limit;
        settings.pageRows = pageRows;
        settings.moduleName = module;
        settings.sessions = sessions;
        settings.openSession = std::move(open);
        ReadJob job(destination, keys, plan, settings);
        const std::atomic<bool> never{false};
        return job.run(sink, never);
    }

    // Further logons of the demo with the same profile; the system refuses logons once
    // `allowed` sessions are open.
    static SessionPool::Opener demoSessions(const QString& database, const Profile& profile,
                                            int allowed = SessionPool::kMostSessions)
    {
        auto open = std::make_shared<int>(1);
        return [database, profile, allowed, open](BiText* error) {
            std::unique_ptr<RfcDestination> session;
            if (*open >= allowed) {
                *error = BiText::same(QStringLiteral("Too many logons of DEMO"));
                return session;
            }
            session = std::make_unique<DemoDestination>(database, profile);
            const RfcDestination::LogonResult logon = session->logon(demoLogon());
            if (!logon.ok) {
                *error = logon.error;
                session.reset();
                return session;
            }
            ++*open;
            return session;
        };
    }

    // The sessions an opener makes, each watched with the same hooks as the first.
    static SessionPool::Opener watchedSessions(SessionPool::Opener open,
                                               std::function<bool(int, RfcFunction&)> before,
                                               std::function<void(int, RfcFunction&)> after)
    {
        return [open, before, after](BiText* error) {
            std::unique_ptr<RfcDestination> session = open(error);
            if (!session)
                return session;
            auto watched = std::make_unique<WatchedSession>(std::move(session));
            watched->before = before;
            watched->after = after;
            return std::unique_ptr<RfcDestination>(std::move(watched));
        };
    }

    // The WHERE lines of a call as one text.
    static QString whereOf(RfcFunction& function)
    {
        QStringList options;
        const RfcTable& lines = function.table(QStringLiteral("OPTIONS"));
        for (int r = 1; r <= lines.rowCount(); ++r)
            options.append(lines.value(r, QStringLiteral("TEXT")));
        return options.join(u' ').simplified();
    }

    // Every BSEG field read through the demo, each session's calls watched by the same hooks.
    ReadJob::Result readWatched(const Profile& profile, ReadJob::Settings settings,
                                KeyCatalog& keys, TallySink& sink,
                                std::function<bool(int, RfcFunction&)> before,
                                std::function<void(int, RfcFunction&)> after = {},
                                QString database = {})
    {
        if (database.isEmpty())
            database = m_database;
        DemoDestination demo(database, profile);
        WatchedDestination system(demo);
        system.before = before;
        system.after = after;
        settings.openSession = watchedSessions(demoSessions(database, profile), before, after);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        const std::atomic<bool> never{false};
        if (!demo.logon(demoLogon()).ok)
            return {};
        return ReadJob(system, keys, plan, settings).run(sink, never);
    }

    // A read that counts the rows first, in pages of pageRows, on that many sessions.
    static ReadJob::Settings countedPages(qint64 pageRows, int sessions)
    {
        ReadJob::Settings settings;
        settings.pageRows = pageRows;
        settings.sessions = sessions;
        settings.countRows = true;
        return settings;
    }

    static QString failures(const ReadJob::Result& result)
    {
        QStringList lines;
        for (const ReadJob::Failure& failure : result.failures)
            lines.append(TableExport::failureText(failure));
        return lines.join(u'\n') + result.error.en;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        m_database = DemoSystem::databasePath();
    }

    // --- exact whatever the system does

    void readsEveryRowOnceWhateverTheOrder_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("anyOrder");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<qint64>("pageRows");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("sessions");
        QTest::newRow("KNA1, several pieces, in key order")
            << "KNA1" << false << 0LL << 0LL << QStringList{} << QString() << 1;
        QTest::newRow("KNA1, column store, 250 rows an answer")
            << "KNA1" << true << 250LL << 0LL << QStringList{} << QString() << 1;
        QTest::newRow("KNA1, column store, pages of 7")
            << "KNA1" << true << 0LL << 7LL << QStringList{} << QString() << 1;
        QTest::newRow("KNA1, pages of 1")
            << "KNA1" << false << 0LL << 1LL << QStringList{} << QString() << 1;
        QTest::newRow("KNA1, a page larger than the table")
            << "KNA1" << true << 0LL << 100000LL << QStringList{} << QString() << 1;
        QTest::newRow("KNA1, column store, with options")
            << "KNA1" << true << 40LL << 0LL
            << QStringList{"KNA1-LAND1 EQ 'DE' OR", "KNA1-LAND1 EQ 'BR'"} << QString() << 1;
        QTest::newRow("BSEG, column store, 250 rows an answer")
            << "BSEG" << true << 250LL << 0LL << QStringList{} << QString() << 1;
        QTest::newRow("BSEG, column store, no row matches")
            << "BSEG" << true << 250LL << 0LL << QStringList{"BSEG-BELNR EQ 'NONE'"} << QString()
            << 1;
        QTest::newRow("T001, one row") << "T001" << true << 0LL << 1LL
                                       << QStringList{"T001-BUKRS EQ '1000'"} << QString() << 1;
        QTest::newRow("KNA1 in one piece through the widest module, column store, 250 an answer")
            << "KNA1" << true << 250LL << 0LL << QStringList{} << kTable2 << 1;
        QTest::newRow("BSEG through the widest module, column store, 250 rows an answer")
            << "BSEG" << true << 250LL << 0LL << QStringList{} << kTable2 << 1;
        QTest::newRow("ZWIDE's text fields through the widest module, pages of 64")
            << "ZWIDE" << false << 0LL << 64LL << QStringList{} << kTable2 << 1;
        QTest::newRow("KNA1 through 2048-character lines, column store, pages of 7")
            << "KNA1" << true << 0LL << 7LL << QStringList{"KNA1-LAND1 EQ 'DE'"} << kTable2048 << 1;
        // Parts and pieces asked for side by side, each on its own logon.
        QTest::newRow("ZWIDE's text fields in many pieces, pages of 64, 3 sessions")
            << "ZWIDE" << false << 0LL << 64LL << QStringList{} << QString() << 3;
        QTest::newRow("KNA1, column store, pages of 7, 3 sessions")
            << "KNA1" << true << 0LL << 7LL << QStringList{} << QString() << 3;
        QTest::newRow("BSEG, column store, 250 rows an answer, 3 sessions")
            << "BSEG" << true << 250LL << 0LL << QStringList{} << QString() << 3;
        QTest::newRow("BSEG in key order, paced pages of 300, 8 sessions")
            << "BSEG" << false << 0LL << 300LL << QStringList{} << QString() << 8;
        QTest::newRow("BSEG through the widest module, 250 rows an answer, 3 sessions")
            << "BSEG" << false << 250LL << 0LL << QStringList{} << kTable2 << 3;
        // A limit learned to the row: a step halfway between what passed and what failed would
        // fail at no fewer rows than failed before.
        QTest::newRow("BSEG in key order, 25 rows an answer")
            << "BSEG" << false << 25LL << 0LL << QStringList{} << kTable2 << 1;
        QTest::newRow("BSEG in key order, 30 rows an answer, 3 sessions")
            << "BSEG" << false << 30LL << 0LL << QStringList{} << kTable2 << 3;
        QTest::newRow("KNA1, column store, with options, 2 sessions")
            << "KNA1" << true << 40LL << 0LL
            << QStringList{"KNA1-LAND1 EQ 'DE' OR", "KNA1-LAND1 EQ 'BR'"} << QString() << 2;
    }

    void readsEveryRowOnceWhateverTheOrder()
    {
        QFETCH(QString, table);
        QFETCH(bool, anyOrder);
        QFETCH(qint64, budget);
        QFETCH(qint64, pageRows);
        QFETCH(QStringList, options);
        QFETCH(QString, module);
        QFETCH(int, sessions);
        DemoDestination demo(m_database, profile(anyOrder, budget));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        const ReadPlan plan = planOf(table, {}, options);
        TallySink sink;
        int opened = 0;
        const SessionPool::Opener open = demoSessions(m_database, profile(anyOrder, budget));
        const ReadJob::Result result =
            read(system, plan, sink, 0, pageRows, module, sessions, [&](BiText* error) {
                ++opened;
                return open(error);
            });
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY2(result.notes.isEmpty(),
                 qPrintable(result.notes.isEmpty() ? QString() : result.notes.front().en));
        const QString called = module.isEmpty() ? QStringLiteral("RFC_READ_TABLE") : module;
        QCOMPARE(result.module, called);
        for (const WatchedDestination::Call& call : std::as_const(system.calls)) {
            if (call.table == table)
                QCOMPARE(call.function, called);
        }
        QString where;
        for (const QString& line : options)
            where +=
                u' ' +
                line.mid(table.size() + 1).replace(QStringLiteral(" EQ "), QStringLiteral(" = "));
        const QHash<QString, int> expected = rowsInDatabase(m_database, plan, where);
        QCOMPARE(sink.rows, result.rows);
        QCOMPARE(sink.tally.size(), expected.size());
        QVERIFY(sink.tally == expected);
        QVERIFY(sink.inOrder);
        QVERIFY(sink.finished);
        // The other sessions were opened; which of them takes a call is up to the threads.
        QCOMPARE(opened, sessions - 1);
    }

    void aWiderModuleTakesFewerCalls()
    {
        // ZWIDE's text fields take many lines of 512 characters and one of 30,000.
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        const ReadPlan plan = planOf(QStringLiteral("ZWIDE"));
        QVERIFY(plan.pieceCount() > 4);
        TallySink classic;
        TallySink wide;
        const ReadJob::Result narrow = read(demo, plan, classic, 0, 1000);
        const ReadJob::Result widest = read(demo, plan, wide, 0, 1000, kTable2);
        QVERIFY2(narrow.ok && widest.ok, qPrintable(failures(narrow) + failures(widest)));
        QVERIFY(classic.tally == wide.tally);
        QCOMPARE(widest.calls, 1);
        QVERIFY2(narrow.calls >= plan.pieceCount(), qPrintable(QString::number(narrow.calls)));
        QCOMPARE(ReadJob::callsText(widest.calls, widest.module),
                 BiText({QStringLiteral("1 call, /SAPDS/RFC_READ_TABLE2"),
                         QStringLiteral("1 chamada, /SAPDS/RFC_READ_TABLE2")}));
        QCOMPARE(ReadJob::callsText(2, narrow.module),
                 BiText({QStringLiteral("2 calls"), QStringLiteral("2 chamadas")}));
    }

    void theWidestModuleIsFoundOnce_data()
    {
        QTest::addColumn<bool>("classicOnly");
        QTest::addColumn<QString>("missing"); // a module the system answers FU_NOT_FOUND for
        QTest::addColumn<QString>("chosen");
        QTest::newRow("the demo") << false << QString() << kTable2;
        QTest::newRow("without RFC_READ_TABLE2") << false << kTable2 << kTable2048;
        QTest::newRow("RFC_READ_TABLE alone") << true << QString() << "RFC_READ_TABLE";
    }

    void theWidestModuleIsFoundOnce()
    {
        QFETCH(bool, classicOnly);
        QFETCH(QString, missing);
        QFETCH(QString, chosen);
        DemoDestination demo(m_database, profile(false, 0, classicOnly));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.before = [&](int, RfcFunction& function) {
            if (function.name() != missing)
                return true;
            function.setException(QStringLiteral("FU_NOT_FOUND"));
            return false;
        };
        KeyCatalog catalog;
        QCOMPARE(catalog.knownWidestModule().has_value(), false);
        QCOMPARE(catalog.widestModule(system).name(), chosen);
        const qsizetype asked = system.calls.size();
        QCOMPARE(catalog.widestModule(system).name(), chosen);
        QCOMPARE(system.calls.size(), asked);
        QCOMPARE(catalog.knownWidestModule()->name(), chosen);
        // A read asked for the widest module uses it without asking again.
        ReadJob::Settings settings;
        settings.widestModule = true;
        ReadJob job(system, catalog, planOf(QStringLiteral("T001")), settings);
        TallySink sink;
        const std::atomic<bool> never{false};
        QCOMPARE(job.run(sink, never).module, chosen);
        QVERIFY(sink.rows > 0);
        for (qsizetype c = asked; c < system.calls.size(); ++c) {
            const WatchedDestination::Call& call = system.calls.at(c);
            QVERIFY2(call.table != u"T000", "the module was asked for again");
            if (call.table == u"T001")
                QCOMPARE(call.function, chosen);
        }
    }

    void aWiderModuleThatFailsGivesWayToRfcReadTable_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("saidInPortuguese");
        QTest::newRow("not authorised for the module") << "authority"
                                                       << "NOT_AUTHORIZED"
                                                       << "NOT_AUTHORIZED";
        QTest::newRow("OUT_TABLE names a table it did not fill")
            << "out table"
            << "named TBLOUT128 in OUT_TABLE"
            << "indicou TBLOUT128 em OUT_TABLE";
        QTest::newRow("a line wider than its table") << "wide line"
                                                     << "which holds 512"
                                                     << "que comporta 512";
        QTest::newRow("rows in two tables") << "two tables"
                                            << "more than one of its tables"
                                            << "mais de uma das suas tabelas";
    }

    void aWiderModuleThatFailsGivesWayToRfcReadTable()
    {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        QFETCH(QString, saidInPortuguese);
        DemoDestination demo(m_database, profile(true, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.before = [&](int, RfcFunction& function) {
            if (function.name() != kTable2 || fault != u"authority")
                return true;
            function.setException(QStringLiteral("NOT_AUTHORIZED"));
            return false;
        };
        system.after = [&](int, RfcFunction& function) {
            if (function.name() != kTable2 ||
                function.result(QStringLiteral("OUT_TABLE")).isEmpty())
                return;
            if (fault == u"out table")
                function.setResult(QStringLiteral("OUT_TABLE"), QStringLiteral("TBLOUT128"));
            else if (fault == u"wide line")
                function.table(QStringLiteral("TBLOUT512")).deliver({QString(513, u'x')});
            else if (fault == u"two tables")
                function.table(QStringLiteral("TBLOUT30000")).deliver({QStringLiteral("x")});
        };
        const ReadPlan plan = planOf(QStringLiteral("KNA1"));
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink, 0, 0, kTable2);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QCOMPARE(result.notes.size(), qsizetype(1));
        const BiText& note = result.notes.front();
        QVERIFY2(note.en.contains(said) &&
                     note.en.contains(QStringLiteral("read with RFC_READ_TABLE")),
                 qPrintable(note.en));
        QVERIFY2(note.pt.contains(saidInPortuguese) &&
                     note.pt.contains(QStringLiteral("a leitura foi feita com RFC_READ_TABLE")),
                 qPrintable(note.pt));
        QCOMPARE(system.calls.back().function, QStringLiteral("RFC_READ_TABLE"));
    }

    void progressFollowsTheRowCount_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("counting"); // the system offers EM_GET_NUMBER_OF_ENTRIES
        QTest::addColumn<bool>("counted");
        QTest::addColumn<bool>("known"); // the session keeps the table's row count after
        QTest::newRow("BSEG, counted first") << "BSEG" << QStringList{} << true << true << true;
        QTest::newRow("T000, a table of every client")
            << "T000" << QStringList{} << true << true << true;
        QTest::newRow("with options, not counted")
            << "KNA1" << QStringList{"KNA1-LAND1 EQ 'DE'"} << true << false << false;
        // Every row was read: their number is the count.
        QTest::newRow("a system that cannot count")
            << "KNA1" << QStringList{} << false << false << true;
    }

    void progressFollowsTheRowCount()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, options);
        QFETCH(bool, counting);
        QFETCH(bool, counted);
        QFETCH(bool, known);
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.before = [&](int, RfcFunction& function) {
            if (counting || function.name() != u"EM_GET_NUMBER_OF_ENTRIES")
                return true;
            function.setException(QStringLiteral("FU_NOT_FOUND"));
            return false;
        };
        KeyCatalog keys;
        ReadJob::Settings settings;
        settings.countRows = true;
        settings.pageRows = 400;
        ReadJob job(system, keys, planOf(table, {}, options), settings);
        struct Step {
            qint64 rows, total;
            double fraction;
        };
        std::vector<Step> steps;
        ReadJob::Observer observer;
        observer.progress = [&](const QString&, qint64 rows, qint64 total, double fraction) {
            steps.push_back({rows, total, fraction});
        };
        TallySink sink;
        const std::atomic<bool> never{false};
        const ReadJob::Result result = job.run(sink, never, observer);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(!steps.empty());
        for (const Step& step : steps) {
            QCOMPARE(step.total, counted ? sink.rows : -1);
            if (counted)
                QCOMPARE(step.fraction, double(step.rows) / double(sink.rows));
        }
        QCOMPARE(steps.back().rows, sink.rows);
        QVERIFY2(steps.back().fraction > 0.999, qPrintable(QString::number(steps.back().fraction)));
        QCOMPARE(keys.knownRowCount(table), known ? sink.rows : -1);
        // Another system's counts are not this one's.
        keys.bind(std::make_shared<DemoDestination>(m_database, profile(false, 0)));
        QCOMPARE(keys.knownRowCount(table), -1);
    }

    void aLimitTakesTheFirstRowsByKey_data()
    {
        QTest::addColumn<bool>("anyOrder");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("pageRows");
        QTest::newRow("in order, within a page") << false << 20LL << 0LL;
        QTest::newRow("any order, several pages") << true << 30LL << 7LL;
        QTest::newRow("any order, the preview's 500") << true << 500LL << 0LL;
    }

    void aLimitTakesTheFirstRowsByKey()
    {
        QFETCH(bool, anyOrder);
        QFETCH(qint64, limit);
        QFETCH(qint64, pageRows);
        DemoDestination demo(m_database, profile(anyOrder, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        // Wider than a line: its pieces must hold the same rows.
        const ReadPlan plan = planOf(QStringLiteral("KNA1"));
        QVERIFY(plan.pieceCount() > 1);
        RowCollector rows(plan.fieldCount());
        const ReadJob::Result result = read(demo, plan, rows, limit, pageRows);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QCOMPARE(qint64(rows.rows().size()), limit);
        const QHash<QString, int> all = rowsInDatabase(m_database, plan);
        QStringList sorted = all.keys();
        sorted.sort();
        for (qint64 r = 0; r < limit; ++r) {
            QStringList values(rows.rows()[size_t(r)].begin(), rows.rows()[size_t(r)].end());
            QCOMPARE(rowText(values), sorted.at(r));
        }
    }

    void aSystemThatIgnoresRowcountIsReadExactly()
    {
        DemoDestination demo(m_database, profile(true, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.before = [](int, RfcFunction& function) {
            function.setImport(QStringLiteral("ROWCOUNT"), QStringLiteral("0"));
            return true;
        };
        const ReadPlan plan = planOf(QStringLiteral("KNA1"));
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink, 0, 50);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
    }

    // --- rows that change while they are read

    void aRowDeletedBetweenPiecesIsReadAgain_data()
    {
        QTest::addColumn<bool>("everyTime");
        QTest::addColumn<int>("sessions");
        QTest::newRow("once: the part is read again and agrees") << false << 1;
        QTest::newRow("every time: the keys are named") << true << 1;
        // The other pieces come from other logons, which see the row gone.
        QTest::newRow("once, 3 sessions") << false << 3;
        QTest::newRow("every time, 3 sessions") << true << 3;
    }

    void aRowDeletedBetweenPiecesIsReadAgain()
    {
        QFETCH(bool, everyTime);
        QFETCH(int, sessions);
        QTemporaryDir copy;
        const QString database = copy.filePath(QStringLiteral("demo.sqlite"));
        QVERIFY(QFile::copy(m_database, database));
        DemoDestination demo(database, profile(true, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        int deleted = 0;
        QMutex deleting; // sessions call side by side
        // After each read of the first piece, whichever session read it, a row of that part
        // disappears.
        const auto deleteOne = [&](int, RfcFunction& function) {
            const RfcTable& fields = function.table(QStringLiteral("FIELDS"));
            QMutexLocker lock(&deleting);
            if (function.importValue(QStringLiteral("QUERY_TABLE")) != u"KNA1" ||
                fields.value(1, QStringLiteral("FIELDNAME")) != u"MANDT" ||
                (deleted > 0 && !everyTime))
                return;
            QVERIFY(execute(database, QStringLiteral("DELETE FROM KNA1 WHERE KUNNR = '%1'")
                                          .arg(deleted * 2 + 1, 10, 10, QChar(u'0'))));
            ++deleted;
        };
        system.after = deleteOne;
        const SessionPool::Opener watchedSession =
            watchedSessions(demoSessions(database, profile(true, 0)), {}, deleteOne);
        const ReadPlan plan = planOf(QStringLiteral("KNA1"));
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("kna1.csv"));
        QFile before(path);
        QVERIFY(before.open(QIODevice::WriteOnly));
        before.write("the previous export\r\n");
        before.close();
        KeyCatalog keys;
        TableExport::Settings settings;
        settings.path = path;
        settings.sessions = sessions;
        settings.openSession = watchedSession;
        TableExport exporter(system, keys, plan, settings);
        const std::atomic<bool> never{false};
        const TableExport::Result result = exporter.run(never, {});
        QVERIFY(deleted > 0);
        if (!everyTime) {
            QVERIFY2(result.ok, qPrintable(result.error.en + result.failedPieces.join(u',')));
            QCOMPARE(result.rows, long(rowsInDatabase(database, plan).size()));
        } else {
            QVERIFY(!result.ok);
            QCOMPARE(result.failures.size(), size_t(1));
            QVERIFY(!result.failures.front().keys.isEmpty());
            QVERIFY(result.failures.front().keys.size() <= 5);
            QVERIFY2(result.failures.front().explanation.en.contains(u"KNA1"),
                     qPrintable(result.failures.front().explanation.en));
            QCOMPARE(readAll(path), QByteArray("the previous export\r\n"));
            QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        }
    }

    // A system that refuses further logons is read with the sessions it allowed, and says so.
    void aSystemThatAllowsFewerSessionsIsReadWithThose_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::addColumn<int>("allowed");
        QTest::addColumn<QString>("note");
        QTest::newRow("one allowed") << 3 << 1
                                     << "the system allowed 1 of 3 sessions (Too many logons of "
                                        "DEMO): the read went on with 1";
        QTest::newRow("two of four") << 4 << 2
                                     << "the system allowed 2 of 4 sessions (Too many logons of "
                                        "DEMO): the read went on with 2";
        QTest::newRow("all of eight") << 8 << 8 << QString();
    }

    void aSystemThatAllowsFewerSessionsIsReadWithThose()
    {
        QFETCH(int, sessions);
        QFETCH(int, allowed);
        QFETCH(QString, note);
        const Profile columnStore = profile(true, 250);
        DemoDestination demo(m_database, columnStore);
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink, 0, 0, {}, sessions,
                                            demoSessions(m_database, columnStore, allowed));
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QCOMPARE(result.notes.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty()) {
            QCOMPARE(result.notes.front().en, note);
            QVERIFY2(result.notes.front().pt.startsWith(
                         QStringLiteral("o sistema permitiu %1 de %2 sessões")
                             .arg(allowed)
                             .arg(sessions)),
                     qPrintable(result.notes.front().pt));
        }
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QVERIFY(sink.inOrder);
        // With one session every call is the first session's (and the dictionary's).
        if (allowed == 1)
            QCOMPARE(system.calls.size(), result.calls + 1);
    }

    // More logons cost the system work processes: only a read with calls to make side by side
    // opens them.
    void onlyAReadWithCallsSideBySideOpensSessions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("opened");
        QTest::newRow("a preview of KNA1") << "KNA1" << 20LL << 0;
        QTest::newRow("every row of T000") << "T000" << 0LL << 0;
        QTest::newRow("every row of KNA1, one page") << "KNA1" << 0LL << 0;
        QTest::newRow("every row of BSEG, many pages") << "BSEG" << 0LL << 2;
    }

    void onlyAReadWithCallsSideBySideOpensSessions()
    {
        QFETCH(QString, table);
        QFETCH(qint64, limit);
        QFETCH(int, opened);
        const Profile columnStore = profile(true, 2000);
        DemoDestination demo(m_database, columnStore);
        QVERIFY(demo.logon(demoLogon()).ok);
        int logons = 0;
        const SessionPool::Opener open = demoSessions(m_database, columnStore);
        TallySink sink;
        const ReadJob::Result result =
            read(demo, planOf(table), sink, limit, 0, {}, 3, [&](BiText* error) {
                ++logons;
                return open(error);
            });
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QCOMPARE(logons, opened);
    }

    // The first page of a table counted many pages long goes out at the page, its half and
    // its quarter at once, one a session: a limit the system sets is learned in the time of one
    // call. With one session, or without the count, the page halves call after call.
    void theFirstPageGoesOutAtSeveralSizesAtOnce_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::addColumn<bool>("countRows");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<int>("together"); // calls of the whole table in flight at once
        QTest::newRow("three sessions, a limit") << 3 << true << 250LL << 3;
        QTest::newRow("two sessions, a limit") << 2 << true << 250LL << 2;
        QTest::newRow("three sessions, no limit") << 3 << true << 0LL << 3;
        QTest::newRow("three sessions, not counted") << 3 << false << 250LL << 1;
        QTest::newRow("one session, a limit") << 1 << true << 250LL << 1;
    }

    void theFirstPageGoesOutAtSeveralSizesAtOnce()
    {
        QFETCH(int, sessions);
        QFETCH(bool, countRows);
        QFETCH(qint64, budget);
        QFETCH(int, together);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        QMutex lock;
        QList<qint64> asked; // of the calls of the whole table
        int inFlight = 0;
        int mostInFlight = 0;
        const auto wholeTable = [&](RfcFunction& function) {
            return function.importValue(QStringLiteral("QUERY_TABLE")) == u"BSEG" &&
                   function.table(QStringLiteral("OPTIONS")).rowCount() == 0 &&
                   function.table(QStringLiteral("FIELDS")).rowCount() == plan.fieldCount();
        };
        QWaitCondition joined;
        const auto before = [&](int, RfcFunction& function) {
            if (wholeTable(function)) {
                // A demo call is over before the next one starts: the first calls wait a while
                // for the others expected beside them.
                QMutexLocker locked(&lock);
                asked.append(function.importValue(QStringLiteral("ROWCOUNT")).toLongLong());
                mostInFlight = std::max(mostInFlight, ++inFlight);
                joined.wakeAll();
                QDeadlineTimer patience(2000);
                while (asked.size() <= together && mostInFlight < together &&
                       joined.wait(&lock, patience)) {
                }
            }
            return true;
        };
        const auto after = [&](int, RfcFunction& function) {
            if (wholeTable(function)) {
                QMutexLocker locked(&lock);
                --inFlight;
            }
        };
        KeyCatalog keys;
        ReadJob::Settings settings;
        settings.pageRows = 800;
        settings.sessions = sessions;
        settings.countRows = countRows;
        TallySink sink;
        const ReadJob::Result result =
            readWatched(profile(false, budget), settings, keys, sink, before, after);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QVERIFY(sink.inOrder);
        std::sort(asked.begin(), asked.end());
        QCOMPARE(asked, QList<qint64>({201, 401, 801}));
        QCOMPARE(mostInFlight, together);
        // What failed is kept as when the sizes went out one after another.
        const qint64 failed = keys.pageLimits(QStringLiteral("BSEG")).leastFailed;
        if (budget > 0)
            QVERIFY2(failed > budget && failed <= 401, qPrintable(QString::number(failed)));
        else
            QCOMPARE(failed, 0);
    }

    // While the read waits on a slow call, the sessions that are done get the calls next in
    // line, beyond the page ahead per session that answers waiting to be taken would allow.
    void idleSessionsGoOnWhileTheReadWaits_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::newRow("two") << 2;
        QTest::newRow("three") << 3;
    }

    void idleSessionsGoOnWhileTheReadWaits()
    {
        QFETCH(int, sessions);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        QMutex lock;
        bool slowGiven = false;
        bool slowRunning = false;
        int startedMeanwhile = 0;
        const auto before = [&](int, RfcFunction& function) {
            const QString range = whereOf(function);
            const bool step = range.contains(QStringLiteral("BELNR >= ")) &&
                              range.contains(QStringLiteral("AND BELNR < "));
            QMutexLocker locked(&lock);
            if (slowRunning) {
                ++startedMeanwhile;
            } else if (step && !slowGiven) {
                // The first step of the paced read is slow.
                slowGiven = slowRunning = true;
                locked.unlock();
                QThread::msleep(1000);
                locked.relock();
                slowRunning = false;
            }
            return true;
        };
        KeyCatalog keys;
        ReadJob::Settings settings = countedPages(200, sessions);
        TallySink sink;
        const ReadJob::Result result = readWatched(profile(false, 0), settings, keys, sink, before);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QVERIFY(sink.inOrder);
        QVERIFY(slowGiven);
        // A page ahead per session alone lets no more than `sessions` calls start meanwhile.
        QVERIFY2(startedMeanwhile > sessions, qPrintable(QString::number(startedMeanwhile)));
    }

    // Another logon costs round trips: a table the count says is read in a page and a rest
    // opens none, where one of many pages opens them all.
    void sessionsOpenOnlyForCallsSideBySide_data()
    {
        QTest::addColumn<qint64>("pageRows");
        QTest::addColumn<int>("opened");
        QTest::newRow("a page and a rest") << 500LL << 0;
        QTest::newRow("many pages") << 100LL << 2;
    }

    void sessionsOpenOnlyForCallsSideBySide()
    {
        QFETCH(qint64, pageRows);
        QFETCH(int, opened);
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        const SessionPool::Opener open = demoSessions(m_database, profile(false, 0));
        int logons = 0;
        KeyCatalog keys;
        ReadJob::Settings settings = countedPages(pageRows, 3);
        settings.moduleName = kTable2;
        settings.openSession = [&](BiText* error) {
            ++logons;
            return open(error);
        };
        const ReadPlan plan = planOf(QStringLiteral("ZWIDE"));
        TallySink sink;
        const std::atomic<bool> never{false};
        const ReadJob::Result result = ReadJob(demo, keys, plan, settings).run(sink, never);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QCOMPARE(logons, opened);
    }

    // Each call is a dialog step on the system: past the end of a company code's documents few
    // calls go out that find no rows, and none for the empty stretches between company codes.
    void fewCallsFindNoRows_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::addColumn<int>("mostEmpty");
        // Per company code at most the calls in flight when its rows ended, and one for the
        // rest; one more after the last.
        QTest::newRow("one session") << 1 << 4 * (1 + 1) + 1;
        QTest::newRow("3 sessions") << 3 << 4 * (3 + 1) + 1;
    }

    void fewCallsFindNoRows()
    {
        QFETCH(int, sessions);
        QFETCH(int, mostEmpty);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        QMutex lock;
        QStringList ranges; // of the calls of every field
        const auto record = [&](int, RfcFunction& function) {
            if (function.importValue(QStringLiteral("QUERY_TABLE")) == u"BSEG" &&
                function.table(QStringLiteral("FIELDS")).rowCount() == plan.fieldCount()) {
                QMutexLocker locked(&lock);
                ranges.append(whereOf(function));
            }
            return true;
        };
        KeyCatalog keys;
        ReadJob::Settings settings = countedPages(200, sessions);
        TallySink sink;
        // Each call takes its time, as on a system: in no time at all, sessions race through
        // steps before any answer is in.
        Profile timed = profile(false, 0);
        timed.callMilliseconds = 5;
        const ReadJob::Result result = readWatched(timed, settings, keys, sink, record);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        QStringList empty;
        for (const QString& range : std::as_const(ranges))
            if (!range.isEmpty() && rowsInDatabase(m_database, plan, u'(' + range + u')').empty())
                empty.append(range);
        QVERIFY2(empty.size() <= mostEmpty, qPrintable(empty.join(u'\n')));
        for (const QString& range : std::as_const(empty))
            QVERIFY2(!range.contains(QStringLiteral("BUKRS > '")) ||
                         !range.contains(QStringLiteral("AND BUKRS < '")),
                     qPrintable(range));
    }

    // Under a limit of rows an answer may hold, steps grow toward it, one step at a time above
    // what passed, so that no two steps fail side by side; then they aim just below what passed,
    // and the read makes about as many calls as the rows divided by the limit.
    void stepsLearnTheLimitOneAtATime_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<QString>("upFront");
        QTest::addColumn<int>("mostFailed"); // the calls that learn the limit
        QTest::addColumn<int>("later");  // rows an answer may hold from the 21st call on (0: same)
        QTest::addColumn<bool>("asked"); // a call fails by the rows it asks for, not answers with
        // Three times the line items for a stretch of documents: steps paced by the rows before
        // it fill their page there, and fail no more calls than learning the limit takes.
        const QString dense = QStringLiteral(
            "CREATE TEMP TABLE MORE AS SELECT * FROM BSEG WHERE BUKRS = '2000' AND BELNR >= "
            "'0000001000' AND BELNR < '0000001400'; UPDATE MORE SET BUZEI = printf('%03d', "
            "BUZEI + 300); INSERT INTO BSEG SELECT * FROM MORE; UPDATE MORE SET BUZEI = "
            "printf('%03d', BUZEI + 300); INSERT INTO BSEG SELECT * FROM MORE");
        for (int sessions : {1, 3}) {
            for (qint64 budget : {250, 400})
                QTest::addRow("%d sessions, %lld rows", sessions, budget)
                    << sessions << budget << QString() << (budget == 250 ? 4 : 6) << 0 << false;
            QTest::addRow("%d sessions, a dense stretch", sessions)
                << sessions << 250LL << dense << 4 << 0 << false;
            // The system runs short of memory once the limit is learned: the steps out fail, and
            // the read learns the limit anew.
            QTest::addRow("%d sessions, less memory later", sessions)
                << sessions << 250LL << QString() << (sessions == 1 ? 12 : 20) << 200 << false;
        }
        // A system that refuses large requests, however few rows they would find: a part too
        // short for a step is asked for as a page, which shrinks, not again and again.
        QTest::addRow("1 sessions, large requests refused later")
            << 1 << 250LL << QString() << 12 << 200 << true;
    }

    void stepsLearnTheLimitOneAtATime()
    {
        QFETCH(int, sessions);
        QFETCH(qint64, budget);
        QFETCH(QString, upFront);
        QFETCH(int, mostFailed);
        QFETCH(int, later);
        QFETCH(bool, asked);
        QTemporaryDir copy;
        const QString database = copy.filePath(QStringLiteral("demo.sqlite"));
        QVERIFY(QFile::copy(m_database, database));
        QVERIFY(upFront.isEmpty() || execute(database, upFront));
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        struct Call {
            int start = 0;
            int end = 0;
            bool step = false;
            bool failed = false;
            QString where;
            int rowCount = 0;
        };
        QMutex lock;
        QList<Call> calls; // of every field
        QHash<RfcFunction*, qsizetype> open;
        int clock = 0;
        const auto allFields = [&](RfcFunction& function) {
            return function.importValue(QStringLiteral("QUERY_TABLE")) == u"BSEG" &&
                   function.table(QStringLiteral("FIELDS")).rowCount() == plan.fieldCount();
        };
        // The rows a call would answer with (its ROWCOUNT, or fewer where its part holds fewer),
        // or those it asks for.
        const auto whereOf = [](RfcFunction& function) {
            const RfcTable& options = function.table(QStringLiteral("OPTIONS"));
            QStringList where;
            for (int r = 1; r <= options.rowCount(); ++r)
                where.append(options.value(r, QStringLiteral("TEXT")));
            return where.join(u' ');
        };
        const auto rowsFound = [&](const QString& where, int rowCount) {
            const int rows =
                rowsOf(rowsInDatabase(database, plan, where.isEmpty() ? where : '(' + where + ')'));
            return rowCount > 0 ? std::min(rowCount, rows) : rows;
        };
        const auto answerRows = [&](RfcFunction& function) {
            const int rowCount = function.importValue(QStringLiteral("ROWCOUNT")).toInt();
            return asked && rowCount > 0 ? rowCount : rowsFound(whereOf(function), rowCount);
        };
        const auto before = [&](int, RfcFunction& function) {
            if (allFields(function)) {
                QMutexLocker locked(&lock);
                open.insert(&function, calls.size());
                calls.append({++clock, 0, function.table(QStringLiteral("OPTIONS")).rowCount() > 0,
                              false, whereOf(function),
                              function.importValue(QStringLiteral("ROWCOUNT")).toInt()});
                // A read that asks again and again ends rather than hangs the test.
                if (calls.size() > 1000) {
                    function.setException(QStringLiteral("TABLE_NOT_AVAILABLE"), QString());
                    return false;
                }
                if (later > 0 && calls.size() > 20 && answerRows(function) > later) {
                    calls.back().end = ++clock;
                    calls.back().failed = true;
                    open.remove(&function);
                    function.setException(QStringLiteral("SYSTEM_FAILURE"),
                                          QStringLiteral("No more memory"));
                    return false;
                }
            }
            return true;
        };
        const auto after = [&](int, RfcFunction& function) {
            QMutexLocker locked(&lock);
            if (const auto found = open.constFind(&function); found != open.cend()) {
                Call& call = calls[*found];
                call.end = ++clock;
                call.failed = function.exception() == u"SYSTEM_FAILURE";
                open.erase(found);
            }
        };
        KeyCatalog keys;
        ReadJob::Settings settings = countedPages(2000, sessions);
        Profile timed = profile(false, budget);
        timed.callMilliseconds = 5;
        TallySink sink;
        const ReadJob::Result result =
            readWatched(timed, settings, keys, sink, before, after, database);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        const auto expected = rowsInDatabase(database, plan);
        QVERIFY(sink.tally == expected);
        const qsizetype rows = rowsOf(expected);
        int failed = 0;
        // Where memory shrinks, the steps out when it does fail side by side.
        for (const Call& call : std::as_const(calls)) {
            failed += call.failed ? 1 : 0;
            for (const Call& other : std::as_const(calls))
                QVERIFY2(later > 0 || &call == &other || !call.step || !other.step ||
                             !call.failed || !other.failed || call.end < other.start ||
                             other.end < call.start,
                         "two steps failed side by side");
        }
        // Each of the 4 company codes may end in a short step, steps already out past its end
        // and the page that finds the next code, and a stretch that grew dense takes a page
        // more.
        QVERIFY2(failed <= mostFailed, qPrintable(QString::number(failed)));
        // A step too large for the system leaves no short tail to be read on its own: in even
        // data, a step that found few rows found the end of its company code's documents.
        static const QRegularExpression stepRange(
            QStringLiteral("BUKRS = ('\\d+') AND BELNR >= '\\d+' AND BELNR < ('\\d+')$"));
        for (const Call& call : std::as_const(calls)) {
            const QRegularExpressionMatch step = stepRange.match(call.where);
            if (later > 0 || !upFront.isEmpty() || call.failed || !step.hasMatch() ||
                rowsFound(call.where, call.rowCount) * 8 >= budget)
                continue;
            const QString after = QStringLiteral("BUKRS = %1 AND BELNR >= %2")
                                      .arg(step.captured(1), step.captured(2));
            QVERIFY2(rowsFound(after, 0) == 0, qPrintable(call.where));
        }
        // Nor do the calls beside a probe, or the page that finds the next company code, ask for
        // far fewer rows than the probe is about to show to pass: in even data, a step or such a
        // page holds two thirds of the budget, unless its rows end there or the count shares the
        // table's last rows out among the sessions.
        static const QRegularExpression nextCode(QStringLiteral("^BUKRS > '\\d+'$"));
        for (const Call& call : std::as_const(calls)) {
            const QRegularExpressionMatch step = stepRange.match(call.where);
            const bool next = nextCode.match(call.where).hasMatch();
            if (later > 0 || !upFront.isEmpty() || call.failed || (!step.hasMatch() && !next) ||
                rowsFound(call.where, call.rowCount) * 3 >= budget * 2)
                continue;
            const QString rest = next ? call.where
                                      : QStringLiteral("(BUKRS = %1 AND BELNR >= %2) OR BUKRS > %1")
                                            .arg(step.captured(1), step.captured(2));
            const int restRows = rowsFound(rest, 0);
            const int behind = next ? restRows
                                    : rowsFound(QStringLiteral("BUKRS = %1 AND BELNR >= %2")
                                                    .arg(step.captured(1), step.captured(2)),
                                                0);
            QVERIFY2(behind == 0 || restRows <= sessions * budget,
                     qPrintable(QStringLiteral("%1: %2 rows")
                                    .arg(call.where)
                                    .arg(rowsFound(call.where, call.rowCount))));
        }
        const qsizetype limit = later > 0 ? later : budget;
        const qsizetype fewest = (rows + limit - 1) / limit;
        // Where memory shrank, steps hold half the rows while the limit is learned anew.
        const qsizetype most =
            fewest * 11 / 10 + failed + 4 * (sessions + 2) + (later > 0 ? fewest / 4 : 0);
        QVERIFY2(calls.size() <= most,
                 qPrintable(QStringLiteral("%1 calls, %2 failed").arg(calls.size()).arg(failed)));
    }

    // Near the counted end, the rows left go out in one call a session, side by side, rather
    // than steps of a page and then a large rest that the other sessions would wait for. The
    // pages give last stretches of many sizes.
    void theLastStretchIsSharedOutAmongTheSessions_data()
    {
        QTest::addColumn<qint64>("pageRows");
        for (qint64 page : {150, 170, 200, 230, 250, 280, 300, 330, 370, 400})
            QTest::addRow("%lld", page) << page;
    }

    void theLastStretchIsSharedOutAmongTheSessions()
    {
        QFETCH(qint64, pageRows);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        QMutex lock;
        QStringList ranges; // of the calls of every field
        const auto record = [&](int, RfcFunction& function) {
            if (function.importValue(QStringLiteral("QUERY_TABLE")) != u"BSEG" ||
                function.table(QStringLiteral("FIELDS")).rowCount() != plan.fieldCount())
                return true;
            const QString range = whereOf(function);
            QMutexLocker locked(&lock);
            ranges.append(range);
            return true;
        };
        KeyCatalog keys;
        ReadJob::Settings settings = countedPages(pageRows, 3);
        TallySink sink;
        const ReadJob::Result result = readWatched(profile(false, 0), settings, keys, sink, record);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        // The calls within the last company code, in key order of their lower ends.
        QString last;
        for (const QString& range : std::as_const(ranges))
            if (range.startsWith(QStringLiteral("BUKRS = '")))
                last = std::max(last, range.mid(9, 4));
        QStringList within;
        for (const QString& range : std::as_const(ranges))
            if (range.startsWith(QStringLiteral("BUKRS = '%1' AND BELNR >= ").arg(last)))
                within.append(range);
        std::sort(within.begin(), within.end());
        QVERIFY(within.size() >= 3);
        const auto rowsIn = [&](const QString& range) {
            int rows = 0;
            for (int n : rowsInDatabase(m_database, plan, u'(' + range + u')'))
                rows += n;
            return rows;
        };
        const double step = PartSplit::kPacedShare * static_cast<double>(pageRows);
        std::vector<int> tail;
        for (qsizetype i = within.size() - 3; i < within.size(); ++i)
            tail.push_back(rowsIn(within.at(i)));
        const auto [fewest, most] = std::minmax_element(tail.begin(), tail.end());
        // Either the rest after the last steps is short, or the rows left were shared out. A
        // step ends between documents, so it may hold a few rows more than its share.
        const double full = step * 1.05;
        const bool shortRest = tail.back() < step / 2 && tail[0] <= full && tail[1] <= full;
        const bool shared = *fewest > 0 && *most <= full && *most <= 2 * *fewest;
        QVERIFY2(shortRest || shared, qPrintable(QStringLiteral("%1 %2 %3 of %4")
                                                     .arg(tail[0])
                                                     .arg(tail[1])
                                                     .arg(tail[2])
                                                     .arg(result.rows)));
    }

    // A page's rows seem to be in key order, but the check of their keys disagrees (a row went
    // between the calls): the part is split again, and the rest that went out ahead on other
    // sessions is taken back.
    // Rows that change before the check of a company code's keys alone, and stretches of the
    // key without rows that make the read believe a part holds no more.
    void aSampleItsKeysDisagreeWithIsReadAgain_data()
    {
        QTest::addColumn<int>("sessions");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("atCheck");
        QTest::addColumn<QString>("upFront");
        const QString deleteFirst = QStringLiteral(
            "DELETE FROM BSEG WHERE (BUKRS, BELNR, GJAHR, BUZEI) = (SELECT BUKRS, BELNR, GJAHR, "
            "BUZEI FROM BSEG ORDER BY BUKRS, BELNR, GJAHR, BUZEI LIMIT 1)");
        const QString copyFirstTo = QStringLiteral(
            "CREATE TEMP TABLE FIRST AS SELECT * FROM BSEG ORDER BY BUKRS, BELNR, GJAHR, BUZEI "
            "LIMIT 1; UPDATE FIRST SET %1; INSERT INTO BSEG SELECT * FROM FIRST");
        const QString gap =
            QStringLiteral("DELETE FROM BSEG WHERE BUKRS = '2000' AND BELNR >= '0000000800' AND "
                           "BELNR < '0000001300'");
        for (int sessions : {1, 3}) {
            QTest::addRow("the first row goes, %d sessions", sessions)
                << sessions << "1000" << deleteFirst << QString();
            QTest::addRow("a row comes before the first company code, %d sessions", sessions)
                << sessions << "1000" << copyFirstTo.arg("BUKRS = '0001'") << QString();
            QTest::addRow("a row comes between two company codes, %d sessions", sessions)
                << sessions << "2000" << copyFirstTo.arg("BUKRS = '1500'") << QString();
            QTest::addRow("no documents for a stretch, %d sessions", sessions)
                << sessions << QString() << QString() << gap;
            QTest::addRow("one document amid a stretch without, %d sessions", sessions)
                << sessions << "1000" << copyFirstTo.arg("BUKRS = '2000', BELNR = '0000001100'")
                << gap;
            QTest::addRow("a row comes far after a company code's documents, %d sessions", sessions)
                << sessions << "1000" << copyFirstTo.arg("BUKRS = '2000', BELNR = '0000009000'")
                << QString();
            QTest::addRow("a row comes far after the last documents, %d sessions", sessions)
                << sessions << "1000" << copyFirstTo.arg("BUKRS = '4000', BELNR = '0000009000'")
                << QString();
        }
    }

    void aSampleItsKeysDisagreeWithIsReadAgain()
    {
        QFETCH(int, sessions);
        QFETCH(QString, code);
        QFETCH(QString, atCheck);
        QFETCH(QString, upFront);
        QTemporaryDir copy;
        const QString database = copy.filePath(QStringLiteral("demo.sqlite"));
        QVERIFY(QFile::copy(m_database, database));
        QVERIFY(upFront.isEmpty() || execute(database, upFront));
        DemoDestination demo(database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        QMutex changing;
        bool changed = atCheck.isEmpty();
        const auto change = [&](int, RfcFunction& function) {
            const RfcTable& fields = function.table(QStringLiteral("FIELDS"));
            {
                QMutexLocker lock(&changing);
                if (changed || function.importValue(QStringLiteral("QUERY_TABLE")) != u"BSEG" ||
                    fields.rowCount() != 4 ||
                    fields.value(1, QStringLiteral("FIELDNAME")) != u"BUKRS" ||
                    !whereOf(function).contains(QStringLiteral("BUKRS = '%1'").arg(code)))
                    return true;
                changed = execute(database, atCheck);
            }
            // A check slower than the steps out beside it: sessions done meanwhile get calls.
            QThread::msleep(30);
            return true;
        };
        system.before = change;
        const SessionPool::Opener watchedSession =
            watchedSessions(demoSessions(database, profile(false, 0)), change, {});
        const ReadPlan plan = planOf(QStringLiteral("BSEG"));
        TallySink sink;
        const ReadJob::Result result =
            read(system, plan, sink, 0, 300, {}, sessions, watchedSession);
        QVERIFY(changed);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(database, plan));
        QVERIFY(sink.inOrder);
    }

    void keysWithQuotesBlanksAndAccentsSplitExactly()
    {
        QTemporaryDir copy;
        const QString database = copy.filePath(QStringLiteral("demo.sqlite"));
        QVERIFY(QFile::copy(m_database, database));
        QVERIFY(
            execute(database,
                    QStringLiteral("UPDATE KNA1 SET KUNNR = 'O''BRIEN' WHERE KUNNR = '0000000007';"
                                   "UPDATE KNA1 SET KUNNR = 'ÁÉ ÇÕ' WHERE KUNNR = '0000000011';"
                                   "UPDATE KNA1 SET KUNNR = ' LEAD' WHERE KUNNR = '0000000012';"
                                   "UPDATE KNA1 SET KUNNR = 'A B' WHERE KUNNR = '0000000013';")));
        DemoDestination demo(database, profile(true, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        const ReadPlan plan = planOf(QStringLiteral("KNA1"), {"MANDT", "KUNNR", "NAME1"});
        TallySink sink;
        const ReadJob::Result result = read(demo, plan, sink, 0, 3);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(database, plan));
    }

    // --- what cannot be read

    void failuresNameTheTableAndTheException_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("exception");
        QTest::newRow("not authorized")
            << "AUDIT"
            << "BKPF" << QStringList{"BELNR"} << QStringList{} << "NOT_AUTHORIZED";
        QTest::newRow("an option the system refuses")
            << "DEMO"
            << "KNA1" << QStringList{} << QStringList{"KNA1-LAND1 = = 'DE'"} << "OPTION_NOT_VALID";
        QTest::newRow("a float the classic module cannot move")
            << "DEMO"
            << "ZFLOAT" << QStringList{"ZFLTP"} << QStringList{} << "SYSTEM_FAILURE";
    }

    void failuresNameTheTableAndTheException()
    {
        QFETCH(QString, user);
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, options);
        QFETCH(QString, exception);
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon(user)).ok);
        const ReadPlan plan = planOf(table, fields, options);
        QVERIFY(plan.fieldCount() > 0);
        TallySink sink;
        const ReadJob::Result result = read(demo, plan, sink);
        QVERIFY(!result.ok);
        QCOMPARE(result.failures.size(), size_t(1));
        QCOMPARE(result.failures.front().table, table);
        QCOMPARE(result.failures.front().exception, exception);
        QVERIFY(sink.abandoned);
        QVERIFY(!sink.finished);
    }

    void aTableWithoutAKnownKeyIsJoinedByPosition()
    {
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.before = [](int, RfcFunction& function) {
            if (function.importValue(QStringLiteral("QUERY_TABLE")) != u"DD03L")
                return true;
            function.setException(QStringLiteral("NOT_AUTHORIZED"));
            return false;
        };
        const ReadPlan plan = planOf(QStringLiteral("KNA1"));
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QCOMPARE(result.notes.size(), 1);
        QVERIFY2(result.notes.front().en.contains(QStringLiteral("joined by position")),
                 qPrintable(result.notes.front().en));
        QVERIFY2(result.notes.front().pt.contains(QStringLiteral("unidas pela posição")),
                 qPrintable(result.notes.front().pt));
        // The demo returns rows in one order, so the join by position holds here.
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
    }

    void systemsThatRunOutOfMemoryOrTimeAreRecognised_data()
    {
        QTest::addColumn<QString>("exception");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("resources");
        QTest::newRow("no more memory")
            << "SYSTEM_FAILURE" << QString(ReadTableModule::kNoMemory) << true;
        QTest::newRow("a dump's name") << "SYSTEM_FAILURE"
                                       << "TSV_TNEW_PAGE_ALLOC_FAILED" << true;
        QTest::newRow("a fault's text") << "No more memory available to add rows"
                                        << "" << true;
        QTest::newRow("a time-out") << "SYSTEM_FAILURE"
                                    << "did not answer in time" << true;
        QTest::newRow("another failure") << "SYSTEM_FAILURE"
                                         << "connection refused" << false;
        QTest::newRow("an exception") << "NOT_AUTHORIZED"
                                      << "" << false;
    }

    void systemsThatRunOutOfMemoryOrTimeAreRecognised()
    {
        QFETCH(QString, exception);
        QFETCH(QString, message);
        QFETCH(bool, resources);
        QCOMPARE(TableCall::outOfResources(exception, message), resources);
    }

    // A system that runs out of memory says so in its logon language, or not at all: the
    // engine learns the limit from a small page that passes where a large one failed.
    void limitsAreLearnedWhateverAFailureSays_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("anyOrder");
        QTest::newRow("in Portuguese")
            << "Não há mais memória disponível para acrescentar linhas a uma tabela interna."
            << false;
        QTest::newRow("in German")
            << "Kein Speicher mehr verfügbar, um Zeilen an eine interne Tabelle anzuhängen."
            << false;
        QTest::newRow("no text at all") << QString() << false;
        QTest::newRow("no text, column store") << QString() << true;
    }
    void limitsAreLearnedWhateverAFailureSays()
    {
        QFETCH(QString, message);
        QFETCH(bool, anyOrder);
        DemoDestination demo(m_database, profile(anyOrder, 250));
        QVERIFY(demo.logon(demoLogon()).ok);
        const ReadPlan plan = planOf(QStringLiteral("BSEG"), {QStringLiteral("BELNR")});
        // The same read where the failure names the memory it ran out of, as a baseline.
        WatchedDestination known(demo);
        int failed = 0;
        known.after = [&failed](int, RfcFunction& function) {
            failed += function.exception() == u"SYSTEM_FAILURE" ? 1 : 0;
        };
        TallySink baseline;
        const ReadJob::Result english = read(known, plan, baseline);
        QVERIFY2(english.ok && failed > 0, qPrintable(failures(english)));
        WatchedDestination system(demo);
        system.after = [&message](int, RfcFunction& function) {
            if (function.exception() == u"SYSTEM_FAILURE")
                function.setException(function.exception(), message);
        };
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink);
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY(sink.tally == rowsInDatabase(m_database, plan));
        // Each failed page costs the one small page that tells its cause, no more.
        if (!anyOrder)
            QCOMPARE(result.calls, english.calls + failed);
    }

    // The page a read learned is where the session's next read of the table starts.
    void aLearnedPageIsKeptForTheSession()
    {
        DemoDestination demo(m_database, profile(false, 250));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        int failed = 0;
        system.after = [&failed](int, RfcFunction& function) {
            failed += function.exception() == u"SYSTEM_FAILURE" ? 1 : 0;
        };
        const ReadPlan plan = planOf(QStringLiteral("BSEG"), {QStringLiteral("BELNR")});
        KeyCatalog session;
        const std::atomic<bool> never{false};
        ReadJob::Settings settings;
        settings.pageRows = 2000;
        TallySink first;
        const ReadJob::Result learning = ReadJob(system, session, plan, settings).run(first, never);
        QVERIFY2(learning.ok && failed > 0, qPrintable(failures(learning)));
        // What passed lies within the system's 250 rows, what failed beyond; the page grew back
        // from its halving toward the failure.
        const KeyCatalog::PageLimits limits = session.pageLimits(QStringLiteral("BSEG"));
        QVERIFY2(limits.mostPassed > 125 && limits.mostPassed <= 250 && limits.leastFailed > 250 &&
                     limits.page > limits.mostPassed * 4 / 5 && limits.page < limits.leastFailed,
                 qPrintable(QStringLiteral("%1 %2 %3")
                                .arg(limits.page)
                                .arg(limits.mostPassed)
                                .arg(limits.leastFailed)));
        failed = 0;
        TallySink second;
        const ReadJob::Result learned = ReadJob(system, session, plan, settings).run(second, never);
        QVERIFY2(learned.ok, qPrintable(failures(learned)));
        QCOMPARE(failed, 0);
        QVERIFY2(learned.calls < learning.calls,
                 qPrintable(QStringLiteral("%1, %2").arg(learned.calls).arg(learning.calls)));
        QVERIFY(second.tally == first.tally);
        QVERIFY(second.tally == rowsInDatabase(m_database, plan));
    }

    // A failure that a small page meets too is not about size: the read ends at once, with the
    // system's own words.
    void aFailureThatIsNotAboutSizeEndsTheReadAtOnce()
    {
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        const ReadPlan plan = planOf(QStringLiteral("ZFLOAT"), {QStringLiteral("ZFLTP")});
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink);
        QVERIFY(!result.ok);
        QCOMPARE(result.failures.size(), size_t(1));
        QCOMPARE(result.failures.front().exception, QStringLiteral("SYSTEM_FAILURE"));
        QVERIFY2(
            !result.failures.front().explanation.en.contains(QStringLiteral("ran out of memory")),
            qPrintable(result.failures.front().explanation.en));
        int floatReads = 0;
        for (const WatchedDestination::Call& call : system.calls)
            floatReads += call.table == u"ZFLOAT" ? 1 : 0;
        QVERIFY2(floatReads <= 2, qPrintable(QString::number(floatReads)));
    }

    // A call whose way to the system broke goes out again after a wait, the same page: the rows
    // are whole. A large page that keeps breaking is tried small: if that passes, the page was too
    // large for the way (a gateway that drops calls running long). A way that stays broken ends
    // the read with a sentence; a cancel ends the wait.
    void aBrokenConnectionIsTriedAgain_data()
    {
        QTest::addColumn<int>("breaks"); // the second read call breaks this often in a row
        QTest::addColumn<bool>("cancel");
        // The fewest rows of a call the session keeps as too many for BSEG after (0: none).
        QTest::addColumn<qint64>("failed");
        QTest::newRow("once, then back") << 1 << false << 0LL;
        QTest::newRow("twice: the page halves, then grows back") << 2 << false << 2001LL;
        QTest::newRow("every time it is tried") << 100 << false << 0LL;
        QTest::newRow("cancelled while it waits") << 100 << true << 0LL;
    }

    void aBrokenConnectionIsTriedAgain()
    {
        QFETCH(int, breaks);
        QFETCH(bool, cancel);
        QFETCH(qint64, failed);
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        int reads = 0;
        int left = breaks;
        std::atomic<bool> cancelled{false};
        system.before = [&](int, RfcFunction& function) {
            if (function.importValue(QStringLiteral("QUERY_TABLE")) != u"BSEG")
                return true;
            if (reads == 1 && left > 0) {
                --left;
                function.setException(QStringLiteral("SYSTEM_FAILURE"),
                                      QStringLiteral("Connection reset by peer"));
                function.setConnectionLost(true);
                if (cancel)
                    cancelled = true;
                return false;
            }
            ++reads;
            return true;
        };
        const ReadPlan plan = planOf(QStringLiteral("BSEG"), {QStringLiteral("BELNR")});
        ReadJob::Settings settings;
        settings.pageRows = 2000;
        const std::atomic<bool> never{false};
        KeyCatalog clean;
        TallySink whole;
        const ReadJob::Result unbroken = ReadJob(demo, clean, plan, settings).run(whole, never);
        QVERIFY2(unbroken.ok, qPrintable(failures(unbroken)));

        KeyCatalog session;
        TallySink sink;
        QElapsedTimer timer;
        timer.start();
        const ReadJob::Result result =
            ReadJob(system, session, plan, settings).run(sink, cancel ? cancelled : never);
        const KeyCatalog::PageLimits limits = session.pageLimits(QStringLiteral("BSEG"));
        QCOMPARE(limits.leastFailed, failed);
        // Halved to 1000 under the broken page of 2000, then grown back while pages pass.
        if (failed > 0)
            QVERIFY2(limits.page > 1000 && limits.page < failed,
                     qPrintable(QString::number(limits.page)));
        QStringList pages; // ROWCOUNT of each call of BSEG, in order
        for (const WatchedDestination::Call& call : system.calls)
            if (call.table == u"BSEG")
                pages.append(call.rowCount);
        if (cancel) {
            QVERIFY(!result.ok && result.cancelled);
            QVERIFY(result.failures.empty());
            // The first wait alone is half a second; the whole series would be eight.
            QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
            return;
        }
        QVERIFY(pages.size() >= 3);
        // The broken page went out again as it was, once, before a small one was tried.
        QCOMPARE(pages[2], pages[1]);
        if (breaks < 100) {
            QVERIFY2(result.ok, qPrintable(failures(result)));
            QVERIFY(sink.tally == whole.tally);
            if (breaks == 1)
                QCOMPARE(result.calls, unbroken.calls + 1);
        } else {
            QVERIFY(!result.ok);
            QCOMPARE(result.failures.size(), size_t(1));
            const ReadJob::Failure& failure = result.failures.front();
            QCOMPARE(failure.message.en, QStringLiteral("Connection reset by peer"));
            // The large page twice, then the small one as often as a small page is tried.
            const int tries = 2 + TableRead::kConnectionRetries + 1;
            QCOMPARE(pages.size(), qsizetype(1 + tries));
            QVERIFY(pages[3].toInt() < pages[1].toInt());
            for (int i = 4; i < pages.size(); ++i)
                QCOMPARE(pages[i], pages[3]);
            const QString said = QStringLiteral("the connection to the system broke while BSEG "
                                                "was read, %1 times in a row")
                                     .arg(tries);
            QVERIFY2(failure.explanation.en.contains(said), qPrintable(failure.explanation.en));
            QVERIFY2(
                failure.explanation.pt.contains(QStringLiteral("%1 vezes seguidas").arg(tries)),
                qPrintable(failure.explanation.pt));
        }
    }

    // An answer whose layout no line can have ends the read, naming the field, before any row
    // is cut by it.
    void impossibleLayoutsAreRefused_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("a length beyond the line") << "LENGTH"
                                                  << "999999"
                                                  << "the field BELNR of BSEG at offset";
        QTest::newRow("an offset past the line") << "OFFSET"
                                                 << "000900"
                                                 << "the field BELNR of BSEG at offset \"000900\"";
        QTest::newRow("a negative offset") << "OFFSET"
                                           << "-00001"
                                           << "at offset \"-00001\"";
        QTest::newRow("an offset that is no number") << "OFFSET"
                                                     << "00A010"
                                                     << "at offset \"00A010\"";
        QTest::newRow("two fields at one offset") << "OFFSET"
                                                  << "000000"
                                                  << "overlap at offset 0";
    }
    void impossibleLayoutsAreRefused()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, sentence);
        DemoDestination demo(m_database, profile(false, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        system.after = [&](int, RfcFunction& function) {
            if (function.importValue(QStringLiteral("QUERY_TABLE")) != u"BSEG")
                return;
            RfcTable& fields = function.table(QStringLiteral("FIELDS"));
            for (int r = 1; r <= fields.rowCount(); ++r) {
                if (fields.value(r, QStringLiteral("FIELDNAME")) == u"BELNR")
                    fields.setValue(r, column, value);
            }
        };
        const ReadPlan plan =
            planOf(QStringLiteral("BSEG"),
                   {QStringLiteral("BUKRS"), QStringLiteral("BELNR"), QStringLiteral("DMBTR")});
        TallySink sink;
        const ReadJob::Result result = read(system, plan, sink);
        QVERIFY(!result.ok);
        QVERIFY2(failures(result).contains(sentence), qPrintable(failures(result)));
        QCOMPARE(sink.rows, 0);
        QVERIFY(sink.abandoned);
    }

    void aSystemWithTooLittleMemoryGivesUpWithAReason()
    {
        DemoDestination demo(m_database, profile(true, 3));
        QVERIFY(demo.logon(demoLogon()).ok);
        TallySink sink;
        const ReadJob::Result result = read(demo, planOf(QStringLiteral("KNA1")), sink);
        QVERIFY(!result.ok);
        QCOMPARE(result.failures.size(), size_t(1));
        QVERIFY2(
            result.failures.front().explanation.en.contains(QStringLiteral("ran out of memory")),
            qPrintable(result.failures.front().explanation.en));
        QVERIFY(sink.abandoned);
    }

    void cancelStopsAndLeavesNoFile_data()
    {
        QTest::addColumn<int>("atCall");
        QTest::addColumn<int>("sessions");
        QTest::newRow("while reading one table") << 4 << 1;
        QTest::newRow("while reading a second table") << 40 << 1;
        // Calls on the other sessions stop too, and the read waits for them before it ends.
        QTest::newRow("while 3 sessions read one table") << 4 << 3;
        QTest::newRow("while 3 sessions read a second table") << 20 << 3;
    }

    void cancelStopsAndLeavesNoFile()
    {
        QFETCH(int, atCall);
        QFETCH(int, sessions);
        DemoDestination demo(m_database, profile(true, 0));
        QVERIFY(demo.logon(demoLogon()).ok);
        WatchedDestination system(demo);
        std::atomic<bool> cancel{false};
        system.before = [&](int call, RfcFunction&) {
            if (call == atCall)
                cancel = true;
            return true;
        };
        ReadPlan plan;
        QVector<ReadPlan::Field> items;
        for (const char* key : {"KNA1-KUNNR", "KNA1-NAME1", "LFA1-LIFNR", "LFA1-NAME1"})
            items.append({QString::fromLatin1(key), QStringLiteral("C"), 10, QString()});
        QVERIFY(plan.build(items, {}, nullptr));
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("out.csv"));
        KeyCatalog keys;
        TableExport::Settings settings;
        settings.path = path;
        settings.pageRows = 20;
        settings.sessions = sessions;
        settings.openSession = demoSessions(m_database, profile(true, 0));
        TableExport exporter(system, keys, plan, settings);
        const TableExport::Result result = exporter.run(cancel, {});
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 0);
    }

    // --- the plan, checked before anything is read

    void plansThatCannotBeReadAreRefused_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("problem");
        QTest::newRow("fits") << QStringList{"KNA1-LAND1 EQ 'DE'"} << QString();
        QTest::newRow("a line longer than the system keeps")
            << QStringList{"KNA1-NAME1 EQ '" + QString(62, u'x') + u'\''}
            << "is 73 characters long as it is sent";
        QTest::newRow("an option of a table not in My Table")
            << QStringList{"BKPF-BELNR EQ '1'"} << "names no table of My Table";
    }

    void plansThatCannotBeReadAreRefused()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, problem);
        const ReadPlan plan = planOf(QStringLiteral("KNA1"), {"KUNNR"}, options);
        const BiText found = ReadJob::check(plan);
        if (problem.isEmpty()) {
            QCOMPARE(found, BiText());
            return;
        }
        QVERIFY2(found.en.contains(problem), qPrintable(found.en));
        // The Portuguese names the same option.
        QVERIFY(found.pt.startsWith(QStringLiteral("A opção \"") + options.constFirst()));
    }

    // --- the units

    void keyValuesCompareAsTheDatabaseDoes_data()
    {
        QTest::addColumn<QString>("dataType");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("literal");
        QTest::newRow("text padded") << "CHAR"
                                     << "AB   "
                                     << "AB" << 0 << "'AB'";
        QTest::newRow("shorter first") << "CHAR"
                                       << "A"
                                       << "A1" << -1 << "'A'";
        QTest::newRow("a quote") << "CHAR"
                                 << "O'BRIEN"
                                 << "OB" << -1 << "'O''BRIEN'";
        QTest::newRow("blank") << "CHAR"
                               << "   "
                               << "A" << -1 << "' '";
        QTest::newRow("leading blank") << "CHAR"
                                       << " Z"
                                       << "A" << -1 << "' Z'";
        QTest::newRow("digits") << "NUMC"
                                << "0010"
                                << "0009" << 1 << "'0010'";
        QTest::newRow("packed, sign last") << "DEC"
                                           << "   12.50-"
                                           << "    3.00" << -1 << "'-12.5'";
        QTest::newRow("packed, more digits") << "CURR"
                                             << "  100.00"
                                             << "   99.99" << 1 << "'100'";
        QTest::newRow("packed, both negative") << "DEC"
                                               << "  1.00-"
                                               << "  2.00-" << 1 << "'-1'";
        QTest::newRow("INT4, negative as hex") << "INT4"
                                               << "FFFFFFFF"
                                               << "00000001" << -1 << "'-1'";
        QTest::newRow("INT1 is unsigned") << "INT1"
                                          << "FF"
                                          << "01" << 1 << "'255'";
    }

    void keyValuesCompareAsTheDatabaseDoes()
    {
        QFETCH(QString, dataType);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QFETCH(QString, literal);
        const KeyField field = KeyField::fromDictionary(QStringLiteral("F"), 10, dataType);
        QCOMPARE(field.compare(a, b), order);
        QCOMPARE(field.compare(b, a), -order);
        QCOMPARE(field.literal(a).value_or(QStringLiteral("<none>")), literal);
    }

    void partsBecomeWhereLinesOfAtMost72_data()
    {
        QTest::addColumn<QStringList>("own");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<bool>("emptyBefore"); // the part below BUKRS 1000 asked for with it
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("the whole table")
            << QStringList{} << QString() << QString() << false << QStringList{};
        QTest::newRow("own lines only") << QStringList{"LAND1 EQ 'DE'"} << QString() << QString()
                                        << false << QStringList{"LAND1 EQ 'DE'"};
        QTest::newRow("a part after own lines")
            << QStringList{"LAND1 EQ 'DE' OR"} << "0000000100"
            << "0000000200" << false
            << QStringList{"(", "LAND1 EQ 'DE' OR", ")",
                           "AND BUKRS = '1000' AND BELNR >= '0000000100' AND BELNR < '0000000200'"};
        QTest::newRow("a long value gets a line of its own")
            << QStringList{} << QString(60, u'A') << QString() << false
            << QStringList{"BUKRS = '1000' AND BELNR >=", u'\'' + QString(60, u'A') + u'\''};
        QTest::newRow("a value no line can hold")
            << QStringList{} << QString(75, u'A') << QString() << false << QStringList{"<refused>"};
        QTest::newRow("a part with the empty part before it")
            << QStringList{} << "0000000100"
            << "0000000200" << true
            << QStringList{"( BUKRS < '1000' ) OR ( BUKRS = '1000' AND BELNR >= '0000000100' AND",
                           "BELNR < '0000000200' )"};
    }

    void partsBecomeWhereLinesOfAtMost72()
    {
        QFETCH(QStringList, own);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(bool, emptyBefore);
        QFETCH(QStringList, lines);
        const std::vector<KeyField> key = {KeyField::fromDictionary("BUKRS", 4, "CHAR"),
                                           KeyField::fromDictionary("BELNR", 80, "CHAR")};
        KeyRange range;
        if (!low.isEmpty() || !high.isEmpty())
            range = KeyRange().within(QStringLiteral("1000"));
        if (!low.isEmpty())
            range = range.from(low, true);
        if (!high.isEmpty())
            range = range.below(high);
        QStringList condition;
        QStringList result;
        std::vector<KeyRange> ranges{range};
        if (emptyBefore)
            ranges.insert(ranges.begin(), KeyRange().below(QStringLiteral("1000")));
        QVERIFY(KeyRange::anyOf(ranges, key, condition, nullptr));
        if (!KeyRange::optionLines(own, condition, 72, result, nullptr))
            result = QStringList{QStringLiteral("<refused>")};
        QCOMPARE(result, lines);
        for (const QString& line : result)
            QVERIFY(line.size() <= 72);
    }

    // Each call carries the key, once, however its fields are named; a call the key makes too
    // wide is halved, and a field that cannot share a line with the key is refused.
    void piecesCarryTheKeyAndHalveToFit_data()
    {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QList<QList<int>>>("planned");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("the key already chosen")
            << QStringList{"KUNNR:10", "NAME1:35"} << QList<QList<int>>{{0, 1}}
            << QStringList{"KUNNR:10"} << QStringList{"KUNNR,NAME1 key 0"};
        QTest::newRow("the key added after the fields")
            << QStringList{"NAME1:35"} << QList<QList<int>>{{0}}
            << QStringList{"BUKRS:4", "BELNR:10"} << QStringList{"NAME1,BUKRS,BELNR key 1,2"};
        QTest::newRow("a key field named in lower case")
            << QStringList{"kunnr:10"} << QList<QList<int>>{{0}} << QStringList{"KUNNR:10"}
            << QStringList{"kunnr key 0"};
        QTest::newRow("the key makes a call too wide: halved")
            << QStringList{"A:255", "B:250"} << QList<QList<int>>{{0, 1}} << QStringList{"K:10"}
            << QStringList{"A,K key 1", "B,K key 1"};
        QTest::newRow("the first half is the smaller")
            << QStringList{"A:200", "B:200", "C:200"} << QList<QList<int>>{{0, 1, 2}}
            << QStringList{"K:10"} << QStringList{"A,K key 1", "B,C,K key 2"};
        QTest::newRow("planned pieces keep their order")
            << QStringList{"A:10", "B:10"} << QList<QList<int>>{{1}, {0}} << QStringList{"K:10"}
            << QStringList{"B,K key 1", "A,K key 1"};
        QTest::newRow("a field that cannot share a line with the key")
            << QStringList{"A:510"} << QList<QList<int>>{{0}} << QStringList{"K:10"}
            << QStringList{"the field A and the key of T do not fit together in one read of 512 "
                           "characters"};
    }

    void piecesCarryTheKeyAndHalveToFit()
    {
        QFETCH(QStringList, columns);
        QFETCH(QList<QList<int>>, planned);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, pieces);
        std::vector<std::vector<int>> chosen;
        for (const QList<int>& piece : planned)
            chosen.emplace_back(piece.begin(), piece.end());
        std::vector<KeyField> key;
        for (const PieceLayout::Column& field : columnsOf(keys))
            key.push_back(KeyField::fromDictionary(field.field, field.length, "CHAR"));
        BiText why;
        const auto laid =
            PieceLayout::keyed(columnsOf(columns), chosen, key, QStringLiteral("T"), &why);
        QStringList found{why.en};
        if (laid) {
            found.clear();
            for (const PieceLayout::Piece& piece : *laid) {
                QStringList keyAt;
                for (int slot : piece.keySlots)
                    keyAt.append(QString::number(slot));
                found.append(piece.fields.join(u',') + QStringLiteral(" key ") + keyAt.join(u','));
                QCOMPARE(piece.lengths.size(), size_t(piece.fields.size()));
            }
        }
        QCOMPARE(found, pieces);
    }

    // A full page is cut at the values of the splitting field that share its rows out evenly,
    // into at most four parts whose weights add up to the part's.
    void aFullPageIsCutEvenly_data()
    {
        QTest::addColumn<QStringList>("runs"); // "VALUE:first row"
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("four runs, four parts")
            << QStringList{"A:0", "B:3", "C:5", "D:9"} << 10
            << QStringList{"|[..B 0.3", "|[B..C 0.2", "|[C..D 0.4", "|[D.. 0.1"};
        QTest::newRow("one long run")
            << QStringList{"A:0", "B:1"} << 10 << QStringList{"|[..B 0.1", "|[B.. 0.9"};
        QTest::newRow("six runs, cut near the quarters")
            << QStringList{"A:0", "B:2", "C:4", "D:6", "E:8", "F:10"} << 12
            << QStringList{"|[..C 0.333333", "|[C..D 0.166667", "|[D..F 0.333333",
                           "|[F.. 0.166667"};
    }

    void aFullPageIsCutEvenly()
    {
        QFETCH(QStringList, runs);
        QFETCH(int, rows);
        QFETCH(QStringList, parts);
        std::vector<PartSplit::Run> found;
        for (const QString& run : runs)
            found.push_back({run.section(u':', 0, 0), run.section(u':', 1).toInt()});
        PartSplit::Part part{KeyRange{}, PartSplit::Sample{}, 1.0, false};
        part.sample->rows.resize(static_cast<size_t>(rows));
        QStringList texts;
        double weight = 0;
        for (const PartSplit::Part& piece : PartSplit::evenly(part, found)) {
            texts.append(partText(piece));
            weight += piece.weight;
        }
        QCOMPARE(texts, parts);
        QCOMPARE(weight, 1.0);
    }

    // Rows that all share one value: the part below it (unless the part starts there), the
    // value itself with the rows read, split further by the next key field, and the part
    // after it.
    void oneValueIsReadOnItsOwn_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("from the start")
            << QString() << QStringList{"|[..B 0.05", "B|[.. 0.9 sample", "|(B.. 0.05"};
        QTest::newRow("a part starting at the value")
            << "B" << QStringList{"B|[.. 0.9 sample", "|(B.. 0.05"};
        QTest::newRow("a part starting below it")
            << "A" << QStringList{"|[A..B 0.05", "B|[.. 0.9 sample", "|(B.. 0.05"};
    }

    void oneValueIsReadOnItsOwn()
    {
        QFETCH(QString, low);
        QFETCH(QStringList, parts);
        PartSplit::Part part{KeyRange{}, PartSplit::Sample{}, 1.0, false};
        if (!low.isEmpty())
            part.range = part.range.from(low, true);
        QStringList texts;
        for (const PartSplit::Part& piece : PartSplit::aroundOneValue(
                 part, QStringLiteral("B"), KeyField::fromDictionary("F", 1, "CHAR")))
            texts.append(partText(piece) + (piece.sample ? QStringLiteral(" sample") : QString()));
        QCOMPARE(texts, parts);
    }

    // Numeric keys let a part ask for the stretch that likely fills most of a page.
    void numericKeysArePaced_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<bool>("inclusive");
        QTest::addColumn<QString>("high");
        QTest::addColumn<double>("pace");
        QTest::addColumn<QString>("bound"); // empty: no paced step
        QTest::newRow("0.8 of a page at 2 per row")
            << "0000001000" << true << QString() << 2.0 << "0000001160";
        QTest::newRow("at least one value on")
            << "0000001000" << true << QString() << 0.001 << "0000001001";
        QTest::newRow("below the high end")
            << "0000001000" << true << "0000001161" << 2.0 << "0000001160";
        QTest::newRow("reaching the high end")
            << "0000001000" << true << "0000001160" << 2.0 << QString();
        QTest::newRow("more digits than the key holds")
            << "99" << true << QString() << 1.0 << QString();
        QTest::newRow("letters") << "CUST-50" << true << QString() << 1.0 << QString();
        QTest::newRow("an exclusive low end")
            << "0000001000" << false << QString() << 2.0 << QString();
    }

    void numericKeysArePaced()
    {
        QFETCH(QString, low);
        QFETCH(bool, inclusive);
        QFETCH(QString, high);
        QFETCH(double, pace);
        QFETCH(QString, bound);
        PartSplit::Part part{KeyRange{}.from(low, inclusive), std::nullopt, 1.0, false, pace};
        if (!high.isEmpty())
            part.range = part.range.below(high);
        const std::vector<KeyField> keys{KeyField::fromDictionary("BELNR", 10, "CHAR")};
        const auto step = PartSplit::pacedStep(part, 100, keys);
        QCOMPARE(step ? step->bound : QString(), bound);
        if (step)
            QCOMPARE(step->advance, step->bound.toLongLong() - low.toLongLong());
    }

    void thePaceFollowsWhatAStepReturned()
    {
        // Nothing in the stretch: the data may end there, so the rest is read as a whole (one
        // call that returns the rest, or a page to split), never stretch after empty stretch.
        QCOMPARE(PartSplit::paceAfter(160, 0, 100), 0.0);
        // Enough rows: the pace they show.
        QCOMPARE(PartSplit::paceAfter(160, 80, 100), 2.0);
        QCOMPARE(PartSplit::paceAfter(160, 25, 100), 6.4);
        // Too few, near the end of the data: the rest is read as a whole.
        QCOMPARE(PartSplit::paceAfter(160, 24, 100), 0.0);
        // Only numbers of one width pace a part.
        QCOMPARE(PartSplit::pace("0000000100", "0000000300", 100), 2.0);
        QCOMPARE(PartSplit::pace("100", "0000000300", 100), 0.0);
        QCOMPARE(PartSplit::pace("0000000300", "0000000100", 100), 0.0);
        QCOMPARE(PartSplit::pace("CUST-1", "CUST-9", 100), 0.0);
        // A step's rows ended within it where its numbers after the last row would hold, at
        // the pace of its rows, an eighth of what it aimed at, and more than a few documents.
        const KeyRange step = KeyRange{}.from("0000010000", true).below("0000026000");
        QVERIFY(PartSplit::endsEarly(step, u"0000022000", 15000, 20000));
        QVERIFY(!PartSplit::endsEarly(step, u"0000024000", 17500, 20000));
        QVERIFY(!PartSplit::endsEarly(step, u"0000025996", 20000, 20000));
        QVERIFY(!PartSplit::endsEarly(KeyRange{}.from("0000000100", true).below("0000000110"),
                                      u"0000000106", 12, 12));
        QVERIFY(!PartSplit::endsEarly(KeyRange{}.from("0000010000", true), u"0000022000", 15000,
                                      20000));
    }

    void callsCutValuesWhereTheSystemSaysTheyAre()
    {
        // A newer system orders fields by the dictionary and widens packed numbers by one.
        class Newer : public RfcDestination
        {
        public:
            LogonResult logon(const LogonData&) override { return {true, {}, {}, {}, {}, {}}; }
            void logoff() override {}
            QString details() const override { return {}; }
            bool call(RfcFunction& function) override
            {
                RfcTable described(RfcFunction::columnsOf(QStringLiteral("FIELDS")));
                described.deliver({"A", "000000", "000004", "C", ""});
                described.deliver({"P", "000004", "000008", "P", ""});
                function.table(QStringLiteral("FIELDS")) = described;
                function.table(QStringLiteral("DATA")).deliver({"abcd   1.50-"});
                return true;
            }
        } newer;
        TableCall call(newer);
        TableCall::Request request;
        request.table = QStringLiteral("ZT");
        request.fields = QStringList{"P", "A", "MISSING"};
        RowBlock block;
        QCOMPARE(call.run(request, block), TableCall::Outcome::Done);
        std::vector<RowBlock::Slot> places;
        BiText why;
        QVERIFY(!call.slotsFor(request.fields, {7, 4, 3}, places, &why));
        QVERIFY2(why.en.contains(QStringLiteral("MISSING")), qPrintable(why.en));
        QVERIFY2(why.pt.contains(QStringLiteral("MISSING")), qPrintable(why.pt));
        QVERIFY(call.slotsFor({"P", "A"}, {7, 4}, places, &why));
        QCOMPARE(block.value(0, places[0]).toString(), QStringLiteral("   1.50-"));
        QCOMPARE(block.value(0, places[1]).toString(), QStringLiteral("abcd"));
    }

    // --- over SOAP, through the demo server in the column-store profile

    void overSoapEveryRowOnce_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("sessions");
        QTest::newRow("KNA1, every character field") << "KNA1" << 1 << QString() << 1;
        QTest::newRow("BSEG, 100,000 rows") << "BSEG" << 10 << QString() << 1;
        QTest::newRow("KNA1 through the widest module") << "KNA1" << 1 << kTable2 << 1;
        QTest::newRow("ZWIDE through 2048-character lines") << "ZWIDE" << 1 << kTable2048 << 1;
        // Each session its own logon and cookie, served side by side.
        QTest::newRow("BSEG, 3 sessions") << "BSEG" << 1 << QString() << 3;
        QTest::newRow("ZWIDE in many pieces, 3 sessions") << "ZWIDE" << 1 << QString() << 3;
    }

    void overSoapEveryRowOnce()
    {
        QFETCH(QString, table);
        QFETCH(int, scale);
        QFETCH(QString, module);
        QFETCH(int, sessions);
        QTemporaryDir home;
        QString database = m_database;
        if (scale > 1) {
            database = home.filePath(QStringLiteral("demo.sqlite"));
            QString error;
            QVERIFY2(DemoGenerator::build(database, scale, &error, {}), qPrintable(error));
        }
        QProcess server;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZORV_HOME"), QFileInfo(database).absolutePath());
        environment.insert(QStringLiteral("ZORV_DEMO_PROFILE"), QStringLiteral("columnstore"));
        environment.insert(QStringLiteral("ZORV_DEMO_MAX_ROWS"), QStringLiteral("250"));
        server.setProcessEnvironment(environment);
        server.start(QStringLiteral(ZORV_DEMO_SERVER),
                     {QStringLiteral("--port"), QStringLiteral("0")});
        QVERIFY(server.waitForStarted());
        QString url;
        QVERIFY(QTest::qWaitFor(
            [&] {
                server.waitForReadyRead(100);
                const QString text = QString::fromUtf8(server.readAllStandardOutput());
                if (text.contains(QStringLiteral("listening")))
                    url = text.section(QStringLiteral("listening on "), 1).trimmed();
                return !url.isEmpty();
            },
            10000));
        const QUrl base = SoapDestination::baseUrl(url, {});
        SoapDestination soap(base, {});
        QVERIFY(soap.logon(demoLogon()).ok);
        int opened = 0;
        const SessionPool::Opener open = [&](BiText* error) {
            auto session = std::make_unique<SoapDestination>(base, QString());
            const RfcDestination::LogonResult logon = session->logon(demoLogon());
            *error = logon.error;
            ++opened;
            return logon.ok ? std::unique_ptr<RfcDestination>(std::move(session)) : nullptr;
        };
        const ReadPlan plan = planOf(table);
        TallySink sink;
        const ReadJob::Result result = read(soap, plan, sink, 0, 0, module, sessions, open);
        const std::optional<qint64> counted = RowCount::of(soap, table);
        server.kill();
        server.waitForFinished();
        QVERIFY2(result.ok, qPrintable(failures(result)));
        QVERIFY2(result.notes.isEmpty(),
                 qPrintable(result.notes.isEmpty() ? QString() : result.notes.front().en));
        const QHash<QString, int> expected = rowsInDatabase(database, plan);
        QCOMPARE(sink.rows, table == u"BSEG" ? 10000 * scale : table == u"ZWIDE" ? 600 : 500);
        QVERIFY(sink.tally == expected);
        QVERIFY(sink.inOrder);
        QCOMPARE(counted.value_or(-1), sink.rows);
        QCOMPARE(opened, sessions - 1);
    }
};

QTEST_GUILESS_MAIN(TestReadEngine)
#include "tst_readengine.moc"
