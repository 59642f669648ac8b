#include "query/read/RowSpool.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryFile>

RowSpool::RowSpool() = default;

RowSpool::~RowSpool() = default;

bool RowSpool::open(const QString& folder)
{
    m_file = std::make_unique<QTemporaryFile>(QDir(folder.isEmpty() ? QDir::tempPath() : folder)
                                                  .filePath(QStringLiteral(".zorv-spool-XXXXXX")));
    if (!m_file->open())
        return false;
    m_stream.setDevice(m_file.get());
    return true;
}

void RowSpool::write(const std::vector<QStringView>& values, const std::vector<char>& present)
{
    m_stream << QByteArray(present.data(), static_cast<qsizetype>(present.size()));
    for (size_t i = 0; i < values.size(); ++i) {
        if (present[i])
            m_stream << values[i].toString();
    }
    ++m_rows;
}

bool RowSpool::rewind()
{
    m_stream.setDevice(nullptr);
    if (!m_file->flush() || !m_file->seek(0))
        return false;
    m_stream.setDevice(m_file.get());
    return true;
}

void RowSpool::read(std::vector<QString>& values, std::vector<char>& present)
{
    QByteArray flags;
    m_stream >> flags;
    for (size_t i = 0; i < values.size(); ++i) {
        present[i] = i < static_cast<size_t>(flags.size()) && flags[static_cast<qsizetype>(i)];
        values[i].clear();
        if (present[i])
            m_stream >> values[i];
    }
}
