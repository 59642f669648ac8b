#pragma once

#include "query/export/CsvWriter.h"
#include "query/export/XlsxWriter.h"
#include "query/read/ReadJob.h"
#include "query/read/ReadPlan.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <cstdio>
#include <functional>

class KeyCatalog;
class RfcDestination;

// An export of a query to a CSV file: the read job writing into the CSV writer. The file
// appears only when every row was read and written; a failure leaves the previous file as it
// was.
class TableExport
{
public:
    using Encoding = CsvWriter::Encoding;
    enum class Format { Csv, Xlsx };

    struct Settings {
        QString path;
        QString separator = QStringLiteral(";");
        qint64 rowLimit = 0; // 0: every row
        qint64 pageRows = 0; // 0: the read job's choice
        Format format = Format::Csv;
        Encoding encoding = Encoding::WindowsCodePage;
        bool trim = false;                  // CSV values without the blanks that pad them
        bool markFormulasAsText = false;    // CSV cells a spreadsheet would evaluate: as text
        std::FILE* standardOutput = stdout; // where the path "-" writes
        // The read module: the widest the system offers, else the one named, else
        // RFC_READ_TABLE.
        bool widestModule = false;
        QString moduleName;
        bool countRows = false; // ask the system how many rows a read of every row will give
        int sessions = 1;       // sessions the read may call at once, opened by openSession
        SessionPool::Opener openSession;
    };

    // Called on the thread that runs the export.
    struct Observer {
        std::function<void(const BiText&)> status;
        // 0..0.99; ProgressModel::kUnknown while a read of every row has no count
        std::function<void(float)> progress;
    };

    struct Result {
        bool ok = false;
        bool cancelled = false;
        long rows = 0;
        double elapsed = 0;     // seconds
        int lostCharacters = 0; // not representable in the code page, written as "?"
        int calls = 0;
        QString module; // the read module the rows came through
        BiText error;
        QStringList failedPieces; // "TABLE: EXCEPTION" for each table whose read failed
        std::vector<ReadJob::Failure> failures;
        QVector<BiText> notes;
    };

    TableExport(RfcDestination& destination, KeyCatalog& catalog, ReadPlan plan, Settings settings);

    Result run(const std::atomic<bool>& cancel, const Observer& observer);

    // "Reading BSEG: 250,000 of 1,000,000 rows, 0:12 left"; without a total, the rows so far.
    static BiText readingText(const QString& table, qint64 rows, qint64 total, double seconds);

    static QString quote(const QString& value, const QString& separator)
    {
        return CsvWriter::quote(value, separator);
    }
    static bool needsQuotes(QStringView value, const QString& separator)
    {
        return CsvWriter::needsQuotes(value, separator);
    }
    static QString headerLine(const QStringList& values, const QString& separator)
    {
        return CsvWriter::headerLine(values, separator);
    }
    // One line naming what failed, for a message or the command line.
    static QString failureText(const ReadJob::Failure& failure);
    // A workbook for a name ending in .xlsx, else a text file.
    static Format formatOf(const QString& path);

private:
    RfcDestination& m_destination;
    KeyCatalog& m_catalog;
    ReadPlan m_plan;
    Settings m_settings;
};
