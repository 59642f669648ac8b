#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One table parameter of a remote function call: named columns and rows of text. Rows may be
// streamed to a sink instead of kept, so that very large results need no memory of their own.
class RfcTable
{
public:
    using Row = std::vector<QString>;
    using RowSink = std::function<void(const Row& row)>;

    explicit RfcTable(QStringList columns = {});

    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& column) const;

    void appendRow();
    // Rows are numbered from 1, as the callers count them.
    void setValue(int row, const QString& column, const QString& value);
    QString value(int row, const QString& column) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const std::vector<Row>& rows() const { return m_rows; }

    // Used by destinations: adds a filled row, or hands it to the sink when one is set.
    void deliver(Row row);
    // The same for a row the destination keeps and reuses: a sink reads it without a copy.
    void deliver(const Row& row, bool /*reused*/);
    void setRowSink(RowSink sink) { m_sink = std::move(sink); }
    bool streaming() const { return static_cast<bool>(m_sink); }
    void clear() { m_rows.clear(); }

private:
    QStringList m_columns;
    std::vector<Row> m_rows;
    RowSink m_sink;
};
