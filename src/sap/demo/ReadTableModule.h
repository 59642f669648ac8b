#pragma once

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
    };

    static constexpr int kLineWidth = 512;

    // Fills FIELDS and DATA; on failure sets the function's exception and returns false.
    static bool call(SqliteDatabase& db, RfcFunction& function, const Caller& caller);
};
