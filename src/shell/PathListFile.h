#pragma once

#include <QString>
#include <QStringList>

// A list of file paths in a file of its own, one a line in UTF-8: the documents opened last, or
// open at the end. Read within the state-file bound; written whole or not at all.
class PathListFile
{
public:
    // The paths in the file's order, each once (by samePath), at most `most` (0: all); none
    // when the file is missing or cannot be read.
    static QStringList read(const QString& file, int most = 0);
    // Replaces the file's list; false when it could not be written.
    static bool write(const QString& file, const QStringList& paths);
    // One file named twice: the same clean path, in any case where the file system ignores it.
    static bool samePath(const QString& a, const QString& b);
};
