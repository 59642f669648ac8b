#include "SystemDestinationFactory.h"

#include "DemoDestination.h"
#include "DemoSystem.h"
#include "SoapDestination.h"

#include <QDir>

bool SystemDestinationFactory::available(QString* reason)
{
    QString error;
    if (DemoSystem::ensureDatabase(&error))
        return true;
    if (reason)
        *reason = QStringLiteral("The demo database cannot be set up: ") + error;
    return false;
}

QString SystemDestinationFactory::trustFileIn(const QString& folder)
{
    return folder.isEmpty() ? QString()
                            : QDir(folder).filePath(QStringLiteral("trusted-systems.ini"));
}

std::unique_ptr<RfcDestination> SystemDestinationFactory::create(const LogonData& data,
                                                                 QString* error)
{
    if (data.isDemo())
        return std::make_unique<DemoDestination>(DemoSystem::databasePath());
    const QUrl base = SoapDestination::baseUrl(data.System, data.HostName);
    if (!base.isValid() || base.host().isEmpty()) {
        if (error)
            *error = QStringLiteral("Give the system as https://host:port, or its host and port");
        return nullptr;
    }
    const int timeoutMs =
        data.callTimeoutSeconds > 0 ? data.callTimeoutSeconds * 1000 : SoapDestination::kTimeoutMs;
    return std::make_unique<SoapDestination>(base, trustFileIn(m_programFolder), timeoutMs);
}
