#pragma once

#include "RfcTable.h"

#include <QString>

class ReadPlan;
class RfcDestination;
class RfcFunction;
class SapConnection;
class ShellHost;

// Reads R/3 through RFC_READ_TABLE: a table's field catalogue, and the rows of one piece of
// the read plan.
class TableReader
{
public:
    TableReader(ShellHost& host, SapConnection& connection);

    bool ReadFieldCatalogue(const QString& table);
    // first/last index the plan's fields, optFirst/optLast its option lines (0 and 0: none).
    // Rows go to DataTable, or to the sink when one is given.
    bool GetData(const ReadPlan& plan, const QString& table, qint32 rowLimit,
                 const QString& delimiter, int first, int last, int optFirst, int optLast,
                 RfcTable::RowSink sink = {});

    // The FIELDS and DATA tables of the last call (valid until the next).
    const RfcTable& FieldsTable() const;
    const RfcTable& DataTable() const;

    static int TypeIcon(const QString& letter);
    // The destination the function calls go to while connected, for reads of its own (import).
    RfcDestination* destination() const;
    // After a system failure the connection objects are dropped, so the next read reconnects.
    void systemFailure();

private:
    bool busy();
    void showException(const QString& exception, const QString& message);
    // Keeps the result tables, so they outlive the function object.
    void keepResults(RfcFunction& function);

    ShellHost& m_host;
    SapConnection& m_connection;
    RfcTable m_fields;
    RfcTable m_data;
};
