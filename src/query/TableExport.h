#pragma once

#include "ReadPlan.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <functional>

class RfcDestination;

// Reads the rows of a query piece by piece and writes the export file: two header lines, then
// one line per row with the pieces joined side by side. Values keep the text the system
// returns; a value holding the separator, a double quote or a line break is quoted as CSV
// does. Memory stays flat: one piece streams straight to the file, several pieces go through
// spool files first. The file appears only when it is complete.
class TableExport
{
public:
    enum class Encoding { WindowsCodePage, Utf8 };

    struct Settings {
        QString path;
        QString separator = QStringLiteral(";");
        qint64 rowLimit = 0; // 0: every row
        Encoding encoding = Encoding::WindowsCodePage;
    };

    // Called on the thread that runs the export.
    struct Observer {
        std::function<void(const QString&)> status;
        std::function<void(float)> progress; // 0..0.99
    };

    struct Result {
        bool ok = false;
        bool cancelled = false;
        long rows = 0;
        double elapsed = 0;     // seconds
        int lostCharacters = 0; // not representable in the code page, written as "?"
        QString error;
        QStringList failedPieces; // "TABLE: EXCEPTION" for each piece whose read failed
    };

    TableExport(RfcDestination& destination, ReadPlan plan, Settings settings);

    Result run(const std::atomic<bool>& cancel, const Observer& observer);

    // The value as one CSV field: quoted, with inner quotes doubled, when it holds the
    // separator, a double quote, a carriage return or a line feed.
    static QString quote(const QString& value, const QString& separator);
    static bool needsQuotes(QStringView value, const QString& separator);
    static QString headerLine(const QStringList& values, const QString& separator);

private:
    class Piece;

    ReadPlan m_plan;
    Settings m_settings;
    RfcDestination& m_destination;
};
