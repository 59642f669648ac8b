#include "shell/OpenDocuments.h"

#include "shell/PathListFile.h"

#include <QDir>

QString OpenDocuments::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Open.txt"));
}

QStringList OpenDocuments::paths() const
{
    return PathListFile::read(m_file);
}

bool OpenDocuments::write(const QStringList& paths) const
{
    return PathListFile::write(m_file, paths);
}
