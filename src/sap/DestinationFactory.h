#pragma once

#include "sap/LogonData.h"
#include "shell/BiText.h"

#include <QString>

#include <memory>

class RfcDestination;

// Creates the destination that serves a system: the demo system, or later a SOAP system.
class DestinationFactory
{
public:
    virtual ~DestinationFactory() = default;
    // False, with a reason, when the components cannot be set up at all.
    virtual bool available(QString* reason) = 0;
    virtual std::unique_ptr<RfcDestination> create(const LogonData& data, BiText* error) = 0;
};
