#pragma once

#include "query/read/KeyCatalog.h"
#include "query/read/ReadPlan.h"
#include "query/read/SessionPool.h"
#include "query/read/TableRead.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class RfcDestination;
class RowSink;

// Reads the rows of a query, as its read plan splits My Table, into a sink: the one way the
// preview, the export and the command line read. Each table of My Table is read exactly by its
// key (see TableRead); the tables are then set side by side line by line, as they always were.
// Runs on whatever thread calls run(); cancel stops it between rows.
class ReadJob
{
public:
    struct Settings {
        qint64 limit = 0;    // rows per table; 0: every row
        qint64 pageRows = 0; // rows per call; 0: as many as keep an answer within a few MB
        // An export fails as a whole when one table fails; a preview shows what it could read.
        bool keepWhatWasRead = false;
        QString spoolFolder; // where tables wait to be set side by side; empty: the temp folder
        // Read through the widest read module the system offers (asked once per catalog), or
        // through the module named; else RFC_READ_TABLE.
        bool widestModule = false;
        QString moduleName;
        // Before a read of every row of a table without option lines, ask the system how many
        // it holds, so that progress says how far the read is.
        bool countRows = false;
        // How many sessions of the system calls may go to at once (1: one after another), and
        // how more are opened; without an opener, one.
        int sessions = 1;
        SessionPool::Opener openSession;
    };
    struct Failure {
        QString table;
        QString exception;  // the system's exception, if it raised one
        BiText message;     // the system's text
        BiText explanation; // what went wrong, when the system raised nothing
        QStringList keys;   // rows that changed while they were read
    };
    struct Result {
        bool ok = false;
        bool cancelled = false;
        qint64 rows = 0;
        double elapsed = 0; // seconds
        int calls = 0;
        std::vector<Failure> failures;
        QVector<BiText> notes; // what the user should know of a read that went through
        BiText error;          // a problem of the query or of the sink
        QString module;        // the read module the rows came through
    };
    struct Observer {
        // Which table is being read, its rows so far, the rows it will have (-1: not known),
        // and the share of the whole work done.
        std::function<void(const QString& table, qint64 rows, qint64 total, double fraction)>
            progress;
    };

    static constexpr qint64 kAnswerCharacters = 4000000;
    static constexpr qint64 kMostPageRows = 50000;
    static constexpr qint64 kFewestPageRows = 100;

    ReadJob(RfcDestination& destination, KeyCatalog& catalog, ReadPlan plan, Settings settings);
    ~ReadJob();

    Result run(RowSink& sink, const std::atomic<bool>& cancel, const Observer& observer = {});

    // What keeps a plan from being read, checked before any call; empty when nothing does.
    static BiText check(const ReadPlan& plan);
    // "3 calls", "1 call, /SAPDS/RFC_READ_TABLE2": the module named when it is not
    // RFC_READ_TABLE.
    static BiText callsText(int calls, const QString& module);
    // Rows per call for rows of this many characters.
    static qint64 pageRowsFor(int rowWidth, qint64 limit);

private:
    struct Table;
    // A run of fields of one table, as the plan lists them; a line without the last run's
    // rows ends early.
    struct Run {
        int firstColumn = 0;
    };

    std::vector<Table> tables(const ReadPlan& plan) const;
    ReadModule chooseModule(const std::atomic<bool>& cancel);
    qint64 countOf(const Table& table, const std::atomic<bool>& cancel) const; // -1: unknown
    static double shareDone(qint64 rows, qint64 total, double fraction);
    // Runs a table's read; a wider module that fails before any row is replaced by
    // RFC_READ_TABLE for that table, with a note.
    struct TableOutcome {
        TableRead::Status status = TableRead::Status::Done;
        qint64 rows = 0;
        TableRead::Failure failure;
    };
    TableOutcome readTable(Table& table, size_t index, const std::atomic<bool>& cancel,
                           const TableRead::BatchSink& batch, const TableRead::Observer& progress,
                           Result& result);
    bool readOne(Table& table, RowSink& sink, const std::atomic<bool>& cancel,
                 const Observer& observer, Result& result);
    bool readSeveral(std::vector<Table>& tables, RowSink& sink, const std::atomic<bool>& cancel,
                     const Observer& observer, Result& result);
    int lineLength(const char* present) const; // present: one flag per column

    RfcDestination& m_destination;
    KeyCatalog& m_catalog;
    ReadPlan m_plan;
    Settings m_settings;
    std::vector<Run> m_runs;
    std::vector<Table> m_classicTables; // each table as RFC_READ_TABLE reads it
    int m_fallbacks = 0;                // tables read with RFC_READ_TABLE instead
    std::unique_ptr<SessionPool> m_sessions;
};
