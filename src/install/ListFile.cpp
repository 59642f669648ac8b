#include "ListFile.h"

#include <QSaveFile>

namespace
{

QString reasonOf(const QSaveFile& file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() ? QStringLiteral("Path/File access error") : reason;
}

} // namespace

std::optional<QString> ListFile::write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return reasonOf(file);
    // QSaveFile::commit() renames even when flushing its buffer fails (disk full, size limit),
    // which would put a truncated list in place; so flush and check before committing.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = reasonOf(file);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return reasonOf(file);
    return std::nullopt;
}
