#pragma once

#include "sap/NativeServer.h"

#include <QString>

// The logon data of a connection.
struct LogonData {
    static QString demoSystemName() { return QStringLiteral("Demo system (built-in)"); }

    QString user;
    QString system; // the system's name: the demo system's, or a URL or host for SOAP
    QString client;
    QString language;
    QString systemId;
    QString systemNumber;
    QString hostName;
    QString password;
    QString release;
    // Not SAP's: how long a call to a real system may go without progress; 0 for the default.
    int callTimeoutSeconds = 0;
    // Set for a system reached over native RFC.
    NativeServer native;

    bool isDemo() const
    {
        return !native.isSet() && (system.isEmpty() || system == demoSystemName());
    }
};
