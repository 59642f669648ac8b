#include "query/export/ExportTarget.h"

#include <QFileInfo>

QString ExportTarget::unfit(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return QStringLiteral("%1 is not a regular file; an export replaces only files").arg(path);
}

QString ExportTarget::writeFailure(const QString& path, const QString& reason)
{
    return reason.isEmpty() || reason == u"Unknown error"
               ? QStringLiteral("%1 could not be written completely (is the disk full?)").arg(path)
               : reason;
}
