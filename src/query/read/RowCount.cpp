#include "query/read/RowCount.h"

#include "sap/RfcFunction.h"

std::optional<qint64> RowCount::of(RfcDestination& destination, const QString& table,
                                   const std::atomic<bool>* cancel)
{
    RfcFunction function(QStringLiteral("EM_GET_NUMBER_OF_ENTRIES"), &destination);
    function.setCancel(cancel);
    RfcTable& tables = function.table(QStringLiteral("IT_TABLES"));
    tables.appendRow();
    tables.setValue(1, QStringLiteral("TABNAME"), table);
    if (!function.call() || tables.rowCount() != 1)
        return std::nullopt;
    bool number = false;
    const qint64 rows = tables.value(1, QStringLiteral("TABROWS")).trimmed().toLongLong(&number);
    if (!number || rows < 0)
        return std::nullopt;
    return rows;
}
