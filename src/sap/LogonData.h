#pragma once

#include <QString>

// The logon data of a connection, with the names SAP's connection objects give them.
struct LogonData {
    static QString demoSystemName() { return QStringLiteral("Demo system (built-in)"); }

    QString User;
    QString System; // the system's name: the demo system's, or a URL or host for SOAP
    QString client;
    QString Language;
    QString SystemID;
    QString SystemNumber;
    QString HostName;
    QString Password;
    QString saprelease;
    // Not SAP's: how long a call to a real system may go without progress; 0 for the default.
    int callTimeoutSeconds = 0;

    bool isDemo() const { return System.isEmpty() || System == demoSystemName(); }
};
