#pragma once

#include "InstallPlatform.h"

// The real machine: the executable's folder, the search root from the environment, QProcess.
class SystemPlatform : public InstallPlatform
{
public:
    QString ownFolder() const override;
    QString searchRoot() const override;
    std::optional<QString> start(const QString& program, const QString& workingFolder) override;
};
