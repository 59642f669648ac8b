#pragma once

#include <QString>

// The program's folder: where the settings file and the print file live.
class ProgramHome
{
public:
    // ZORV_HOME when set, else the executable's folder when it is writable, else the user's
    // configuration folder. The folder is created when missing; outside ZORV_HOME and the
    // executable's folder it starts with the shipped settings file.
    static QString folder();
    // An installed program's bin folder is shared with other programs, so it never counts as
    // the program's own folder, even for a user who may write to it.
    static QString resolve(const QString& environmentValue, const QString& executableFolder,
                           const QString& configFolder);
    // Copies the shipped settings file into the folder unless it already holds one; false when
    // a copy was needed and failed.
    static bool seedSettings(const QString& folder, const QString& shippedFile);
};
