#pragma once

#include "InstallPlatform.h"

#include <QStringList>

#include <functional>

// A machine for tests: folders chosen by the test, programs recorded instead of started.
class ScriptedPlatform : public InstallPlatform
{
public:
    QString own;
    QString root;
    std::optional<QString> startFailure;
    std::function<void()> onStart;
    QStringList started;
    QStringList workingFolders;

    QString ownFolder() const override { return own; }
    QString searchRoot() const override { return root; }
    std::optional<QString> start(const QString& program, const QString& workingFolder) override
    {
        if (onStart)
            onStart();
        started << program;
        workingFolders << workingFolder;
        return startFailure;
    }
};
