#pragma once

#include <QString>

// The program's folder: where the settings file and the print file live.
class ProgramHome
{
public:
    // ZORV_HOME when set, else the executable's folder when it is writable, else the user's
    // configuration folder. The folder is created when missing.
    static QString folder();
    static QString resolve(const QString& environmentValue, const QString& executableFolder,
                           const QString& configFolder);
};
