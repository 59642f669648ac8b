#pragma once

#include "shell/BiText.h"

#include <QString>

// What an export's file can say about itself, in the words every writer uses.
class ExportTarget
{
public:
    // Why a path cannot take an export (a device, a pipe, a folder), or nothing.
    static BiText unfit(const QString& path);
    // Why writing the file failed: the system's reason, or, where it gives none (a full disk
    // often does not), that the file is incomplete.
    static BiText writeFailure(const QString& path, const QString& reason);
};
