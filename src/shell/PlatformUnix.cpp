#include "shell/Platform.h"

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
QString defaultDesktopEntry(const QString& xdgMime, const QString& mimeType)
{
    QProcess process;
    process.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// A program that runs in a terminal shows nothing when started from a window.
bool runsInTerminal(const QString& entryPath)
{
    QFile entry(entryPath);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(u'['))
            inMainGroup = line == u"[Desktop Entry]";
        else if (inMainGroup && line.startsWith(u"Terminal") &&
                 line.mid(8).trimmed().startsWith(u'='))
            return line.section(u'=', 1).trimmed() == u"true";
    }
    return false;
}
#endif
} // namespace

bool Platform::hasAssociatedProgram(const QString& path)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(path);
    return true;
#else
    // In a Flatpak or Snap sandbox the desktop portal lets the user choose; without xdg-mime
    // there is nothing to ask, and the opener decides alone.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QFile::exists(QStringLiteral("/.flatpak-info")) ||
        qEnvironmentVariableIsSet("SNAP"))
        return true;
    // Desktops fall back on the parent types (a CSV file opens where plain text does).
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    for (const QString& name : QStringList{type.name()} + type.allAncestors()) {
        const QString entry = defaultDesktopEntry(xdgMime, name);
        const QString entryPath =
            entry.isEmpty() ? QString()
                            : QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
        if (!entryPath.isEmpty())
            return !runsInTerminal(entryPath);
    }
    return false;
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
