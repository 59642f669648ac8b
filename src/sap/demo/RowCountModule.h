#pragma once

#include <QString>

#include <functional>

class RfcFunction;
class SqliteDatabase;

// EM_GET_NUMBER_OF_ENTRIES over the demo system's database: for each row of IT_TABLES, the
// number of rows its TABNAME holds in the logon client, in TABROWS.
class RowCountModule
{
public:
    static bool call(SqliteDatabase& db, RfcFunction& function, const QString& client,
                     const std::function<bool(const QString& table)>& authorized);
};
