#pragma once

#include "sap/demo/DemoDictionary.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <variant>
#include <vector>

// Writes the demo database's tables: creates them from the dictionary and inserts rows, one
// table at a time. Text is cut to its field's length, as a real table holds it. The first
// failure is kept for the caller.
class DemoTableWriter
{
public:
    using Value = std::variant<QString, double, qint64, QByteArray>;
    using Row = std::vector<Value>;

    DemoTableWriter(SqliteDatabase& db, QString* error) : m_db(db), m_error(error) {}

    bool create(const DemoDictionary::Table& table);
    // Starts inserting into table; each row then holds one value per dictionary field.
    bool begin(const QString& table);
    bool insert(const Row& row);
    bool run(const QString& sql) { return m_db.exec(sql) || fail(m_db.error()); }

private:
    // The text cut to length characters; a length of 0 leaves it whole.
    static QString fitted(const QString& text, int length);
    bool fail(const QString& why);

    SqliteDatabase& m_db;
    QString* m_error;
    std::unique_ptr<SqliteStatement> m_insert;
    QString m_table;
    qsizetype m_width = 0;
    std::vector<int> m_textLengths; // per field: the length of a text column, else 0
};
