#pragma once

#include "DestinationFactory.h"

// The destinations this build offers: the embedded demo system (built on first use).
class SystemDestinationFactory : public DestinationFactory
{
public:
    bool available(QString* reason) override;
    std::unique_ptr<RfcDestination> create(const LogonData& data, QString* error) override;
};
