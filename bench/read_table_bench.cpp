// Reads 1,000,000 rows of a 10-field piece of BSEG through RFC_READ_TABLE in-process, and the
// same columns from the same database with the sqlite3 command-line tool writing CSV; prints
// the best of three times of each, their ratio and peak memory.
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoGenerator.h"
#include "sap/demo/DemoSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>

#include <cstdio>

namespace
{
const QStringList kFields = {"BUKRS", "BELNR", "GJAHR", "BUZEI", "AUGDT",
                             "BSCHL", "SHKZG", "DMBTR", "HKONT", "KUNNR"};

double readInProcess(const QString& path, long* rows)
{
    DemoDestination destination(path);
    LogonData logon;
    logon.user = QStringLiteral("DEMO");
    logon.password = QStringLiteral("welcome");
    logon.client = QStringLiteral("100");
    logon.language = QStringLiteral("EN");
    if (!destination.logon(logon).ok)
        return -1;
    std::FILE* sink = std::fopen("/dev/null", "w");
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
    function.setImport(QStringLiteral("QUERY_TABLE"), QStringLiteral("BSEG"));
    function.setImport(QStringLiteral("DELIMITER"), QStringLiteral(";"));
    RfcTable& fields = function.table(QStringLiteral("FIELDS"));
    for (const QString& name : kFields) {
        fields.appendRow();
        fields.setValue(fields.rowCount(), QStringLiteral("FIELDNAME"), name);
    }
    *rows = 0;
    function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
        const QByteArray line = row[0].toUtf8();
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), sink);
        std::fputc('\n', sink);
        ++*rows;
    });
    QElapsedTimer timer;
    timer.start();
    const bool ok = function.call();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::fclose(sink);
    return ok ? seconds : -1;
}

double readWithSqlite3(const QString& path)
{
    QProcess sqlite;
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-csv"), path,
                                             QStringLiteral("SELECT ") + kFields.join(u',') +
                                                 QStringLiteral(" FROM BSEG WHERE MANDT = '100'")});
    if (!sqlite.waitForFinished(-1) || sqlite.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

long peakKilobytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir::currentPath() + QStringLiteral("/bench-data");
    qputenv("ZORV_HOME", folder.toLocal8Bit());
    const QString path = DemoSystem::databasePath();
    int version = 0;
    int scale = 0;
    if (!DemoSystem::readMeta(path, &version, &scale) || scale != 100 ||
        version != DemoGenerator::kVersion) {
        std::printf("building the demo database at scale 100 in %s\n", qPrintable(path));
        QString error;
        if (!DemoGenerator::build(path, 100, &error)) {
            std::printf("failed: %s\n", qPrintable(error));
            return 1;
        }
    }
    double best = 1e9;
    double bestSqlite = 1e9;
    long rows = 0;
    for (int run = 0; run < 3; ++run) {
        const double ours = readInProcess(path, &rows);
        const double theirs = readWithSqlite3(path);
        if (ours < 0 || theirs < 0) {
            std::printf("a read failed\n");
            return 1;
        }
        best = std::min(best, ours);
        bestSqlite = std::min(bestSqlite, theirs);
    }
    std::printf("rows read:                         %ld (BSEG, 10 fields, delimiter ';')\n", rows);
    std::printf("RFC_READ_TABLE in-process (best):  %.3f s\n", best);
    std::printf("sqlite3 -csv (best):               %.3f s\n", bestSqlite);
    std::printf("ratio:                             %.2f (target at most 1.5)\n",
                best / bestSqlite);
    std::printf("peak memory, this process:         %ld MB\n", peakKilobytes(RUSAGE_SELF) / 1024);
    std::printf("peak memory, sqlite3:              %ld MB\n",
                peakKilobytes(RUSAGE_CHILDREN) / 1024);
    std::printf("reproduce: cmake --build build --target read_table_bench && "
                "build/bench/read_table_bench [data folder]\n");
    return 0;
}
