#include "sap/SystemDestinationFactory.h"
#include "shell/FaultTexts.h"

#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "sap/nwrfc/NwRfcDestination.h"
#include "sap/soap/SoapDestination.h"

#include <QDir>

bool SystemDestinationFactory::available(QString* reason)
{
    // Nothing is installed apart: the demo's database is needed only when the demo system is
    // chosen, and it is checked then.
    Q_UNUSED(reason);
    return true;
}

QString SystemDestinationFactory::trustFileIn(const QString& folder)
{
    return folder.isEmpty() ? QString()
                            : QDir(folder).filePath(QStringLiteral("trusted-systems.ini"));
}

std::unique_ptr<RfcDestination> SystemDestinationFactory::create(const LogonData& data,
                                                                 BiText* error)
{
    if (data.isDemo()) {
        QString reason;
        if (!DemoSystem::ensureDatabase(&reason)) {
            if (error)
                *error = FaultTexts::get(FaultText::DemoDatabaseNotSetUp)
                             .arg(QDir::toNativeSeparators(DemoSystem::databasePath()), reason);
            return nullptr;
        }
        return std::make_unique<DemoDestination>(DemoSystem::databasePath());
    }
    if (data.native.isSet()) {
        BiText reason;
        auto library = NwRfcLibrary::load(data.native.library, &reason);
        if (!library) {
            if (error)
                *error = reason;
            return nullptr;
        }
        return std::make_unique<NwRfcDestination>(std::move(library));
    }
    const QUrl base = SoapDestination::baseUrl(data.system, data.hostName);
    if (!base.userInfo().isEmpty()) {
        // Never echoed: the address would carry the password into every message.
        if (error)
            *error = FaultTexts::get(FaultText::AddressHoldsUser);
        return nullptr;
    }
    if (!base.isValid() || base.host().isEmpty()) {
        if (error)
            *error = FaultTexts::get(FaultText::GiveSystemAddress);
        return nullptr;
    }
    const int timeoutMs =
        data.callTimeoutSeconds > 0 ? data.callTimeoutSeconds * 1000 : SoapDestination::kTimeoutMs;
    return std::make_unique<SoapDestination>(base, trustFileIn(m_programFolder), timeoutMs);
}
