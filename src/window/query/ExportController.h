#pragma once

#include "query/export/TableExport.h"
#include "query/read/ReadPlan.h"

#include <QObject>

#include <functional>

struct AppState;
class Language;
class QueryCommands;
struct QueryContext;
class ReadWorker;

// The export of My Table (the menu's "Import Table"): asks for the export file, then reads and
// writes it on a worker thread while the window stays usable; the progress display follows it
// and Esc or Cancel stops it. The outcome is told in the status line and, when it failed, in a
// message.
class ExportController : public QObject
{
    Q_OBJECT
public:
    // What the export needs of its window.
    struct Hooks {
        std::function<bool(ReadPlan&)> readPlan; // false: nothing to read
        std::function<qint64()> rowLimit;
        std::function<int()> fieldCount;
        std::function<QString()> tableName;
        std::function<QString()> file; // the window's export file, empty when none yet
        std::function<void(const QString&)> setFile;
    };

    ExportController(QueryContext& context, Hooks hooks, QObject* parent = nullptr);
    ~ExportController() override;

    void addCommands(QueryCommands& commands);
    // Asks for the file and starts the export of My Table (connecting first when needed).
    void exportMyTable();

    // The file types of the save dialog: the two documented text files, a workbook, and a text
    // file for spreadsheets (UTF-8 with a byte-order mark, values without padding, a cell that
    // would be taken for a formula marked as text).
    static QString fileTypes(const Language& language);
    enum FileType { CsvFile, TxtFile, Workbook, SpreadsheetText };

    // table: the table part of the first My Table field, which names the file.
    bool askFile(const QString& table, QString& file);
    bool checkFile(const QString& path);
    // A plan the read would refuse is told before anything is read.
    bool readable(const ReadPlan& plan);
    // Starts the export of a plan into path; false when it could not start.
    bool start(const ReadPlan& plan, const QString& path, qint64 rowLimit);
    bool running() const;
    void cancel();
    // Cancels a running export and waits for it to end (used when the window must close).
    void wait();
    // The closing status line of a preview or an export of that plan, with the calls it took
    // (none when calls is 0). The module they went to would not fit the panel at 1024 pixels:
    // My Table's tip names it.
    static QString doneText(const AppState& state, const ReadPlan& plan, long rows, double seconds,
                            int calls = 0);
    // The closing line of an export into file: the done line, where the file is, and whether
    // the row limit (0: none) stopped it.
    static QString exportDoneText(const AppState& state, const ReadPlan& plan,
                                  const TableExport::Result& result, const QString& file,
                                  qint64 rowLimit);
    // What the save dialog says the export will write: the row limit, or every row (0).
    static QString rowLimitNote(const AppState& state, qint64 rowLimit);
    // A name typed without an extension gets the one of the chosen file type.
    static QString withExtension(const QString& path, int fileType = CsvFile);
    // How a file of that name and type is written.
    static void applyFileType(const QString& path, int fileType, TableExport::Settings& settings);

Q_SIGNALS:
    void finished(const TableExport::Result& result);

private:
    void report(const TableExport::Result& result);

    QueryContext& m_context;
    Hooks m_hooks;
    ReadPlan m_plan;
    ReadWorker* m_worker;
    TableExport::Result m_result;
    int m_fileType = CsvFile;
    QString m_file; // of the export running or last run
    qint64 m_rowLimit = 0;
};
