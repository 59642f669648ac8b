#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Files the installer tests share: the expected lists and small file-tree helpers.
namespace InstallFixtures
{

inline QByteArray expectedList(bool sapGuiPresent)
{
    QFile file(QStringLiteral(ZORV_TEST_DATA "/install/") +
               (sapGuiPresent ? QStringLiteral("setup-with-sapgui.lst")
                              : QStringLiteral("setup-without-sapgui.lst")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(file.fileName()));
    return file.readAll();
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Creates the file (and its folders) below base; the path is relative to base.
inline bool touch(const QString& base, const QString& relative, const QByteArray& bytes = {})
{
    const QString path = QDir(base).filePath(relative);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace InstallFixtures
