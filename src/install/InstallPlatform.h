#pragma once

#include <QString>

#include <optional>

// What the installer needs from the machine, so that tests choose the folders and no test
// starts a real program.
class InstallPlatform
{
public:
    virtual ~InstallPlatform() = default;

    // The folder the installer was started from; the list and the setup program live there.
    virtual QString ownFolder() const = 0;
    // The folder tree searched for SAP Logon.
    virtual QString searchRoot() const = 0;
    // Starts a program without waiting for it; the reason when it cannot be started.
    virtual std::optional<QString> start(const QString& program, const QString& workingFolder) = 0;
};
