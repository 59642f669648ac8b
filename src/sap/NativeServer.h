#pragma once

#include <QString>

// How a system is reached over native RFC, as SAP Logon names it: an application server and
// instance number, or a message server with its system ID (or port) and logon group; optionally
// behind a router and with SNC. Empty for the demo system and for SOAP systems.
struct NativeServer {
    QString applicationServer; // ashost
    QString instanceNumber;    // sysnr
    QString messageServer;     // mshost
    QString messageServerPort; // msserv
    QString systemId;          // sysid, with a message server
    QString logonGroup;        // group
    QString router;            // saprouter, "/H/host/S/port/H/..."
    QString sncPartner;        // snc_partnername
    QString sncLibrary;        // snc_lib
    QString library;           // SAP's NetWeaver RFC library as the user chose it, or empty

    // A field by the RFC library's name for it, as Zorv's files keep it.
    struct Field {
        const char* name;
        QString NativeServer::*member;
    };

    bool operator==(const NativeServer&) const = default;
    bool isSet() const { return !applicationServer.isEmpty() || !messageServer.isEmpty(); }
    // "host 00" or "message server host, group PUBLIC", for messages and the status bar.
    QString describe() const
    {
        if (!applicationServer.isEmpty())
            return QStringLiteral("%1 %2").arg(applicationServer, instanceNumber);
        return QStringLiteral("message server %1, group %2")
            .arg(messageServer, logonGroup.isEmpty() ? QStringLiteral("PUBLIC") : logonGroup);
    }
};

// The server's fields that files keep (the library's file is the user's, not the system's).
inline const NativeServer::Field kNativeServerFields[] = {
    {"ashost", &NativeServer::applicationServer}, {"sysnr", &NativeServer::instanceNumber},
    {"mshost", &NativeServer::messageServer},     {"msserv", &NativeServer::messageServerPort},
    {"sysid", &NativeServer::systemId},           {"group", &NativeServer::logonGroup},
    {"saprouter", &NativeServer::router},         {"snc_partnername", &NativeServer::sncPartner},
    {"snc_lib", &NativeServer::sncLibrary},
};
