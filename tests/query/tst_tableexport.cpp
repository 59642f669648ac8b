#include "DemoCallKit.h"
#include "DemoHome.h"
#include "FileSizeLimit.h"
// The export file written by TableExport: joining of pieces, exact values, CSV quoting,
// separators, failures, cancel, disk errors, encodings and streaming; checked byte for byte
// against a scripted destination and against delimited reads of the demo system.
#include "query/export/TableExport.h"
#include "query/read/ElapsedText.h"
#include "query/read/KeyCatalog.h"
#include "query/read/ReadPlan.h"
#include "sap/RfcDestination.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "shell/ProgressModel.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <memory>

namespace
{
using Encoding = TableExport::Encoding;

// What the scripted system answers to one RFC_READ_TABLE call.
struct Reply {
    QStringList rows;  // DATA lines as the system returns them
    QString exception; // set: the call fails after failAfter rows
    int failAfter = 0;
    QList<int> lengths; // LENGTH returned in FIELDS; empty: the plan's lengths
    int generated = 0;  // rows made by make() instead of rows
    std::function<QString(int)> make;
};

Reply rowsReply(const QStringList& rows = {})
{
    Reply reply;
    reply.rows = rows;
    return reply;
}

Reply failingReply(const QStringList& rows, const QString& exception, int after)
{
    Reply reply = rowsReply(rows);
    reply.exception = exception;
    reply.failAfter = after;
    return reply;
}

Reply describedReply(const QStringList& rows, const QList<int>& lengths)
{
    Reply reply = rowsReply(rows);
    reply.lengths = lengths;
    return reply;
}

Reply generatedReply(int count, std::function<QString(int)> make)
{
    Reply reply;
    reply.generated = count;
    reply.make = std::move(make);
    return reply;
}

// What the scripted system was asked, and what its tables held afterwards.
struct Call {
    QString table;
    QString delimiter;
    QString rowCount;
    QStringList fields;
    QStringList options;
    bool streaming = false;
    int keptRows = 0;
};

// A system that answers calls in order from a queue of replies. FIELDS is described side by
// side (no delimiter), as a blank DELIMITER asks; ROWCOUNT is honoured; a cancel requested
// by the caller stops the delivery between rows, as the real destinations do.
class ScriptedSystem : public RfcDestination
{
public:
    QList<Reply> replies;
    QList<Call> calls;
    QHash<QString, int> lengthOf;       // "KNA1-KUNNR" -> 10
    QHash<QString, QStringList> keysOf; // the dictionary's key fields; none by default
    std::function<void(int call, int row)> afterRow;

    LogonResult logon(const LogonData&) override
    {
        LogonResult result;
        result.ok = true;
        return result;
    }
    void logoff() override {}
    QString details() const override { return {}; }

    bool call(RfcFunction& function) override
    {
        if (replies.isEmpty()) {
            function.setException(QStringLiteral("NO_REPLY"));
            return false;
        }
        if (function.importValue(QStringLiteral("QUERY_TABLE")) == u"DD03L")
            return describeKeys(function);
        const Reply reply = replies.takeFirst();
        Call call;
        call.table = function.importValue(QStringLiteral("QUERY_TABLE"));
        call.delimiter = function.importValue(QStringLiteral("DELIMITER"));
        call.rowCount = function.importValue(QStringLiteral("ROWCOUNT"));
        const RfcTable& options = function.table(QStringLiteral("OPTIONS"));
        for (int r = 1; r <= options.rowCount(); ++r)
            call.options.append(options.value(r, QStringLiteral("TEXT")));
        RfcTable& fields = function.table(QStringLiteral("FIELDS"));
        int offset = 0;
        for (int r = 1; r <= fields.rowCount(); ++r) {
            const QString name = fields.value(r, QStringLiteral("FIELDNAME"));
            call.fields.append(name);
            const int length = reply.lengths.isEmpty() ? lengthOf.value(call.table + u'-' + name)
                                                       : reply.lengths.at(r - 1);
            fields.setValue(r, QStringLiteral("OFFSET"), QString::number(offset));
            fields.setValue(r, QStringLiteral("LENGTH"), QString::number(length));
            offset += length;
        }
        const int index = static_cast<int>(calls.size());
        calls.append(call);

        RfcTable& data = function.table(QStringLiteral("DATA"));
        const qint64 limit = call.rowCount.toLongLong();
        const int total = reply.make ? reply.generated : static_cast<int>(reply.rows.size());
        const int count = limit > 0 ? static_cast<int>(std::min<qint64>(limit, total)) : total;
        bool ok = true;
        for (int r = 0; r < count; ++r) {
            if (!reply.exception.isEmpty() && r == reply.failAfter)
                break;
            if (function.cancelled()) {
                function.setException(QStringLiteral("CANCELLED"));
                ok = false;
                break;
            }
            data.deliver({reply.make ? reply.make(r) : reply.rows.at(r)});
            if (afterRow)
                afterRow(index, r + 1);
        }
        if (ok && !reply.exception.isEmpty()) {
            function.setException(reply.exception);
            ok = false;
        }
        calls[index].streaming = data.streaming();
        calls[index].keptRows = data.rowCount();
        return ok;
    }

private:
    // DD03L as the dictionary holds it: FIELDNAME 30, POSITION 4, LENG 6, DATATYPE 4.
    bool describeKeys(RfcFunction& function)
    {
        const QString option =
            function.table(QStringLiteral("OPTIONS")).value(1, QStringLiteral("TEXT"));
        const QString table = option.section(u'\'', 1, 1);
        RfcTable& fields = function.table(QStringLiteral("FIELDS"));
        const QList<int> widths = {30, 4, 6, 4};
        int offset = 0;
        for (int r = 1; r <= fields.rowCount(); ++r) {
            fields.setValue(r, QStringLiteral("OFFSET"), QString::number(offset));
            fields.setValue(r, QStringLiteral("LENGTH"), QString::number(widths.value(r - 1)));
            offset += widths.value(r - 1);
        }
        int position = 1;
        for (const QString& key : keysOf.value(table)) {
            const QString field = key.section(u'-', 1);
            function.table(QStringLiteral("DATA"))
                .deliver({field.leftJustified(30) +
                          QStringLiteral("%1").arg(position++, 4, 10, QChar(u'0')) +
                          QStringLiteral("%1").arg(lengthOf.value(key), 6, 10, QChar(u'0')) +
                          QStringLiteral("CHAR")});
        }
        return true;
    }
};

struct Field {
    QString key;
    int length;
    QString text;
};

// A DATA line as the system sends it: each value in its slot, trailing blanks dropped.
QString wa(const QStringList& values, const QList<int>& lengths)
{
    QString line;
    for (int i = 0; i < values.size(); ++i)
        line += values.at(i).leftJustified(lengths.at(i), u' ', true);
    while (line.endsWith(u' '))
        line.chop(1);
    return line;
}

QByteArray crlf(const QByteArrayList& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The example query: four KNA1 fields, then two LFA1 fields.
const QList<Field> kExample = {{"KNA1-KUNNR", 4, "Customer"}, {"KNA1-LAND1", 3, "Country"},
                               {"KNA1-NAME1", 8, "Name"},     {"KNA1-ORT01", 6, "City"},
                               {"LFA1-LIFNR", 4, "Vendor"},   {"LFA1-NAME1", 6, "Name"}};
const QList<int> kKna1 = {4, 3, 8, 6};
const QList<int> kLfa1 = {4, 6};

// Three tables: KNA1 (4, 3), LFA1 (4), MARA (4, 4).
const QList<Field> kThree = {{"KNA1-KUNNR", 4, "Customer"},
                             {"KNA1-LAND1", 3, "Country"},
                             {"LFA1-LIFNR", 4, "Vendor"},
                             {"MARA-MATNR", 4, "Material"},
                             {"MARA-MTART", 4, "Type"}};
const QStringList kThreeCustomers = {"C001DE", "C002BR", "C003PT"};
const QStringList kThreeVendors = {"V001", "V002", "V003"};
const QStringList kThreeMaterials = {"M001FERT", "M002HALB", "M003"};
} // namespace

Q_DECLARE_METATYPE(Encoding)

class TestTableExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_fileName; // out.csv, or out.xlsx for a workbook
    ScriptedSystem m_system;
    QTemporaryDir m_home;
    std::unique_ptr<DemoDestination> m_demo;

