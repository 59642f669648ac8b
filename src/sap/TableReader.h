#pragma once

#include "sap/RfcTable.h"
#include "shell/BiText.h"

#include <QString>

#include <functional>
#include <memory>

class RfcDestination;
class RfcFunction;
class SapConnection;
class StatusHost;

// Reads a table's field catalogue through RFC_READ_TABLE, and hands the connection's
// destination to the reads of rows.
class TableReader
{
public:
    TableReader(StatusHost& host, SapConnection& connection);

    bool readFieldCatalogue(const QString& table);

    // The FIELDS and DATA tables of the last call (valid until the next).
    const RfcTable& fieldsTable() const;
    const RfcTable& dataTable() const;

    static int typeIconIndex(const QString& letter);
    // The destination the function calls go to while connected, for reads of their own. A
    // read that holds it keeps it alive after a disconnect until the read ends.
    std::shared_ptr<RfcDestination> destination() const;
    // Makes further logons of the connected system for reads that call it side by side;
    // nothing while disconnected.
    std::function<std::unique_ptr<RfcDestination>(BiText* error)> sessionOpener() const;
    // After a system failure the connection objects are dropped, so the next read reconnects.
    void systemFailure();

private:
    void showException(const QString& exception, const QString& message);
    // Keeps the result tables, so they outlive the function object.
    void keepResults(RfcFunction& function);

    StatusHost& m_host;
    SapConnection& m_connection;
    RfcTable m_fields;
    RfcTable m_data;
};
