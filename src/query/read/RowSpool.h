#pragma once

#include <QDataStream>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class QTemporaryFile;

// The rows of one table of several, kept in a temporary file until every table is read: per
// row, which columns it has and their values. Written once, rewound, then read in order.
class RowSpool
{
public:
    RowSpool();
    ~RowSpool();

    // Creates the file in folder (empty: the temp folder).
    bool open(const QString& folder);
    // present: one flag per value; only present values are kept.
    void write(const std::vector<QStringView>& values, const std::vector<char>& present);
    bool ok() const { return m_stream.status() == QDataStream::Ok; }
    bool rewind();
    // Fills the next row; values and present must be sized to the table's columns.
    void read(std::vector<QString>& values, std::vector<char>& present);
    qint64 rows() const { return m_rows; }

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QDataStream m_stream;
    qint64 m_rows = 0;
};
