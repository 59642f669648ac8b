#pragma once

#include "InstallError.h"

#include <QString>

#include <optional>

class InstallPlatform;

// The Install command: find out whether SAP GUI is present, write "setup.lst" for the setup
// program accordingly, and start "setup.exe" from the installer's own folder.
class Installer
{
public:
    static constexpr const char* kListName = "setup.lst";
    static constexpr const char* kSetupName = "setup.exe";

    explicit Installer(InstallPlatform& platform);

    // Nothing when the setup program was started; the failure otherwise. Each call starts afresh.
    std::optional<InstallError> install();

    // Where SAP Logon was found; empty when it was not.
    const QString& sapLogonPath() const { return m_sapLogonPath; }
    // The file the last step worked on: the list, then the setup program.
    const QString& targetPath() const { return m_targetPath; }

private:
    InstallPlatform& m_platform;
    QString m_sapLogonPath;
    QString m_targetPath;
};
