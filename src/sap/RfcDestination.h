#pragma once

#include "sap/LogonData.h"
#include "shell/BiText.h"

#include <QString>

class RfcFunction;

// Where remote function calls go: the embedded demo system, or a real system over SOAP.
// Nothing outside the RFC layer knows which one it talks to.
class RfcDestination
{
public:
    struct LogonResult {
        bool ok = false;
        BiText error; // why the logon failed, for the logon dialog
        QString systemId;
        QString hostName;
        QString systemNumber;
        QString release;
    };

    virtual ~RfcDestination() = default;

    virtual LogonResult logon(const LogonData& data) = 0;
    virtual void logoff() = 0;
    // Fills the function's tables; on failure sets its exception and returns false.
    virtual bool call(RfcFunction& function) = 0;
    // Lines about the system for the system-information box (e.g. the demo's database file).
    virtual QString details() const = 0;
};
