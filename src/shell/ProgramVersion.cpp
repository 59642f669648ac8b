#include "shell/ProgramVersion.h"

#include <QStringList>

QString ProgramVersion::fromFileVersion(const QString& fileVersion)
{
    const QStringList parts = fileVersion.split(u'.');
    const auto part = [&](int i) { return i < parts.size() ? parts.at(i).toUInt() : 0u; };
    return QStringLiteral("%1.%2.%3").arg(part(0)).arg(part(1)).arg(part(3));
}

QString ProgramVersion::fileVersion()
{
    return QStringLiteral(ZORV_FILE_VERSION);
}

QString ProgramVersion::text()
{
    return fromFileVersion(fileVersion());
}
