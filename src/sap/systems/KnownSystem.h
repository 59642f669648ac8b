#pragma once

#include "sap/NativeServer.h"

#include <QString>

// A system by the name its user knows it: from SAP Logon's landscape or from Zorv's own list.
// It is reached over native RFC (server set), through its RFC SOAP service (url set), or it is
// the built-in demo system (neither).
struct KnownSystem {
    QString name;
    QString systemId;
    NativeServer server;
    QString url;
    // Where it comes from, for the logon dialog: "SAP Logon" or "Zorv".
    QString origin;

    bool operator==(const KnownSystem&) const = default;
};
