#pragma once

#include "sap/ReadTableWidths.h"

#include <QString>

#include <functional>

class RfcFunction;
class SqliteDatabase;

// RFC_READ_TABLE as the classic function module behaves, over the demo system's database.
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
    };

    static constexpr int kOptionWidth = ReadTableWidths::kOptionLine;
    static constexpr int kFieldNameWidth = 30;
    static constexpr const char* kNoMemory =
        "No more memory available to add rows to an internal table.";

    static constexpr int kLineWidth = ReadTableWidths::kDataLine;

    // Fills FIELDS and DATA; on failure sets the function's exception and returns false.
    static bool call(SqliteDatabase& db, RfcFunction& function, const Caller& caller);
};
