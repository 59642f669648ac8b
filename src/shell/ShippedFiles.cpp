#include "shell/ShippedFiles.h"

#include <QDir>
#include <QFileInfo>

QString ShippedFiles::sharedFolder(const QString& executableFolder)
{
    if (executableFolder.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(executableFolder + QStringLiteral("/../share/zorv"));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QStringList ShippedFiles::candidates(const QString& executableFolder, const QString& relativePath)
{
    if (executableFolder.isEmpty())
        return {};
    return {QDir::cleanPath(executableFolder + u'/' + relativePath),
            QDir::cleanPath(executableFolder + QStringLiteral("/../share/zorv/") + relativePath)};
}

QString ShippedFiles::find(const QString& executableFolder, const QString& relativePath)
{
    for (const QString& path : candidates(executableFolder, relativePath)) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}
