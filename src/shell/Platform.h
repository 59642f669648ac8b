#pragma once

#include <QString>
#include <QStringList>

// What differs between desktops: whether a file has a program of its own, the log-on name, the
// SAP Logon program and where to look for it, the help viewer and the system-information tool.
class Platform
{
public:
    // False only when the desktop surely has no program for this kind of file, or only one
    // that runs in a terminal, where it shows nothing.
    static bool hasAssociatedProgram(const QString& path);
    static QString userName();
    static QString sapLogonFileName();
    static QStringList sapLogonSearchRoots();
    static QString helpViewer();
    static QString systemInformationProgram();
};
