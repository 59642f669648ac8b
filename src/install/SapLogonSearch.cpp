#include "SapLogonSearch.h"

#include <QDir>
#include <QDirIterator>

QString SapLogonSearch::find(const QString& root)
{
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return {};
    // Without FollowSymlinks the iterator does not descend into linked folders.
    QDirIterator it(root, {QString::fromLatin1(kFileName)},
                    QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    if (!it.hasNext())
        return {};
    return QDir::toNativeSeparators(it.next());
}
