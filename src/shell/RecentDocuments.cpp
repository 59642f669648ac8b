#include "shell/RecentDocuments.h"

#include "shell/PathListFile.h"

#include <QDir>
#include <QFileInfo>

QString RecentDocuments::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Recent.txt"));
}

QStringList RecentDocuments::paths() const
{
    return PathListFile::read(m_file, kMost);
}

bool RecentDocuments::add(const QString& document)
{
    const QString path = QDir::toNativeSeparators(QFileInfo(document).absoluteFilePath());
    QStringList paths{path};
    for (const QString& kept : this->paths()) {
        if (!PathListFile::samePath(kept, path) && paths.size() < kMost)
            paths.append(kept);
    }
    return write(paths);
}

bool RecentDocuments::remove(const QString& document)
{
    QStringList paths = this->paths();
    paths.removeIf(
        [&document](const QString& kept) { return PathListFile::samePath(kept, document); });
    return write(paths);
}

bool RecentDocuments::write(const QStringList& paths) const
{
    return PathListFile::write(m_file, paths);
}
