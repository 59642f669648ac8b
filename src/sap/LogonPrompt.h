#pragma once

#include "sap/LogonData.h"
#include "shell/BiText.h"

#include <optional>

// Asks the user for logon data (the logon dialog); nothing when cancelled.
class LogonPrompt
{
public:
    virtual ~LogonPrompt() = default;
    // error: why the previous attempt failed, shown in the dialog; empty the first time.
    virtual std::optional<LogonData> ask(const LogonData& defaults, const BiText& error) = 0;
};
