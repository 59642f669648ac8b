#include "query/document/RecoveryCopies.h"

#include "query/document/QueryDocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{
const QString kSuffix = QStringLiteral(".txt");

// "03 orders.txt": the order, then the caption without its ".txt", so the copies are query
// documents that File > Open also reads.
QString fileName(int number, QString caption)
{
    if (caption.endsWith(kSuffix, Qt::CaseInsensitive))
        caption.chop(kSuffix.size());
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    caption.replace(unsafe, QStringLiteral("_"));
    return QStringLiteral("%1 ").arg(number, 2, 10, QChar(u'0')) + caption + kSuffix;
}

QStringList copyFiles(const QDir& dir)
{
    return dir.entryList({QStringLiteral("[0-9][0-9] *") + kSuffix}, QDir::Files | QDir::NoSymLinks,
                         QDir::Name);
}

// The copies live in a folder of Zorv's own: one that is a link may lead to the user's files.
bool ownFolder(const QString& folder)
{
    return !QFileInfo(folder).isSymLink();
}

// A copy that Zorv wrote begins as every query document it writes and reads back as a query;
// any other file of that name is the user's.
bool zorvsCopy(const QString& path, QueryDocument* read = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.read(16).startsWith("MyTableF "))
        return false;
    QueryDocument document;
    if (!QueryDocumentFile::readFile(path, document).ok ||
        !QueryDocumentFile::checkLoadable(document).isEmpty())
        return false;
    if (read)
        *read = document;
    return true;
}
} // namespace

QString RecoveryCopies::folderIn(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Recovered queries"));
}

bool RecoveryCopies::replace(const QString& folder, const QVector<Copy>& copies)
{
    if (!ownFolder(folder))
        return false;
    if (copies.isEmpty()) {
        clear(folder);
        return true;
    }
    if (!QDir().mkpath(folder))
        return false;
    // The new copies are written before the old ones go, so a failure keeps what was there.
    const QDir dir(folder);
    QStringList written;
    bool all = true;
    for (int i = 0; i < copies.size(); ++i) {
        written.append(fileName(i + 1, copies.at(i).caption));
        all = QueryDocumentFile::writeFile(dir.filePath(written.last()), copies.at(i).document,
                                           nullptr) &&
              all;
    }
    if (!all)
        return false;
    for (const QString& name : copyFiles(dir)) {
        if (!written.contains(name) && zorvsCopy(dir.filePath(name)))
            QFile::remove(dir.filePath(name));
    }
    return true;
}

QVector<RecoveryCopies::Copy> RecoveryCopies::read(const QString& folder)
{
    QVector<Copy> copies;
    if (!ownFolder(folder))
        return copies;
    const QDir dir(folder);
    for (const QString& name : copyFiles(dir)) {
        Copy copy;
        copy.caption = name.mid(3).chopped(kSuffix.size());
        if (zorvsCopy(dir.filePath(name), &copy.document))
            copies.append(copy);
    }
    return copies;
}

void RecoveryCopies::clear(const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists() || !ownFolder(folder))
        return;
    for (const QString& name : copyFiles(dir)) {
        if (zorvsCopy(dir.filePath(name)))
            dir.remove(name);
    }
    // Only an emptied folder goes; anything else the user put there stays.
    QDir().rmdir(folder);
}
