#include "SystemPlatform.h"

#include "SearchRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

QString SystemPlatform::ownFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString SystemPlatform::searchRoot() const
{
    return SearchRoot::choose(QProcessEnvironment::systemEnvironment(), QDir::homePath());
}

std::optional<QString> SystemPlatform::start(const QString& program, const QString& workingFolder)
{
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
    if (process.startDetached())
        return std::nullopt;
    return process.errorString();
}
