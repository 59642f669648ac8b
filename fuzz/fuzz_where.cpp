// Any text as OPTIONS lines for a table: the parser never crashes, and whatever it accepts is
// valid SQL over that table that never names a literal of the input.
#include "sap/demo/DemoDictionary.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"
#include "sap/demo/WhereParser.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace
{
SqliteDatabase& database()
{
    static SqliteDatabase db;
    static const bool ready = [] {
        db.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::Create);
        for (const char* name : {"KNA1", "ZTYPES"}) {
            const DemoDictionary::Table* table =
                DemoDictionary::instance().table(QString::fromLatin1(name));
            QStringList columns;
            for (const auto& field : table->fields)
                columns.append(u'"' + field.name + QStringLiteral("\" ") + field.sqlType());
            db.exec(
                QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table->name, columns.join(u',')));
        }
        return true;
    }();
    Q_UNUSED(ready);
    return db;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const char* tableName = (data[0] & 1) ? "KNA1" : "ZTYPES";
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const DemoDictionary::Table* table =
        DemoDictionary::instance().table(QString::fromLatin1(tableName));
    const WhereParser::Result result = WhereParser::parse(text.split(u'\n'), *table);
    if (!result.ok || result.sql.isEmpty())
        return 0;
    SqliteStatement statement(
        database().handle(),
        QStringLiteral("SELECT 1 FROM \"%1\" WHERE %2").arg(table->name, result.sql));
    // Accepted conditions must be valid SQL of ours: fields and placeholders only.
    if (!statement.valid() || result.sql.contains(u'\''))
        std::abort();
    return 0;
}
