#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// The DATA lines of one call, kept in one buffer: thousands of rows cost two allocations, and a
// value is a view into its line.
class RowBlock
{
public:
    struct Slot {
        int offset = 0;
        int length = 0;
    };

    void append(QStringView line)
    {
        m_text.append(line);
        m_ends.push_back(m_text.size());
    }
    void reserve(qsizetype rows, qsizetype charactersPerRow)
    {
        m_text.reserve(rows * charactersPerRow);
        m_ends.reserve(static_cast<size_t>(rows));
    }
    void clear()
    {
        m_text.resize(0);
        m_ends.clear();
    }
    qsizetype size() const { return static_cast<qsizetype>(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }

    QStringView line(qsizetype row) const
    {
        const qsizetype start = row == 0 ? 0 : m_ends[static_cast<size_t>(row - 1)];
        return QStringView(m_text).mid(start, m_ends[static_cast<size_t>(row)] - start);
    }
    // The value in its slot; shorter than the slot, or empty, where the system dropped the
    // line's trailing blanks.
    QStringView value(qsizetype row, Slot slot) const
    {
        const QStringView text = line(row);
        if (slot.offset >= text.size())
            return {};
        return text.mid(slot.offset, slot.length);
    }

private:
    QString m_text;
    std::vector<qsizetype> m_ends;
};
