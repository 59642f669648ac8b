#pragma once

#include "sap/SapComponents.h"
#include "shell/ConnectionCommands.h"

#include <memory>

class DestinationFactory;
class LogonPrompt;
class StatusHost;

// The program's link to an R/3 system: the two component objects, the user's logon, the
// silent second logon for the function calls, the connection panel and system information.
class SapConnection : public ConnectionCommands
{
public:
    static constexpr const char* kBapiClass = "SAP.BAPI.1";
    static constexpr const char* kFunctionsClass = "SAP.Functions";

    SapConnection(StatusHost& host, DestinationFactory& factory, LogonPrompt& prompt);
    ~SapConnection() override;

    bool logOn() override;
    void releaseComponents() override;
    void showSystemInformation() override;
    void shutdown() override;

    // Makes the two component objects once; false, with advice, when they cannot be made.
    bool ensureComponents();
    // The user's logon through the prompt, then the silent one for the function calls.
    bool logOnUser();
    bool logOnFunctions();
    // Logs both off and shows the disconnected panel; the component objects stay.
    void logOff();
    void adviseReinstall();

    SapBapi* bapi() const { return m_bapi.get(); }
    SapFunctions* functions() const { return m_functions.get(); }

private:
    bool& connected();
    void showConnectedPanel();

    StatusHost& m_host;
    DestinationFactory& m_factory;
    LogonPrompt& m_prompt;
    std::unique_ptr<SapBapi> m_bapi;
    std::unique_ptr<SapFunctions> m_functions;
};
