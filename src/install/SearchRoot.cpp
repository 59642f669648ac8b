#include "SearchRoot.h"

#include <QDir>

QString SearchRoot::choose(const QProcessEnvironment& environment, const QString& home)
{
    const QString override = environment.value(QString::fromLatin1(kOverride));
    if (!override.isEmpty())
        return override;
#ifdef Q_OS_WIN
    Q_UNUSED(home);
    return QStringLiteral("C:\\");
#else
    const QString winePrefix = environment.value(QStringLiteral("WINEPREFIX"));
    const QString prefix =
        winePrefix.isEmpty() ? QDir(home).filePath(QStringLiteral(".wine")) : winePrefix;
    return QDir(prefix).filePath(QStringLiteral("drive_c"));
#endif
}
