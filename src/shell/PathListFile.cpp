#include "shell/PathListFile.h"

#include "shell/BoundedFile.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>

bool PathListFile::samePath(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), sensitivity) == 0;
}

QStringList PathListFile::read(const QString& file, int most)
{
    QByteArray bytes;
    if (!BoundedFile::read(file, BoundedFile::kLargestStateFile, &bytes, nullptr))
        return {};
    QStringList paths;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (path.isEmpty() || std::any_of(paths.cbegin(), paths.cend(), [&](const QString& kept) {
                return samePath(kept, path);
            }))
            continue;
        paths.append(path);
        if (paths.size() == most)
            break;
    }
    return paths;
}

bool PathListFile::write(const QString& file, const QStringList& paths)
{
    QSaveFile saved(file);
    if (!saved.open(QIODevice::WriteOnly))
        return false;
    for (const QString& path : paths)
        saved.write(path.toUtf8() + '\n');
    return saved.commit();
}
