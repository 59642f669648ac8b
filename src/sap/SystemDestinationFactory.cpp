#include "SystemDestinationFactory.h"

#include "DemoDestination.h"
#include "DemoSystem.h"

bool SystemDestinationFactory::available(QString* reason)
{
    QString error;
    if (DemoSystem::ensureDatabase(&error))
        return true;
    if (reason)
        *reason = QStringLiteral("The demo database cannot be set up: ") + error;
    return false;
}

std::unique_ptr<RfcDestination> SystemDestinationFactory::create(const LogonData& data,
                                                                 QString* error)
{
    if (data.isDemo())
        return std::make_unique<DemoDestination>(DemoSystem::databasePath());
    if (error)
        *error = QStringLiteral("Only the built-in demo system can be reached in this version: ") +
                 data.System;
    return nullptr;
}