    QString path() const { return m_dir->filePath(m_fileName); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    ReadPlan plan(const QList<Field>& fields, const QStringList& options = {})
    {
        QVector<ReadPlan::Field> items;
        for (const Field& field : fields) {
            items.append({field.key, QStringLiteral("C"), field.length, field.text});
            m_system.lengthOf.insert(field.key, field.length);
        }
        ReadPlan result;
        BiText error;
        if (!result.build(items, options, &error))
            qWarning("plan not built: %s", qPrintable(error.en));
        return result;
    }

    TableExport::Result run(RfcDestination& destination, const ReadPlan& readPlan,
                            const QString& separator = QStringLiteral(";"),
                            Encoding encoding = Encoding::WindowsCodePage, qint64 rowLimit = 0,
                            std::atomic<bool>* cancel = nullptr,
                            const TableExport::Observer& observer = {})
    {
        TableExport::Settings settings;
        settings.path = path();
        settings.format = TableExport::formatOf(settings.path);
        settings.separator = separator;
        settings.rowLimit = rowLimit;
        settings.encoding = encoding;
        return run(destination, readPlan, settings, cancel, observer);
    }

    TableExport::Result run(RfcDestination& destination, const ReadPlan& readPlan,
                            const TableExport::Settings& settings,
                            std::atomic<bool>* cancel = nullptr,
                            const TableExport::Observer& observer = {})
    {
        std::atomic<bool> never{false};
        KeyCatalog keys;
        TableExport exporter(destination, keys, readPlan, settings);
        return exporter.run(cancel ? *cancel : never, observer);
    }

    // As the save dialog's text for spreadsheets writes: UTF-8, without padding, and a cell a
    // spreadsheet would evaluate marked as text.
    TableExport::Result runAsSpreadsheetText(RfcDestination& destination, const ReadPlan& readPlan)
    {
        TableExport::Settings settings;
        settings.path = path();
        settings.encoding = Encoding::Utf8;
        settings.trim = true;
        settings.markFormulasAsText = true;
        return run(destination, readPlan, settings);
    }

    TableExport::Result run(const ReadPlan& readPlan,
                            const QString& separator = QStringLiteral(";"))
    {
        return run(m_system, readPlan, separator);
    }

    // The DATA lines of a delimited read through the demo system.
    QStringList delimitedRead(const QString& table, const QStringList& fields,
                              const QString& delimiter)
    {
        const Outcome outcome = call(*m_demo, {table, fields, {}, delimiter});
        return outcome.ok ? outcome.data
                          : QStringList{QStringLiteral("<failed: %1>").arg(outcome.exception)};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
        m_demo = demoLogon();
        QVERIFY(m_demo);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_fileName = QStringLiteral("out.csv");
        QVERIFY(m_dir->isValid());
        m_system.replies.clear();
        m_system.calls.clear();
        m_system.keysOf.clear();
        m_system.afterRow = nullptr;
    }

    // --- the file

    void joinsTheExampleSideBySide()
    {
        m_system.replies = {rowsReply({wa({"C001", "DE", "Müller", "Berlin"}, kKna1),
                                       wa({"C002", "BR", "Souza", "Rio"}, kKna1),
                                       wa({"C003", "PT", "", "Porto"}, kKna1),
                                       wa({"C004", "US", "Smith", ""}, kKna1),
                                       wa({"C005", "FR", "Éclair", "Paris"}, kKna1)}),
                            rowsReply({wa({"V001", "Acme"}, kLfa1), wa({"V002", ""}, kLfa1),
                                       wa({"V003", "Björk"}, kLfa1)})};
        const TableExport::Result result = run(plan(kExample));
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(result.rows, 5L);
        QVERIFY(result.failedPieces.isEmpty());
        QCOMPARE(m_system.calls.size(), 2);
        QCOMPARE(readAll(path()),
                 crlf({"KNA1-KUNNR;KNA1-LAND1;KNA1-NAME1;KNA1-ORT01;LFA1-LIFNR;LFA1-NAME1",
                       "Customer;Country;Name;City;Vendor;Name",
                       "C001;DE ;M\xFCller  ;Berlin;V001;Acme", "C002;BR ;Souza   ;Rio;V002;",
                       "C003;PT ;        ;Porto;V003;Bj\xF6rk", "C004;US ;Smith   ;;",
                       "C005;FR ;\xC9"
                       "clair  ;Paris;"}));
        // Nothing but the file is left in the folder.
        QCOMPARE(entries(m_dir->path()), QStringList{"out.csv"});
    }

    void joinsPiecesWithDifferentRowCounts_data()
    {
        QTest::addColumn<int>("customers");
        QTest::addColumn<int>("vendors");
        QTest::addColumn<int>("materials");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("a later piece has more rows")
            << 1 << 0 << 3 << QByteArrayList{"C001;DE;;M001;FERT", ";;;M002;HALB", ";;;M003;"};
        QTest::newRow("a middle piece has fewer rows")
            << 2 << 1 << 2 << QByteArrayList{"C001;DE;V001;M001;FERT", "C002;BR;;M002;HALB"};
        QTest::newRow("the last pieces have none")
            << 2 << 0 << 0 << QByteArrayList{"C001;DE;;", "C002;BR;;"};
        QTest::newRow("the first piece has none")
            << 0 << 2 << 1 << QByteArrayList{";;V001;M001;FERT", ";;V002;"};
        QTest::newRow("no piece has rows") << 0 << 0 << 0 << QByteArrayList{};
    }

    void joinsPiecesWithDifferentRowCounts()
    {
        QFETCH(int, customers);
        QFETCH(int, vendors);
        QFETCH(int, materials);
        QFETCH(QByteArrayList, lines);
        m_system.replies = {rowsReply(kThreeCustomers.mid(0, customers)),
                            rowsReply(kThreeVendors.mid(0, vendors)),
                            rowsReply(kThreeMaterials.mid(0, materials))};
        const TableExport::Result result = run(plan(kThree));
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(result.rows, static_cast<long>(lines.size()));
        QCOMPARE(readAll(path()),
                 crlf(QByteArrayList{"KNA1-KUNNR;KNA1-LAND1;LFA1-LIFNR;MARA-MATNR;MARA-MTART",
                                     "Customer;Country;Vendor;Material;Type"} +
                      lines));
        QCOMPARE(entries(m_dir->path()), QStringList{"out.csv"});
    }

    // A value holding the separator must not count as extra fields when later pieces are
    // placed: the columns after it stay where they belong.
    void separatorsInsideValuesDoNotShiftLaterPieces()
    {
        const QList<Field> fields = {
            {"KNA1-KUNNR", 4, "Customer"}, {"KNA1-NAME1", 5, "Name"}, {"LFA1-LIFNR", 4, "Vendor"}};
        m_system.replies = {rowsReply({"C001a;b;c", "C002x;y"}),
                            rowsReply({"V001", "V002", "V003"})};
        QVERIFY(run(plan(fields)).ok);
        QCOMPARE(readAll(path()), crlf({"KNA1-KUNNR;KNA1-NAME1;LFA1-LIFNR", "Customer;Name;Vendor",
                                        "C001;\"a;b;c\";V001", "C002;\"x;y\";V002", ";;V003"}));

        m_system.replies = {rowsReply({"C001a;b;c"}), rowsReply()};
        QVERIFY(run(plan(fields)).ok);
        QCOMPARE(readAll(path()), crlf({"KNA1-KUNNR;KNA1-NAME1;LFA1-LIFNR", "Customer;Name;Vendor",
                                        "C001;\"a;b;c\";"}));
    }

    void valuesKeepTheTextTheSystemReturns()
    {
        // A: 5, B: 4, C: 3. Padding stays in every field but the last; leading blanks and
        // leading zeros stay; an empty middle field at the end of a short line is padded.
        const QList<Field> fields = {{"ZT-A", 5, "A"}, {"ZT-B", 4, "B"}, {"ZT-C", 3, "C"}};
        m_system.replies = {rowsReply({"ab", "  x  0012 z", "00001", "abcdeWXYZ123"})};
        QVERIFY(run(plan(fields)).ok);
        QCOMPARE(readAll(path()), crlf({"ZT-A;ZT-B;ZT-C", "A;B;C", "ab   ;    ;", "  x  ;0012; z",
                                        "00001;    ;", "abcde;WXYZ;123"}));
    }

    void valuesAreCutWhereTheSystemSaysTheyAre()
    {
        // The plan thinks KUNNR is 4 characters; the system describes it with 6.
        m_system.replies = {describedReply({"ABCDEFxy", "GHIJ  zz"}, {6, 2})};
        QVERIFY(run(plan({{"KNA1-KUNNR", 4, "Customer"}, {"KNA1-LAND1", 2, "Country"}})).ok);
        QCOMPARE(readAll(path()),
                 crlf({"KNA1-KUNNR;KNA1-LAND1", "Customer;Country", "ABCDEF;xy", "GHIJ  ;zz"}));
    }

    // A table wider than one data line is read in pieces of the same table, joined again.
    void aWideTableIsReadInPiecesAndJoined()
    {
        const QString b1 = QStringLiteral("b1").leftJustified(300);
        m_system.replies = {rowsReply({"a1", "a2"}), rowsReply({b1 + "c1", "b2"})};
        const TableExport::Result result =
            run(plan({{"ZW-A", 300, "A"}, {"ZW-B", 300, "B"}, {"ZW-C", 10, "C"}}));
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(m_system.calls.size(), 2);
        QCOMPARE(m_system.calls.at(0).table, QStringLiteral("ZW"));
        QCOMPARE(m_system.calls.at(0).fields, QStringList{"A"});
        QCOMPARE(m_system.calls.at(1).table, QStringLiteral("ZW"));
        QCOMPARE(m_system.calls.at(1).fields, QStringList({"B", "C"}));
        QCOMPARE(readAll(path()), crlf({"ZW-A;ZW-B;ZW-C", "A;B;C", "a1;" + b1.toLatin1() + ";c1",
                                        "a2;b2" + QByteArray(298, ' ') + ";"}));
    }

    // The status line follows the pieces with the program's own texts.
    void statusTextsNameEachPieceAndTheFile_data()
    {
        QTest::addColumn<bool>("several");
        QTest::newRow("one piece") << false;
        QTest::newRow("two pieces") << true;
    }

    void statusTextsNameEachPieceAndTheFile()
    {
        QFETCH(bool, several);
        m_system.replies = {rowsReply(kThreeCustomers)};
        QList<Field> fields = {{"KNA1-KUNNR", 4, "Customer"}, {"KNA1-LAND1", 3, "Country"}};
        if (several) {
            m_system.replies.append(rowsReply(kThreeVendors.mid(0, 2)));
            fields.append({"LFA1-LIFNR", 4, "Vendor"});
        }
        QStringList statuses;
        TableExport::Observer observer;
        observer.status = [&](const BiText& text) { statuses.append(text.en); };
        QVERIFY(run(m_system, plan(fields), QStringLiteral(";"), Encoding::WindowsCodePage, 0,
                    nullptr, observer)
                    .ok);
        QStringList expected = {QStringLiteral("Reading KNA1: 3 rows")};
        if (several)
            expected << QStringLiteral("Reading LFA1: 2 rows")
                     << QStringLiteral("Creating ") + path();
        for (const QString& text : expected)
            QVERIFY2(statuses.contains(text), qPrintable(statuses.join(u'|')));
    }

    void readingTextsSayHowFarAndHowLong_data()
    {
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("no count") << 3LL << -1LL << 9.0 << "Reading BSEG: 3 rows"
                                  << "Lendo BSEG: 3 linhas";
        QTest::newRow("too early to tell")
            << 250000LL << 1000000LL << 0.5 << "Reading BSEG: 250,000 of 1,000,000 rows"
            << "Lendo BSEG: 250.000 de 1.000.000 linhas";
        QTest::newRow("a quarter in four seconds")
            << 250000LL << 1000000LL << 4.0 << "Reading BSEG: 250,000 of 1,000,000 rows, 0:12 left"
            << "Lendo BSEG: 250.000 de 1.000.000 linhas, faltam 0:12";
        QTest::newRow("hours left")
            << 1000LL << 10000000LL << 2.0 << "Reading BSEG: 1,000 of 10,000,000 rows, 5:33:18 left"
            << "Lendo BSEG: 1.000 de 10.000.000 linhas, faltam 5:33:18";
        QTest::newRow("nothing yet") << 0LL << 500LL << 3.0 << "Reading BSEG: 0 of 500 rows"
                                     << "Lendo BSEG: 0 de 500 linhas";
        QTest::newRow("more than counted")
            << 510LL << 500LL << 3.0 << "Reading BSEG: 510 of 500 rows"
            << "Lendo BSEG: 510 de 500 linhas";
    }

    void readingTextsSayHowFarAndHowLong()
    {
        QFETCH(qint64, rows);
        QFETCH(qint64, total);
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QFETCH(QString, portuguese);
        const BiText text = TableExport::readingText(QStringLiteral("BSEG"), rows, total, seconds);
        QCOMPARE(text.en, expected);
        QCOMPARE(text.pt, portuguese);
    }

    void asksForFieldsSideBySideWithEachPiecesOptions()
    {
        m_system.replies = {rowsReply(kThreeCustomers), rowsReply(kThreeVendors)};
        const ReadPlan readPlan =
            plan({{"KNA1-KUNNR", 4, "Customer"},
                  {"KNA1-LAND1", 3, "Country"},
                  {"LFA1-LIFNR", 4, "Vendor"}},
                 {"KNA1-LAND1 EQ 'DE' OR", "KNA1-LAND1 EQ 'BR'", "LFA1-LIFNR NE 'X'"});
        const TableExport::Result result =
            run(m_system, readPlan, QStringLiteral("||"), Encoding::WindowsCodePage, 2);
        QVERIFY(result.ok);
        QCOMPARE(m_system.calls.size(), 2);
        const Call& customers = m_system.calls.at(0);
        QCOMPARE(customers.table, QStringLiteral("KNA1"));
        // Never the separator: a value holding it would split wrongly, and a separator of
        // several characters does not fit the parameter.
        QVERIFY2(customers.delimiter.trimmed().isEmpty(), qPrintable(customers.delimiter));
        QCOMPARE(customers.fields, QStringList({"KUNNR", "LAND1"}));
        QCOMPARE(customers.options, QStringList({"LAND1 EQ 'DE' OR", "LAND1 EQ 'BR'"}));
        QCOMPARE(customers.rowCount, QStringLiteral("2"));
        const Call& vendors = m_system.calls.at(1);
        QCOMPARE(vendors.table, QStringLiteral("LFA1"));
        QVERIFY(vendors.delimiter.trimmed().isEmpty());
        QCOMPARE(vendors.fields, QStringList{"LIFNR"});
        QCOMPARE(vendors.options, QStringList{"LIFNR NE 'X'"});
        QCOMPARE(vendors.rowCount, QStringLiteral("2"));
        QCOMPARE(readAll(path()),
                 crlf({"KNA1-KUNNR||KNA1-LAND1||LFA1-LIFNR", "Customer||Country||Vendor",
                       "C001||DE||V001", "C002||BR||V002"}));
    }

    // --- quoting and separators

    void quotesOnlyWhatNeedsIt_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("first"); // 8 characters at most
        QTest::addColumn<QString>("last");  // 6 characters at most
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("header");

        const QByteArray semi = "ZT-A;ZT-B";
        QTest::newRow("plain") << ";"
                               << "abc"
                               << "x" << QByteArray("abc     ;x") << semi;
        QTest::newRow("separator") << ";"
                                   << "a;b"
                                   << "x" << QByteArray("\"a;b     \";x") << semi;
        QTest::newRow("separator in the last field")
            << ";"
            << "abc"
            << "x;y" << QByteArray("abc     ;\"x;y\"") << semi;
        QTest::newRow("accent and separator")
            << ";"
            << "\u00e9;b"
            << "\u00fc" << QByteArray("\"\xE9;b     \";\xFC") << semi;
        QTest::newRow("quote") << ";"
                               << "a\"b"
                               << "x" << QByteArray("\"a\"\"b     \";x") << semi;
        QTest::newRow("quotes only") << ";"
                                     << "\"\""
                                     << "\"" << QByteArray("\"\"\"\"\"      \";\"\"\"\"") << semi;
        QTest::newRow("carriage return") << ";"
                                         << "a\rb"
                                         << "x" << QByteArray("\"a\rb     \";x") << semi;
        QTest::newRow("line feed") << ";"
                                   << "a\nb"
                                   << "x" << QByteArray("\"a\nb     \";x") << semi;
        QTest::newRow("comma with semicolon separator") << ";"
                                                        << "Smith, J"
                                                        << "x" << QByteArray("Smith, J;x") << semi;
        QTest::newRow("comma separator")
            << ","
            << "Smith, J"
            << "x" << QByteArray("\"Smith, J\",x") << QByteArray("ZT-A,ZT-B");
        QTest::newRow("two characters, one of them in a value")
            << "||"
            << "a|b"
            << "|" << QByteArray("a|b     |||") << QByteArray("ZT-A||ZT-B");
        QTest::newRow("two characters in a value")
            << "||"
            << "a||b"
            << "x" << QByteArray("\"a||b    \"||x") << QByteArray("ZT-A||ZT-B");
        QTest::newRow("semicolon with two-character separator")
            << "||"
            << "a;b"
            << "x" << QByteArray("a;b     ||x") << QByteArray("ZT-A||ZT-B");
        QTest::newRow("tab") << "\t"
                             << "a\tb"
                             << "x" << QByteArray("\"a\tb     \"\tx") << QByteArray("ZT-A\tZT-B");
        QTest::newRow("semicolon with tab separator")
            << "\t"
            << "a;b"
            << "x" << QByteArray("a;b     \tx") << QByteArray("ZT-A\tZT-B");
        // With a quote as the separator no quoting could be read back: values stay as they are.
        QTest::newRow("quote separator")
            << "\""
            << "a\"b"
            << "x;y" << QByteArray("a\"b     \"x;y") << QByteArray("ZT-A\"ZT-B");
        QTest::newRow("empty separator means semicolon")
            << ""
            << "a;b"
            << "x" << QByteArray("\"a;b     \";x") << semi;
    }

