#include "shell/ProgramHome.h"

#include "shell/ShippedFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString ProgramHome::resolve(const QString& environmentValue, const QString& executableFolder,
                             const QString& configFolder)
{
    if (!environmentValue.isEmpty())
        return QDir::cleanPath(environmentValue);
    const QFileInfo executable(executableFolder);
    if (!executableFolder.isEmpty() && executable.isDir() && executable.isWritable() &&
        ShippedFiles::sharedFolder(executableFolder).isEmpty())
        return QDir::cleanPath(executableFolder);
    return QDir::cleanPath(configFolder);
}

bool ProgramHome::seedSettings(const QString& folder, const QString& shippedFile)
{
    const QString target = QDir(folder).filePath(ShippedFiles::startingSettings());
    if (shippedFile.isEmpty() || QFileInfo::exists(target))
        return true;
    QFile source(shippedFile);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    // Written anew rather than copied, so a read-only shipped file gives a writable copy.
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly))
        return false;
    copy.write(source.readAll());
    return copy.commit();
}

QString ProgramHome::folder()
{
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/zorv");
    const QString environment = qEnvironmentVariable("ZORV_HOME");
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString folder = resolve(environment, executableFolder, configFolder);
    QDir().mkpath(folder);
    if (environment.isEmpty() && folder != QDir::cleanPath(executableFolder))
        seedSettings(folder,
                     ShippedFiles::find(executableFolder, ShippedFiles::startingSettings()));
    return folder;
}
