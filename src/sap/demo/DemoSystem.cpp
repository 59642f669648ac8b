#include "sap/demo/DemoSystem.h"

#include "sap/demo/DemoGenerator.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"

#include <QDir>
#include <QFile>
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

bool DemoSystem::ensureDatabase(QString* error)
{
    const QString path = databasePath();
    int version = 0;
    int scale = 0;
    const bool known = readMeta(path, &version, &scale);
    const bool scaleAsked = qEnvironmentVariableIsSet("ZORV_DEMO_SCALE");
    if (known && version == DemoGenerator::kVersion && (!scaleAsked || scale == configuredScale()))
        return true;
    return DemoGenerator::build(path, scaleAsked || !known ? configuredScale() : scale, error);
}
