#pragma once

#include "sap/systems/KnownSystem.h"
#include "shell/BiText.h"

#include <QString>
#include <QVector>

// The systems of SAP Logon's landscape file (SAPUILandscape.xml) or of its older saplogon.ini:
// each SAP GUI entry with its application server, or message server and logon group, router and
// SNC name. Entries of other kinds (web, Fiori) and entries without a server are left out.
class SapLogonLandscape
{
public:
    // Far above any real landscape; a larger file is refused before it is read.
    static constexpr qint64 kLargestFile = 16 * 1024 * 1024;

    struct Result {
        QVector<KnownSystem> systems;
        BiText error; // one sentence when the file could not be read at all
    };

    // Where SAP Logon keeps the file for this user, or empty where it has no usual place.
    static QString usualPath();
    static Result read(const QString& path);
    static Result fromXml(const QByteArray& text);
    static Result fromIni(const QByteArray& text);
    // An application server's instance number from its "host:32NN" port; empty if none.
    static QString instanceOfPort(const QString& port);
};
