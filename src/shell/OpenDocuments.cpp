#include "shell/OpenDocuments.h"

#include "shell/BoundedFile.h"

#include <QDir>
#include <QSaveFile>

QString OpenDocuments::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Open.txt"));
}

QStringList OpenDocuments::paths() const
{
    QByteArray bytes;
    if (!BoundedFile::read(m_file, BoundedFile::kLargestStateFile, &bytes, nullptr))
        return {};
    QStringList paths;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

bool OpenDocuments::write(const QStringList& paths) const
{
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& path : paths)
        file.write(path.toUtf8() + '\n');
    return file.commit();
}
