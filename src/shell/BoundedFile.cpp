#include "shell/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool BoundedFile::fits(const QString& path, qint64 largest)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() <= largest;
}

bool BoundedFile::read(const QString& path, qint64 largest, QByteArray* bytes, QString* problem)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    const auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    if (!info.exists())
        return fail(QStringLiteral("%1 does not exist").arg(shown));
    if (!info.isFile())
        return fail(QStringLiteral("%1 is not a plain file").arg(shown));
    if (info.size() > largest)
        return fail(QStringLiteral("%1 is larger than %2 KB, more than such a file ever holds")
                        .arg(shown)
                        .arg(largest / 1024));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 cannot be read: %2").arg(shown, file.errorString()));
    // The file may have grown since it was measured: never more than the bound.
    *bytes = file.read(largest + 1);
    if (bytes->size() > largest)
        return fail(QStringLiteral("%1 is larger than %2 KB, more than such a file ever holds")
                        .arg(shown)
                        .arg(largest / 1024));
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("%1 cannot be read: %2").arg(shown, file.errorString()));
    return true;
}
