#include "window/query/FieldIcons.h"

#include "sap/TableReader.h"
#include "window/common/Icons.h"

#include <QHash>

QIcon FieldIcons::forType(const QString& letter)
{
    static const QHash<int, QString> names = {
        {3, QStringLiteral("type-c")}, {4, QStringLiteral("type-n")},
        {5, QStringLiteral("type-p")}, {6, QStringLiteral("type-d")},
        {7, QStringLiteral("type-t")}, {8, QStringLiteral("type-x")},
        {9, QStringLiteral("type-i")}, {10, QStringLiteral("type-f")},
        {11, QStringLiteral("type-s")}};
    return Icons::get(names.value(TableReader::typeIconIndex(letter), QStringLiteral("type-c")));
}
