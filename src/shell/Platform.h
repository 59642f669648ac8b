#pragma once

#include <QString>
#include <QStringList>

// What differs between desktops: associated programs, the log-on name, the SAP Logon program
// and where to look for it, the help viewer and the system-information tool.
class Platform
{
public:
    static QString associatedProgram(const QString& path);
    static QString userName();
    static QString sapLogonFileName();
    static QStringList sapLogonSearchRoots();
    static QString helpViewer();
    static QString systemInformationProgram();
};
