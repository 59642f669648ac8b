#include "ProgramHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramHome::resolve(const QString& environmentValue, const QString& executableFolder,
                             const QString& configFolder)
{
    if (!environmentValue.isEmpty())
        return QDir::cleanPath(environmentValue);
    const QFileInfo executable(executableFolder);
    if (!executableFolder.isEmpty() && executable.isDir() && executable.isWritable())
        return QDir::cleanPath(executableFolder);
    return QDir::cleanPath(configFolder);
}

QString ProgramHome::folder()
{
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/zorv");
    const QString folder = resolve(qEnvironmentVariable("ZORV_HOME"),
                                   QCoreApplication::applicationDirPath(), configFolder);
    QDir().mkpath(folder);
    return folder;
}
