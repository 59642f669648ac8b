#include "window/common/Icons.h"

#include <QFile>

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon Icons::get(const QString& name)
{
    static const bool ready = (initIconResources(), true);
    Q_UNUSED(ready);
    const QString path = QStringLiteral(":/icons/") + name;
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
