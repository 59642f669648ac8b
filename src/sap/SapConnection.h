#pragma once

#include "ConnectionCommands.h"
#include "SapComponents.h"

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

    bool Connect() override;
    void ReleaseComponents() override;
    void SAPSystemInformation() override;
    void Shutdown() override;

    bool CheckComponents();
    bool LogonUser();
    bool LogonFunctions();
    void Disconnect();
    void AdviseReinstall();

    SapBapi* SapBapiObject() const { return m_bapi.get(); }
    SapFunctions* SapFunctionsObject() const { return m_functions.get(); }

private:
    bool& connected();
    void showConnectedPanel();

    StatusHost& m_host;
    DestinationFactory& m_factory;
    LogonPrompt& m_prompt;
    std::unique_ptr<SapBapi> m_bapi;
    std::unique_ptr<SapFunctions> m_functions;
};
