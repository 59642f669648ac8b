#include "sap/RfcConnection.h"

#include "sap/DestinationFactory.h"
#include "sap/LogonPrompt.h"
#include "sap/RfcDestination.h"

RfcConnection::RfcConnection(DestinationFactory& factory, LogonPrompt* prompt)
    : m_factory(factory), m_prompt(prompt)
{
}

RfcConnection::~RfcConnection()
{
    logOff();
}

bool RfcConnection::logonWith(const LogonData& data, BiText* error)
{
    std::unique_ptr<RfcDestination> destination = m_factory.create(data, error);
    if (!destination)
        return false;
    const RfcDestination::LogonResult result = destination->logon(data);
    if (!result.ok) {
        *error = result.error;
        return false;
    }
    static_cast<LogonData&>(*this) = data;
    m_logon = data;
    systemId = result.systemId;
    hostName = result.hostName;
    systemNumber = result.systemNumber;
    release = result.release;
    // A read on another thread may still hold the destination when the user logs off: the
    // last holder logs off.
    m_destination = std::shared_ptr<RfcDestination>(destination.release(), [](RfcDestination* d) {
        d->logoff();
        delete d;
    });
    return true;
}

std::function<std::unique_ptr<RfcDestination>(BiText*)> RfcConnection::opener() const
{
    DestinationFactory& factory = m_factory;
    return [&factory, data = m_logon](BiText* error) -> std::unique_ptr<RfcDestination> {
        std::unique_ptr<RfcDestination> destination = factory.create(data, error);
        if (!destination)
            return nullptr;
        const RfcDestination::LogonResult result = destination->logon(data);
        if (!result.ok) {
            *error = result.error;
            return nullptr;
        }
        return destination;
    };
}

bool RfcConnection::logOn(bool silent)
{
    if (m_destination)
        return true;
    BiText error;
    if (silent || !m_prompt)
        return logonWith(*this, &error);
    LogonData attempt = *this;
    for (;;) {
        const std::optional<LogonData> answer = m_prompt->ask(attempt, error);
        if (!answer)
            return false;
        attempt = *answer;
        error = {};
        if (logonWith(attempt, &error))
            return true;
        attempt.password.clear();
    }
}

void RfcConnection::logOff()
{
    m_destination.reset();
    password.clear();
    m_logon = {};
}
