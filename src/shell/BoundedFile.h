#pragma once

#include <QByteArray>
#include <QString>

// A file Zorv reads for its own state or input: only a plain file, and only up to a bound far
// above any real one, so that a device, a pipe or a huge file costs no memory and no wait.
class BoundedFile
{
public:
    // For settings, documents and lists Zorv writes itself.
    static constexpr qint64 kLargestStateFile = 8 * 1024 * 1024;
    // A password file: its first line is all that is read of it.
    static constexpr qint64 kLargestSecret = 4 * 1024;

    // The file's bytes; false, with a sentence in problem, when it is no plain file, is larger
    // than largest, or cannot be read.
    static bool read(const QString& path, qint64 largest, QByteArray* bytes, QString* problem);
    // Whether the file may be read at all: a plain file within the bound.
    static bool fits(const QString& path, qint64 largest);
};
