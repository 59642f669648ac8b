#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// The embedded demo R/3 system: where its database lives, how big it is built, and who may
// log on to it.
class DemoSystem
{
public:
    struct User {
        QString name;
        QString password;
        QStringList deniedTables;
    };

    static constexpr const char* kClient = "100";
    static constexpr const char* kSystemId = "DMO";
    static constexpr const char* kRelease = "46C";
    static constexpr const char* kDefaultUser = "DEMO";
    static constexpr const char* kDefaultPassword = "welcome";

    static const QVector<User>& users();
    static const User* user(const QString& name);

    // ZORV_HOME/demo.sqlite when ZORV_HOME is set, else in the user's data folder.
    static QString databasePath();
    // ZORV_DEMO_SCALE, else 1.
    static int configuredScale();
    // Builds the database when it is missing, damaged, or was built by another generator
    // version. Processes that find it so at once take turns: one builds, the others wait and
    // then use it.
    static bool ensureDatabase(QString* error);
    // Builds the database anew at that scale, taking its turn with other processes.
    static bool rebuildDatabase(int scale, QString* error,
                                const std::function<void(const QString&)>& progress = {});
    // The version and scale recorded in a database; false when it cannot be read.
    static bool readMeta(const QString& path, int* version, int* scale);
};
