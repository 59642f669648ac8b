#pragma once

#include "ReadPlan.h"
#include "TableExport.h"

#include <QObject>

struct AppState;
struct QueryContext;
class ReadWorker;

// Import Table: asks for the export file, then reads and writes it on a worker thread while
// the window stays usable; the progress display follows it and Esc or Cancel stops it.
class ImportController : public QObject
{
    Q_OBJECT
public:
    ImportController(QueryContext& context, QObject* parent = nullptr);
    ~ImportController() override;

    // The file types of the save dialog: the two documented text files, a workbook, and a text
    // file for spreadsheets (UTF-8 with a byte-order mark, values without padding).
    static QString fileTypes();
    enum FileType { CsvFile, TxtFile, Workbook, SpreadsheetText };

    // table: the table part of the first My Table field, which names the file.
    bool AskExportFile(const QString& table, QString& MyTableF);
    bool CheckExportFile(const QString& path);
    // Starts the import of a plan into path; false when it could not start.
    bool start(const ReadPlan& plan, const QString& path, qint64 rowLimit);
    bool running() const;
    void cancel();
    // Cancels a running import and waits for it to end (used when the window must close).
    void wait();
    // The closing status line of a preview or an import.
    static QString ShowImportDone(const AppState& state, int fields, long rows, double seconds);
    // A name typed without an extension gets the one of the chosen file type.
    static QString withExtension(const QString& path, int fileType = CsvFile);
    // How a file of that name and type is written.
    static void applyFileType(const QString& path, int fileType, TableExport::Settings& settings);

Q_SIGNALS:
    void finished(const TableExport::Result& result);

private:
    QueryContext& m_context;
    ReadWorker* m_worker;
    TableExport::Result m_result;
    int m_fileType = CsvFile;
};
