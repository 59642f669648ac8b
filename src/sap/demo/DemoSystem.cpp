#include "sap/demo/DemoSystem.h"

#include "sap/demo/DemoGenerator.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

const QVector<DemoSystem::User>& DemoSystem::users()
{
    static const QVector<User> list = {
        {QStringLiteral("DEMO"), QStringLiteral("welcome"), {}},
        {QStringLiteral("AUDIT"),
         QStringLiteral("welcome"),
         {QStringLiteral("BKPF"), QStringLiteral("BSEG")}},
    };
    return list;
}

const DemoSystem::User* DemoSystem::user(const QString& name)
{
    for (const User& u : users()) {
        if (u.name == name.trimmed().toUpper())
            return &u;
    }
    return nullptr;
}

QString DemoSystem::databasePath()
{
    const QString home = qEnvironmentVariable("ZORV_HOME");
    const QString folder =
        !home.isEmpty() ? home
                        : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                              QStringLiteral("/zorv");
    return QDir(folder).filePath(QStringLiteral("demo.sqlite"));
}

int DemoSystem::configuredScale()
{
    bool ok = false;
    const int scale = qEnvironmentVariableIntValue("ZORV_DEMO_SCALE", &ok);
    return ok && scale > 0 ? scale : 1;
}

bool DemoSystem::readMeta(const QString& path, int* version, int* scale)
{
    if (!QFile::exists(path))
        return false;
    SqliteDatabase db;
    if (!db.open(path, SqliteDatabase::Mode::ReadOnly))
        return false;
    SqliteStatement query(db.handle(), QStringLiteral("SELECT NAME, VALUE FROM ZORV_META"));
    bool any = false;
    while (query.step()) {
        any = true;
        if (query.text(0) == u"version")
            *version = static_cast<int>(query.integer(1));
        else if (query.text(0) == u"scale")
            *scale = static_cast<int>(query.integer(1));
    }
    return any;
}

namespace
{
// How long a process waits for another that builds the database: far longer than a build of
// the largest scale takes here.
constexpr int kLongestBuildMs = 30 * 60 * 1000;

// The turn of one process at building the database; others wait for it.
bool takeTurn(QLockFile& lock, const QString& path, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Only a lock whose process has ended is stale, however long a build takes.
    lock.setStaleLockTime(0);
    if (lock.tryLock(kLongestBuildMs))
        return true;
    if (error)
        *error = QStringLiteral("another program has been building %1 for too long (%2)")
                     .arg(QDir::toNativeSeparators(path), lock.fileName());
    return false;
}
} // namespace

bool DemoSystem::ensureDatabase(QString* error)
{
    const QString path = databasePath();
    const bool scaleAsked = qEnvironmentVariableIsSet("ZORV_DEMO_SCALE");
    int version = 0;
    int scale = 0;
    const auto current = [&] {
        version = 0;
        scale = 0;
        return readMeta(path, &version, &scale) && version == DemoGenerator::kVersion &&
               (!scaleAsked || scale == configuredScale());
    };
    if (current())
        return true;
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!takeTurn(lock, path, error))
        return false;
    // Another process may have built it while this one waited.
    if (current())
        return true;
    return DemoGenerator::build(path, scaleAsked || scale <= 0 ? configuredScale() : scale, error);
}

bool DemoSystem::rebuildDatabase(int scale, QString* error,
                                 const std::function<void(const QString&)>& progress)
{
    const QString path = databasePath();
    QLockFile lock(path + QStringLiteral(".lock"));
    return takeTurn(lock, path, error) && DemoGenerator::build(path, scale, error, progress);
}
