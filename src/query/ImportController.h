#pragma once

#include "ReadPlan.h"
#include "TableExport.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>

struct AppState;
struct QueryContext;
class QThread;
class SapConnection;

// Import Table: asks for the export file, then reads and writes it on a worker thread while
// the window stays usable; the progress display follows it and Esc or Cancel stops it.
class ImportController : public QObject
{
    Q_OBJECT
public:
    ImportController(QueryContext& context, QObject* parent = nullptr);
    ~ImportController() override;

    // table: the table part of the first My Table field, which names the file.
    bool AskExportFile(const QString& table, QString& MyTableF);
    bool CheckExportFile(const QString& path);
    // Starts the import of a plan into path; false when it could not start.
    bool start(const ReadPlan& plan, const QString& path, qint64 rowLimit);
    bool running() const { return m_thread != nullptr; }
    void cancel() { m_cancel = true; }
    // Waits for a running import to end (used when the program must close).
    void wait();
    // The closing status line of a preview or an import.
    static QString ShowImportDone(const AppState& state, int fields, long rows, double seconds);

Q_SIGNALS:
    void finished(const TableExport::Result& result);

private:
    void done();

    QueryContext& m_context;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<TableExport> m_export;
    TableExport::Result m_result;
    QString m_path;
};
