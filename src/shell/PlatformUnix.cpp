#include "Platform.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace
{
QString firstInstalled(const QStringList& programs)
{
    for (const QString& name : programs) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

#ifndef Q_OS_MACOS
// The .desktop entry xdg-mime names as the default for a MIME type.
QString defaultDesktopEntry(const QString& mimeType)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return {};
    QProcess process;
    process.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}
#endif
} // namespace

QString Platform::associatedProgram(const QString& path)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(path);
    return QStringLiteral("/usr/bin/open");
#else
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    const QString entryName = defaultDesktopEntry(mimeType);
    if (entryName.isEmpty())
        return {};
    const QString entryPath =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entryName);
    QFile entry(entryPath);
    if (entryPath.isEmpty() || !entry.open(QIODevice::ReadOnly))
        return {};
    const QString program =
        DesktopEntry::program(DesktopEntry::execLine(QString::fromUtf8(entry.readAll())));
    if (program.isEmpty())
        return {};
    return QDir::isAbsolutePath(program) ? program : QStandardPaths::findExecutable(program);
#endif
}

QString Platform::userName()
{
    if (const passwd* entry = getpwuid(getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
}

QString Platform::sapLogonFileName()
{
    return QStringLiteral("guilogon");
}

QStringList Platform::sapLogonSearchRoots()
{
    return {QStringLiteral("/opt"), QDir::homePath()};
}

QString Platform::helpViewer()
{
    return firstInstalled({QStringLiteral("xchm"), QStringLiteral("kchmviewer")});
}

QString Platform::systemInformationProgram()
{
#ifdef Q_OS_MACOS
    const QString app = QStringLiteral("/System/Applications/Utilities/System Information.app");
    return QFile::exists(app) ? app : QString();
#else
    return firstInstalled({QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
                           QStringLiteral("gnome-system-monitor")});
#endif
}
