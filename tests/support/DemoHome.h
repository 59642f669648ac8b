#pragma once

#include "sap/demo/DemoSystem.h"

#include <QTemporaryDir>

// Points the demo system at a test's own folder and builds its database there, at scale 1.
inline bool useDemoHome(const QTemporaryDir& home, QString* error)
{
    qputenv("ZORV_HOME", home.path().toUtf8());
    qunsetenv("ZORV_DEMO_SCALE");
    return DemoSystem::ensureDatabase(error);
}