    void quotesOnlyWhatNeedsIt()
    {
        QFETCH(QString, separator);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, header);
        m_system.replies = {rowsReply({wa({first, last}, {8, 6})})};
        const TableExport::Result result =
            run(plan({{"ZT-A", 8, "A"}, {"ZT-B", 6, "B"}}), separator);
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QByteArray texts = header;
        texts.replace("ZT-", "");
        QCOMPARE(readAll(path()), crlf({header, texts, line}));
    }

    void headerLinesUseTheWholeSeparator_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("line");
        QTest::newRow("one") << QStringList{"KNA1-KUNNR"} << ";"
                             << "KNA1-KUNNR";
        QTest::newRow("none") << QStringList{} << ";"
                              << "";
        QTest::newRow("two characters")
            << QStringList{"KNA1-KUNNR", "KNA1-LAND1", "LFA1-LIFNR"} << "||"
            << "KNA1-KUNNR||KNA1-LAND1||LFA1-LIFNR";
        QTest::newRow("three characters") << QStringList{"A", "B"} << " | "
                                          << "A | B";
        QTest::newRow("description with the separator") << QStringList{"Name; first", "City"} << ";"
                                                        << "\"Name; first\";City";
        QTest::newRow("description with quotes") << QStringList{"Size \"XL\"", ""} << ";"
                                                 << "\"Size \"\"XL\"\"\";";
        QTest::newRow("empty descriptions") << QStringList{"", "", ""} << "\t"
                                            << "\t\t";
    }

    void headerLinesUseTheWholeSeparator()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, separator);
        QFETCH(QString, line);
        QCOMPARE(TableExport::headerLine(values, separator), line);
    }

    void headerLinesInTheFileAreQuoted()
    {
        m_system.replies = {rowsReply({"C001x"})};
        QVERIFY(
            run(plan({{"KNA1-KUNNR", 4, "Customer; number"}, {"KNA1-LAND1", 3, "Land \"ISO\""}}))
                .ok);
        QCOMPARE(readAll(path()), crlf({"KNA1-KUNNR;KNA1-LAND1",
                                        "\"Customer; number\";\"Land \"\"ISO\"\"\"", "C001;x"}));
    }

    // --- text for spreadsheets

    // A spreadsheet evaluates a cell that begins with "=", "+", "-" or "@" and mangles one that
    // begins with a tab or a carriage return. Text for spreadsheets writes an apostrophe before
    // such a cell, the mark of text; the plain file keeps the system's values exactly.
    void formulasAreTextForSpreadsheets_data()
    {
        QTest::addColumn<QString>("first"); // 8 characters at most
        QTest::addColumn<QString>("last");  // 6 characters at most
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("marked");

        QTest::newRow("formula") << "=1+1"
                                 << "x"
                                 << "=1+1    ;x"
                                 << "'=1+1;x";
        QTest::newRow("phone number") << "+49 69 1"
                                      << "x"
                                      << "+49 69 1;x"
                                      << "'+49 69 1;x";
        QTest::newRow("minus") << "-2+3"
                               << "x"
                               << "-2+3    ;x"
                               << "'-2+3;x";
        QTest::newRow("at sign") << "@SUM(A1)"
                                 << "x"
                                 << "@SUM(A1);x"
                                 << "'@SUM(A1);x";
        QTest::newRow("tab") << "\t=1"
                             << "x"
                             << "\t=1     ;x"
                             << "'\t=1;x";
        QTest::newRow("carriage return: the apostrophe inside the quotes") << "\r=1"
                                                                           << "x"
                                                                           << "\"\r=1     \";x"
                                                                           << "\"'\r=1\";x";
        QTest::newRow("formula with the separator") << "=A1;B1"
                                                    << "x"
                                                    << "\"=A1;B1  \";x"
                                                    << "\"'=A1;B1\";x";
        QTest::newRow("formula with quotes") << "=\"a\""
                                             << "x"
                                             << "\"=\"\"a\"\"    \";x"
                                             << "\"'=\"\"a\"\"\";x";
        QTest::newRow("accented formula") << "=ação"
                                          << "x"
                                          << "=ação   ;x"
                                          << "'=ação;x";
        QTest::newRow("in the last field") << "abc"
                                           << "=B1"
                                           << "abc     ;=B1"
                                           << "abc;'=B1";
        QTest::newRow("both fields") << "-1"
                                     << "@x"
                                     << "-1      ;@x"
                                     << "'-1;'@x";
        QTest::newRow("signs inside a value") << "a=b-c"
                                              << "1+1"
                                              << "a=b-c   ;1+1"
                                              << "a=b-c;1+1";
        QTest::newRow("a blank first") << " =1"
                                       << "x"
                                       << " =1     ;x"
                                       << " =1;x";
        QTest::newRow("an apostrophe first") << "'=1"
                                             << "x"
                                             << "'=1     ;x"
                                             << "'=1;x";
    }

    void formulasAreTextForSpreadsheets()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, plain);
        QFETCH(QString, marked);
        const QList<Field> fields = {{"ZT-A", 8, "A"}, {"ZT-B", 6, "B"}};
        m_system.replies = {rowsReply({wa({first, last}, {8, 6})})};
        QVERIFY(run(plan(fields)).ok);
        QCOMPARE(readAll(path()), crlf({"ZT-A;ZT-B", "A;B", plain.toLatin1()}));

        m_system.replies = {rowsReply({wa({first, last}, {8, 6})})};
        const TableExport::Result result = runAsSpreadsheetText(m_system, plan(fields));
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(readAll(path()),
                 QByteArray("\xEF\xBB\xBF") + crlf({"ZT-A;ZT-B", "A;B", marked.toUtf8()}));
    }

    // The header lines are cells of the sheet too.
    void headerCellsAreTextForSpreadsheets()
    {
        const QList<Field> fields = {{"BSEG-BELNR", 4, "Document"},
                                     {"BSEG-SHKZG", 1, "+/- sign"},
                                     {"BSEG-SGTXT", 5, "=T;x"}};
        m_system.replies = {rowsReply({"0001H=SUM"})};
        QVERIFY(run(plan(fields)).ok);
        QCOMPARE(readAll(path()), crlf({"BSEG-BELNR;BSEG-SHKZG;BSEG-SGTXT",
                                        "Document;+/- sign;\"=T;x\"", "0001;H;=SUM"}));
        m_system.replies = {rowsReply({"0001H=SUM"})};
        QVERIFY(runAsSpreadsheetText(m_system, plan(fields)).ok);
        QCOMPARE(readAll(path()), QByteArray("\xEF\xBB\xBF") +
                                      crlf({"BSEG-BELNR;BSEG-SHKZG;BSEG-SGTXT",
                                            "Document;'+/- sign;\"'=T;x\"", "0001;H;'=SUM"}));
    }

    // --- failures

    // A file with the columns of a failed table left blank would look complete: nothing is
    // written, and the previous file stays.
    void aFailedTableLeavesThePreviousFile_data()
    {
        QTest::addColumn<int>("failing"); // 0 or 1
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("fileBefore");
        QTest::newRow("the second table") << 1 << "LFA1: OPTION_NOT_VALID" << true;
        QTest::newRow("the first table, after some rows") << 0 << "KNA1: OPTION_NOT_VALID" << true;
        QTest::newRow("no file before") << 0 << "KNA1: OPTION_NOT_VALID" << false;
    }

    void aFailedTableLeavesThePreviousFile()
    {
        QFETCH(int, failing);
        QFETCH(QString, failure);
        QFETCH(bool, fileBefore);
        const QByteArray before = "64 rows of a good export\r\n";
        if (fileBefore)
            writeAll(path(), before);
        m_system.replies = {rowsReply(kThreeCustomers), rowsReply(kThreeVendors)};
        m_system.replies[failing].exception = QStringLiteral("OPTION_NOT_VALID");
        m_system.replies[failing].failAfter = 2;
        const TableExport::Result result = run(plan({{"KNA1-KUNNR", 4, "Customer"},
                                                     {"KNA1-LAND1", 3, "Country"},
                                                     {"LFA1-LIFNR", 4, "Vendor"}}));
        QVERIFY(!result.ok);
        QCOMPARE(result.failedPieces, QStringList{failure});
        QCOMPARE(result.rows, 0L);
        if (fileBefore) {
            QCOMPARE(readAll(path()), before);
            QCOMPARE(entries(m_dir->path()), QStringList{"out.csv"});
        } else {
            QCOMPARE(entries(m_dir->path()), QStringList{});
        }
    }

    void aSingleTableThatFailsAfterSomeRowsWritesNothing()
    {
        const QByteArray before = "a good export\r\n";
        writeAll(path(), before);
        m_system.replies = {failingReply(kThreeCustomers, QStringLiteral("SYSTEM_FAILURE"), 2)};
        const TableExport::Result result =
            run(plan({{"KNA1-KUNNR", 4, "Customer"}, {"KNA1-LAND1", 3, "Country"}}));
        QVERIFY(!result.ok);
        QCOMPARE(result.failedPieces, QStringList{"KNA1: SYSTEM_FAILURE"});
        QCOMPARE(readAll(path()), before);
        QCOMPARE(entries(m_dir->path()), QStringList{"out.csv"});
    }

    void zeroRowsWriteOnlyTheHeaders()
    {
        m_system.replies = {rowsReply()};
        const TableExport::Result result = run(plan({{"KNA1-KUNNR", 4, "Customer"}}));
        QVERIFY(result.ok);
        QCOMPARE(result.rows, 0L);
        QCOMPARE(readAll(path()), crlf({"KNA1-KUNNR", "Customer"}));
    }

    // --- cancel and disk errors leave the previous file as it was

    void cancelKeepsThePreviousFile_data()
    {
        QTest::addColumn<bool>("several");
        QTest::addColumn<bool>("duringMerge");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<QString>("file");
        QTest::newRow("one piece") << false << false << true << "out.csv";
        QTest::newRow("one piece, a workbook") << false << false << true << "out.xlsx";
        QTest::newRow("several pieces, a workbook, no file before")
            << true << true << false << "out.xlsx";
        QTest::newRow("one piece, no file before") << false << false << false << "out.csv";
        QTest::newRow("several pieces, while reading") << true << false << true << "out.csv";
        QTest::newRow("several pieces, while joining") << true << true << true << "out.csv";
        QTest::newRow("several pieces, no file before") << true << true << false << "out.csv";
    }

    void cancelKeepsThePreviousFile()
    {
        QFETCH(bool, several);
        QFETCH(bool, duringMerge);
        QFETCH(bool, previous);
        QFETCH(QString, file);
        m_fileName = file;
        const QByteArray before = "KNA1-KUNNR\r\nold contents\r\n";
        if (previous)
            writeAll(path(), before);
        const auto number = [](int r) { return QStringLiteral("%1").arg(r, 7, 10, QChar(u'0')); };
        const int rows = 20000;
        m_system.replies = {generatedReply(rows, number)};
        if (several)
            m_system.replies.append(generatedReply(rows, number));
        std::atomic<bool> cancel{false};
        TableExport::Observer observer;
        bool joining = false;
        observer.status = [&](const BiText& text) {
            joining = joining || text.en.startsWith(QStringLiteral("Creating "));
        };
        observer.progress = [&](float) {
            if (duringMerge && joining)
                cancel = true;
        };
        if (!duringMerge)
            m_system.afterRow = [&](int call, int row) {
                if (call == static_cast<int>(several) && row == 3)
                    cancel = true;
            };
        const QList<Field> fields =
            several ? QList<Field>{{"KNA1-KUNNR", 7, "Customer"}, {"LFA1-LIFNR", 7, "Vendor"}}
                    : QList<Field>{{"KNA1-KUNNR", 7, "Customer"}};
        const TableExport::Result result = run(m_system, plan(fields), QStringLiteral(";"),
                                               Encoding::WindowsCodePage, 0, &cancel, observer);
        QVERIFY(cancel);
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok);
        if (duringMerge)
            QVERIFY(joining);
        if (previous) {
            QCOMPARE(readAll(path()), before);
            QCOMPARE(entries(m_dir->path()), QStringList{file});
        } else {
            QVERIFY(!QFile::exists(path()));
            QCOMPARE(entries(m_dir->path()), QStringList{});
        }
    }

    void aFullDiskKeepsThePreviousFile_data()
    {
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QString>("file");
        QTest::newRow("one piece") << 1 << "out.csv";
        QTest::newRow("two pieces") << 2 << "out.csv";
        QTest::newRow("a workbook") << 1 << "out.xlsx";
        QTest::newRow("a workbook of two pieces") << 2 << "out.xlsx";
    }

    void aFullDiskKeepsThePreviousFile()
    {
        QFETCH(int, pieces);
        QFETCH(QString, file);
        m_fileName = file;
        const QByteArray before = "previous export\r\n";
        writeAll(path(), before);
        // 40,000 rows of 40 characters: far more than the 256 KB the process may write.
        const auto line = [](int r) { return QStringLiteral("%1").arg(r, 40, 10, QChar(u'0')); };
        QList<Field> fields = {{"KNA1-NAME1", 40, "Name"}};
        for (int p = 0; p < pieces; ++p)
            m_system.replies.append(generatedReply(40000, line));
        if (pieces == 2)
            fields.append({"LFA1-NAME1", 40, "Name"});
        const ReadPlan readPlan = plan(fields);
        TableExport::Result result;
        {
            // A workbook is compressed: far less may be written before the disk is full.
            FileSizeLimit limit(file.endsWith(u".xlsx") ? 32 * 1024 : 256 * 1024);
            result = run(readPlan);
        }
        QVERIFY(!result.ok);
        QVERIFY(!result.cancelled);
        QCOMPARE(readAll(path()), before);
        QCOMPARE(entries(m_dir->path()), QStringList{file});
        // The message must say what went wrong, not Qt's placeholder for "no error set".
        QVERIFY2(!result.error.isEmpty() && result.error.en != QStringLiteral("Unknown error"),
                 qPrintable(result.error.en));
    }

    void aMissingFolderFailsWithAnError_data()
    {
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QString>("file");
        QTest::newRow("one piece") << 1 << "out.csv";
        QTest::newRow("two pieces") << 2 << "out.csv";
        QTest::newRow("a workbook") << 1 << "out.xlsx";
        QTest::newRow("a workbook of two pieces") << 2 << "out.xlsx";
    }

    void aMissingFolderFailsWithAnError()
    {
        QFETCH(int, pieces);
        QFETCH(QString, file);
        QList<Field> fields = {{"KNA1-KUNNR", 4, "Customer"}};
        m_system.replies = {rowsReply({"C001"})};
        if (pieces == 2) {
            fields.append({"LFA1-LIFNR", 4, "Vendor"});
            m_system.replies.append(rowsReply({"V001"}));
        }
        TableExport::Settings settings;
        settings.path = m_dir->filePath(QStringLiteral("missing/") + file);
        settings.format = TableExport::formatOf(settings.path);
        KeyCatalog keys;
        TableExport exporter(m_system, keys, plan(fields), settings);
        const std::atomic<bool> never{false};
        const TableExport::Result result = exporter.run(never, {});
        QVERIFY(!result.ok);
        QVERIFY(!result.cancelled);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("missing"))));
        QCOMPARE(entries(m_dir->path()), QStringList{});
    }

    // --- encodings

    void encodings_data()
    {
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lost");
        QTest::newRow("windows-1252") << Encoding::WindowsCodePage
                                      << crlf({"ZT-A;ZT-B",
                                               "Gr\xF6\xDF"
                                               "e ?;\x80",
                                               "A\xE7\xE3o ?\x80 ;\x9C?"})
                                      << 3;
        QTest::newRow("utf-8") << Encoding::Utf8
                               << QByteArray("\xEF\xBB\xBF") +
                                      crlf({"ZT-A;ZT-B", "Größe ✓;€", "Ação ✓€ ;œł"})
                               << 0;
    }

    void encodings()
    {
        QFETCH(Encoding, encoding);
        QFETCH(QByteArray, bytes);
        QFETCH(int, lost);
        m_system.replies = {rowsReply({wa({"Ação ✓€", "œł"}, {8, 2})})};
        const TableExport::Result result =
            run(m_system, plan({{"ZT-A", 8, "Größe ✓"}, {"ZT-B", 2, "€"}}), QStringLiteral(";"),
                encoding);
        QVERIFY(result.ok);
        QCOMPARE(result.lostCharacters, lost);
        QCOMPARE(readAll(path()), bytes);
    }

    // --- memory: every piece streams through the sink; no table keeps the rows

    void manyRowsStreamThroughTheSink()
    {
        const int rows = 200000;
        const auto number = [](int r) {
            return QStringLiteral("%1").arg(r + 1, 7, 10, QChar(u'0'));
        };
        m_system.replies = {generatedReply(rows, number), generatedReply(rows - 1, number)};
        const TableExport::Result result =
            run(plan({{"KNA1-KUNNR", 7, "Customer"}, {"LFA1-LIFNR", 7, "Vendor"}}));
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(result.rows, static_cast<long>(rows));
        for (const Call& call : m_system.calls) {
            QVERIFY(call.streaming);
            QCOMPARE(call.keptRows, 0);
        }
        const QByteArray bytes = readAll(path());
        const QByteArrayList lines = bytes.split('\n');
        QCOMPARE(lines.size(), rows + 3); // two headers, the rows, and nothing after the last
        QVERIFY(lines.last().isEmpty());
        for (int r = 1; r < rows; ++r) {
            const QByteArray n = QByteArray::number(r).rightJustified(7, '0');
            if (lines.at(r + 1) != n + ';' + n + '\r')
                QFAIL(qPrintable(QStringLiteral("line %1: %2").arg(r).arg(lines.at(r + 1))));
        }
        QCOMPARE(lines.at(rows + 1), QByteArray("0200000;\r"));
        QCOMPARE(entries(m_dir->path()), QStringList{"out.csv"});
    }

    void progressOnlyGrowsAndStaysBelowTheEnd()
    {
        const auto number = [](int r) { return QString::number(r); };
        m_system.replies = {generatedReply(10000, number), generatedReply(10000, number)};
        QList<float> fractions;
        QStringList statuses;
        TableExport::Observer observer;
        observer.progress = [&](float f) { fractions.append(f); };
        observer.status = [&](const BiText& text) { statuses.append(text.en); };
        const TableExport::Result result =
            run(m_system, plan({{"KNA1-KUNNR", 7, "Customer"}, {"LFA1-LIFNR", 7, "Vendor"}}),
                QStringLiteral(";"), Encoding::WindowsCodePage, 10000, nullptr, observer);
        QVERIFY(result.ok);
        QVERIFY(fractions.size() >= 2);
        for (qsizetype i = 1; i < fractions.size(); ++i)
            QVERIFY(fractions.at(i) >= fractions.at(i - 1));
        QVERIFY(fractions.last() <= 0.99f);
        QVERIFY(fractions.last() >= 0.98f);
        QVERIFY(statuses.contains(QStringLiteral("Creating ") + path()));
    }

    // A counted read shows how far it is; one the system cannot count shows that it goes on.
    void progressIsAShareOnlyWhenTheRowsWereCounted_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("counted");
        QTest::newRow("every row, counted first") << QStringList{} << true;
        QTest::newRow("under options, not counted") << QStringList{"KNA1-KUNNR GE '0'"} << false;
    }

    void progressIsAShareOnlyWhenTheRowsWereCounted()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, counted);
        QList<float> fractions;
        QStringList statuses;
        TableExport::Settings settings;
        settings.path = path();
        settings.countRows = true;
        settings.pageRows = 100;
        KeyCatalog keys;
        TableExport exporter(*m_demo, keys, plan({{"KNA1-KUNNR", 10, "Customer"}}, options),
                             settings);
        TableExport::Observer observer;
        observer.progress = [&](float f) { fractions.append(f); };
        observer.status = [&](const BiText& text) { statuses.append(text.en); };
        const std::atomic<bool> never{false};
        QVERIFY(exporter.run(never, observer).ok);
        QVERIFY(fractions.size() > 1);
        for (qsizetype i = 0; i < fractions.size(); ++i) {
            if (!counted) {
                QCOMPARE(fractions.at(i), ProgressModel::kUnknown);
                continue;
            }
            QVERIFY(fractions.at(i) > 0 && fractions.at(i) <= 0.99f);
            QVERIFY(i == 0 || fractions.at(i) >= fractions.at(i - 1));
        }
        QCOMPARE(statuses.contains(QStringLiteral("Reading KNA1: 500 of 500 rows")), counted);
    }

    // --- against the demo system

    // Without special values the file is what a delimited read gives, joined by the rule of
    // the side-by-side pieces.
    void demoExportEqualsADelimitedRead()
    {
        const QStringList customerFields = {"KUNNR", "LAND1", "ORT01", "PSTLZ"};
        const QStringList vendorFields = {"LIFNR", "ORT01"};
        const ReadPlan readPlan = plan({{"KNA1-KUNNR", 10, "Customer"},
                                        {"KNA1-LAND1", 3, "Country"},
                                        {"KNA1-ORT01", 35, "City"},
                                        {"KNA1-PSTLZ", 10, "Postal Code"},
                                        {"LFA1-LIFNR", 10, "Vendor"},
                                        {"LFA1-ORT01", 35, "City"}});
        const TableExport::Result result = run(*m_demo, readPlan);
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QVERIFY(result.failedPieces.isEmpty());

        const QStringList customers = delimitedRead("KNA1", customerFields, ";");
        const QStringList vendors = delimitedRead("LFA1", vendorFields, ";");
        QCOMPARE(customers.size(), 500);
        QCOMPARE(vendors.size(), 300);
        QByteArray expected =
            "KNA1-KUNNR;KNA1-LAND1;KNA1-ORT01;KNA1-PSTLZ;LFA1-LIFNR;LFA1-ORT01\r\n"
            "Customer;Country;City;Postal Code;Vendor;City\r\n";
        for (qsizetype r = 0; r < customers.size(); ++r) {
            // The fixture holds no special values: each line has exactly its separators.
            QCOMPARE(customers.at(r).count(u';'), 3);
            QVERIFY(!customers.at(r).contains(u'"'));
            QString line = customers.at(r) + u';';
            if (r < vendors.size()) {
                QCOMPARE(vendors.at(r).count(u';'), 1);
                line += vendors.at(r);
            }
            expected += line.toLatin1() + "\r\n";
        }
        QVERIFY(expected.contains("M\xFCnchen"));
        QCOMPARE(readAll(path()), expected);
        QCOMPARE(result.rows, 500L);
    }

    // The demo's telephone numbers begin with "+": text for spreadsheets marks every one, the
    // plain file keeps them as the system holds them.
    void demoPhoneNumbersAreTextForSpreadsheets()
    {
        const ReadPlan readPlan =
            plan({{"KNA1-KUNNR", 10, "Customer"}, {"KNA1-TELF1", 16, "Telephone 1"}});
        const TableExport::Result result = runAsSpreadsheetText(*m_demo, readPlan);
        QVERIFY2(result.ok, qPrintable(result.error.en));
        QCOMPARE(result.rows, 500L);
        const QStringList marked = QString::fromUtf8(readAll(path())).split(QStringLiteral("\r\n"));
        QVERIFY(run(*m_demo, readPlan).ok);
        const QStringList plain =
            QString::fromLatin1(readAll(path())).split(QStringLiteral("\r\n"));
        QCOMPARE(marked.size(), 503); // two headers, the rows, and nothing after the last
        QCOMPARE(plain.size(), 503);
        for (qsizetype r = 2; r < 502; ++r) {
            const QString phone = plain.at(r).section(u';', 1);
            QVERIFY2(phone.startsWith(QStringLiteral("+49 69 ")), qPrintable(plain.at(r)));
            QCOMPARE(marked.at(r).section(u';', 1), u'\'' + phone.trimmed());
        }
    }

    // --- the elapsed time of the closing status line

    void elapsedText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("hours") << 3725.5 << "en_US"
                               << "1 h 2 min 5.50 s";
        QTest::newRow("hours, decimal comma") << 3725.5 << "pt_BR"
                                              << "1 h 2 min 5,50 s";
        QTest::newRow("whole hour") << 3600.0 << "en_US"
                                    << "1 h 0 min 0.00 s";
        QTest::newRow("minutes") << 120.25 << "en_US"
                                 << "2 min 0.25 s";
        QTest::newRow("seconds") << 0.75 << "en_US"
                                 << "0.75 s";
        QTest::newRow("zero") << 0.0 << "en_US"
                              << "0.00 s";
        QTest::newRow("just under a minute") << 59.5 << "de_DE"
                                             << "59,50 s";
    }

    void elapsedText()
    {
        QFETCH(double, seconds);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(ElapsedText::format(seconds, QLocale(locale)), text);
    }
};

QTEST_GUILESS_MAIN(TestTableExport)
#include "tst_tableexport.moc"
