#pragma once

#include <QString>

// Searches a folder tree for a file by name, breadth first so that shallow matches win,
// without following links and to a bounded depth.
class FileSearch
{
public:
    static constexpr int kMaxDepth = 12;

    static QString find(const QString& root, const QString& fileName, int maxDepth = kMaxDepth);
};
