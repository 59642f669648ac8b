#include "sap/demo/RowCountModule.h"

#include "sap/RfcFunction.h"
#include "sap/demo/DemoDictionary.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"

bool RowCountModule::call(SqliteDatabase& db, RfcFunction& function, const QString& client,
                          const std::function<bool(const QString& table)>& authorized)
{
    RfcTable& tables = function.table(QStringLiteral("IT_TABLES"));
    for (int r = 1; r <= tables.rowCount(); ++r) {
        const QString name = tables.value(r, QStringLiteral("TABNAME")).trimmed().toUpper();
        const DemoDictionary::Table* table = DemoDictionary::instance().table(name);
        qint64 rows = 0;
        // A name that is no table with rows counts none, as the module does.
        if (table && !table->isStructure()) {
            if (authorized && !authorized(name)) {
                function.setException(QStringLiteral("NOT_AUTHORIZED"));
                return false;
            }
            QString sql = QStringLiteral("SELECT COUNT(*) FROM \"") + table->name + u'"';
            if (table->clientDependent())
                sql += QStringLiteral(" WHERE \"") + table->fields.front().name +
                       QStringLiteral("\" = ?");
            SqliteStatement statement(db.handle(), sql);
            if (table->clientDependent())
                statement.bindText(1, client);
            if (!statement.valid() || !statement.step()) {
                function.setException(QStringLiteral("SYSTEM_FAILURE"));
                return false;
            }
            rows = statement.integer(0);
        }
        tables.setValue(r, QStringLiteral("TABROWS"), QString::number(rows));
    }
    return true;
}
