#pragma once

#include "sap/ReadModule.h"
#include "sap/ReadTableWidths.h"

#include <QString>

#include <functional>

class RfcFunction;
class SqliteDatabase;

// RFC_READ_TABLE as the classic function module behaves, over the demo system's database, and
// the wider modules of its interface or of RFC_READ_TABLE2's.
class ReadTableModule
{
public:
    struct Caller {
        QString client;
        bool portuguese = false;
        std::function<bool(const QString& table)> authorized;
        // Like a column store: rows come in a new order on every call, ROWSKIPS included.
        bool anyOrder = false;
        // Rows one answer may hold before the system runs out of memory; 0: no limit.
        qint64 rowBudget = 0;
        ReadModule module; // the module called
        // What each row costs the system, as on a system far away; 0: nothing.
        int rowMicroseconds = 0;
    };

    static constexpr int kOptionWidth = ReadTableWidths::kOptionLine;
    static constexpr int kFieldNameWidth = 30;
    static constexpr const char* kNoMemory =
        "No more memory available to add rows to an internal table.";

    // Fills FIELDS and the module's table of rows; on failure sets the function's exception
    // and returns false.
    static bool call(SqliteDatabase& db, RfcFunction& function, const Caller& caller);
};
