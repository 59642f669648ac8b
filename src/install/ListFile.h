#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writes a file all at once: afterwards the path holds either the new bytes or what it held
// before, never a part of the new bytes.
class ListFile
{
public:
    // The reason of the failure, or nothing when the file was written.
    static std::optional<QString> write(const QString& path, const QByteArray& bytes);
};
