#pragma once

#include "query/read/RowSink.h"

#include <QString>

#include <vector>

// Keeps the rows of a small read (a preview) as text, one vector of values per row.
class RowCollector : public RowSink
{
public:
    explicit RowCollector(int columns) : m_columns(columns) {}

    bool row(const QStringView* values, const char* present, int count) override
    {
        std::vector<QString> row(static_cast<size_t>(m_columns));
        for (int k = 0; k < count && k < m_columns; ++k) {
            if (present[k])
                row[static_cast<size_t>(k)] = values[k].toString();
        }
        m_rows.push_back(std::move(row));
        return true;
    }
    void abandon() override { m_rows.clear(); }

    const std::vector<std::vector<QString>>& rows() const { return m_rows; }
    std::vector<std::vector<QString>> takeRows() { return std::move(m_rows); }

private:
    int m_columns;
    std::vector<std::vector<QString>> m_rows;
};
