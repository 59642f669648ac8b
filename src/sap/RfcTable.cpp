#include "sap/RfcTable.h"

RfcTable::RfcTable(QStringList columns) : m_columns(std::move(columns)) {}

int RfcTable::columnIndex(const QString& column) const
{
    return static_cast<int>(m_columns.indexOf(column));
}

void RfcTable::appendRow()
{
    m_rows.emplace_back(static_cast<size_t>(m_columns.size()));
}

void RfcTable::setValue(int row, const QString& column, const QString& value)
{
    const int c = columnIndex(column);
    if (row < 1 || row > rowCount() || c < 0)
        return;
    m_rows[static_cast<size_t>(row - 1)][static_cast<size_t>(c)] = value;
}

QString RfcTable::value(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (row < 1 || row > rowCount() || c < 0)
        return {};
    return m_rows[static_cast<size_t>(row - 1)][static_cast<size_t>(c)];
}

void RfcTable::deliver(Row row)
{
    row.resize(static_cast<size_t>(m_columns.size()));
    if (m_sink)
        m_sink(row);
    else
        m_rows.push_back(std::move(row));
}

void RfcTable::deliver(const Row& row, bool)
{
    if (m_sink && static_cast<qsizetype>(row.size()) == m_columns.size())
        m_sink(row);
    else
        deliver(Row(row));
}
