#pragma once

#include "sap/LogonData.h"
#include "shell/BiText.h"

#include <QString>

#include <functional>
#include <memory>

class DestinationFactory;
class LogonPrompt;
class RfcDestination;

// A connection object: the logon data as properties, logon with or without the dialog,
// logoff. While logged on it holds the destination that serves the calls.
class RfcConnection : public LogonData
{
public:
    RfcConnection(DestinationFactory& factory, LogonPrompt* prompt);
    ~RfcConnection();

    bool isConnected() const { return m_destination != nullptr; }
    // silent: log on with the properties as they are, without asking.
    bool logOn(bool silent);
    void logOff();
    bool useDefaultSystem = false;

    RfcDestination* destination() const { return m_destination.get(); }
    // For reads on other threads: the destination logs off when the last holder lets go.
    std::shared_ptr<RfcDestination> sharedDestination() const { return m_destination; }
    const LogonData& data() const { return *this; }
    // Makes further logons of the system with this logon's data, for reads that call it from
    // several sessions at once; it keeps a copy of the data, so it outlives a logoff.
    std::function<std::unique_ptr<RfcDestination>(BiText* error)> opener() const;

private:
    bool logonWith(const LogonData& data, BiText* error);

    DestinationFactory& m_factory;
    LogonPrompt* m_prompt;
    std::shared_ptr<RfcDestination> m_destination;
    LogonData m_logon; // as the logon was given, before the system's answer filled it in
};
