#include "RfcConnection.h"

#include "DestinationFactory.h"
#include "LogonPrompt.h"
#include "RfcDestination.h"

RfcConnection::RfcConnection(DestinationFactory& factory, LogonPrompt* prompt)
    : m_factory(factory), m_prompt(prompt)
{
}

RfcConnection::~RfcConnection()
{
    Logoff();
}

bool RfcConnection::logonWith(const LogonData& data, QString* error)
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
    SystemID = result.SystemID;
    HostName = result.HostName;
    SystemNumber = result.SystemNumber;
    saprelease = result.saprelease;
    m_destination = std::move(destination);
    return true;
}

bool RfcConnection::Logon(bool silent)
{
    if (m_destination)
        return true;
    QString error;
    if (silent || !m_prompt)
        return logonWith(*this, &error);
    LogonData attempt = *this;
    for (;;) {
        const std::optional<LogonData> answer = m_prompt->ask(attempt, error);
        if (!answer)
            return false;
        attempt = *answer;
        error.clear();
        if (logonWith(attempt, &error))
            return true;
        attempt.Password.clear();
    }
}

void RfcConnection::Logoff()
{
    if (m_destination) {
        m_destination->logoff();
        m_destination.reset();
    }
    Password.clear();
}
