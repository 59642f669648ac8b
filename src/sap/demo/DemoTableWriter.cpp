#include "sap/demo/DemoTableWriter.h"

#include <QStringList>

bool DemoTableWriter::create(const DemoDictionary::Table& table)
{
    QStringList columns;
    QStringList keys;
    for (const auto& field : table.fields) {
        columns.append(u'"' + field.name + QStringLiteral("\" ") + field.sqlType());
        if (field.key)
            keys.append(u'"' + field.name + u'"');
    }
    if (!keys.isEmpty())
        columns.append(QStringLiteral("PRIMARY KEY (") + keys.join(u',') + u')');
    // Rows are kept in key order, as a database with a clustered primary key keeps them.
    return run(QStringLiteral("CREATE TABLE \"") + table.name + QStringLiteral("\" (") +
               columns.join(QStringLiteral(", ")) + u')' +
               (keys.isEmpty() ? QString() : QStringLiteral(" WITHOUT ROWID")));
}

bool DemoTableWriter::begin(const QString& table)
{
    const DemoDictionary::Table* def = DemoDictionary::instance().table(table);
    QStringList marks;
    m_textLengths.clear();
    for (const auto& field : def->fields) {
        marks.append(QStringLiteral("?"));
        m_textLengths.push_back(field.sqlType() == u"TEXT" ? field.length : 0);
    }
    m_table = table;
    m_width = def->fields.size();
    m_insert = std::make_unique<SqliteStatement>(
        m_db.handle(), QStringLiteral("INSERT INTO \"") + table + QStringLiteral("\" VALUES (") +
                           marks.join(u',') + u')');
    if (!m_insert->valid())
        return fail(m_insert->error());
    return true;
}

bool DemoTableWriter::insert(const Row& row)
{
    if (static_cast<qsizetype>(row.size()) != m_width)
        return fail(QStringLiteral("%1: %2 values for %3 fields")
                        .arg(m_table)
                        .arg(row.size())
                        .arg(m_width));
    m_insert->reset();
    int index = 1;
    for (const Value& value : row) {
        if (const auto* text = std::get_if<QString>(&value))
            m_insert->bindText(index, fitted(*text, m_textLengths[static_cast<size_t>(index - 1)]));
        else if (const auto* real = std::get_if<double>(&value))
            m_insert->bindDouble(index, *real);
        else if (const auto* whole = std::get_if<qint64>(&value))
            m_insert->bindInt(index, *whole);
        else
            m_insert->bindBlob(index, std::get<QByteArray>(value));
        ++index;
    }
    m_insert->step();
    if (!m_insert->error().isEmpty())
        return fail(m_insert->error());
    return true;
}

QString DemoTableWriter::fitted(const QString& text, int length)
{
    if (length <= 0 || text.size() <= length)
        return text;
    // A character outside the basic plane is not split in two.
    const bool split = text.at(length - 1).isHighSurrogate();
    return text.left(split ? length - 1 : length);
}

bool DemoTableWriter::fail(const QString& why)
{
    if (m_error && m_error->isEmpty())
        *m_error = why;
    return false;
}
