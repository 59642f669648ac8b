#pragma once

#include <QString>

// Looks for the SAP Logon program below a folder, the sign that SAP GUI is installed.
class SapLogonSearch
{
public:
    static constexpr const char* kFileName = "saplogon.exe";

    // The first file found (native separators), or empty. Names compare without regard to case,
    // as on Windows; links are not followed, so a link back up the tree cannot loop.
    static QString find(const QString& root);
};
