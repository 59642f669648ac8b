#include "shell/FileSearch.h"

#include <QDir>
#include <QFileInfo>

#include <deque>
#include <utility>

QString FileSearch::find(const QString& root, const QString& fileName, int maxDepth)
{
    if (root.isEmpty() || fileName.isEmpty())
        return {};
    std::deque<std::pair<QString, int>> pending{{root, 0}};
    const Qt::CaseSensitivity cs =
#ifdef Q_OS_WIN
        Qt::CaseInsensitive;
#else
        Qt::CaseSensitive;
#endif
    while (!pending.empty()) {
        const auto [folder, depth] = pending.front();
        pending.pop_front();
        const QDir dir(folder);
        const QFileInfoList entries = dir.entryInfoList(
            QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDir::Name);
        for (const QFileInfo& entry : entries) {
            // Linked folders could lead round in circles; linked files are found like others.
            if (entry.isSymLink() && entry.isDir())
                continue;
            if (entry.isFile() && entry.fileName().compare(fileName, cs) == 0)
                return QDir::toNativeSeparators(entry.absoluteFilePath());
            if (entry.isDir() && depth < maxDepth)
                pending.emplace_back(entry.absoluteFilePath(), depth + 1);
        }
    }
    return {};
}
