#include "shell/RecentDocuments.h"

#include "shell/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString RecentDocuments::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Recent.txt"));
}

bool RecentDocuments::same(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), sensitivity) == 0;
}

QStringList RecentDocuments::paths() const
{
    QByteArray bytes;
    if (!BoundedFile::read(m_file, BoundedFile::kLargestStateFile, &bytes, nullptr))
        return {};
    QStringList paths;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (path.isEmpty())
            continue;
        bool seen = false;
        for (const QString& kept : paths)
            seen = seen || same(kept, path);
        if (!seen)
            paths.append(path);
        if (paths.size() == kMost)
            break;
    }
    return paths;
}

bool RecentDocuments::add(const QString& document)
{
    const QString path = QDir::toNativeSeparators(QFileInfo(document).absoluteFilePath());
    QStringList paths{path};
    for (const QString& kept : this->paths()) {
        if (!same(kept, path) && paths.size() < kMost)
            paths.append(kept);
    }
    return write(paths);
}

bool RecentDocuments::remove(const QString& document)
{
    QStringList paths = this->paths();
    paths.removeIf([&document](const QString& kept) { return same(kept, document); });
    return write(paths);
}

bool RecentDocuments::write(const QStringList& paths) const
{
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& path : paths)
        file.write(path.toUtf8() + '\n');
    return file.commit();
}
