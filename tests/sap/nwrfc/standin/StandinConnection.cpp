#include "StandinConnection.h"

#include <chrono>

StandinConnection::StandinConnection(std::unique_ptr<DemoDestination> destination,
                                     RfcDestination::LogonResult logon, LogonData data)
    : m_destination(std::move(destination)), m_logon(std::move(logon)), m_data(std::move(data))
{
}

void StandinConnection::breakOff()
{
    m_broken = true;
    m_destination->logoff();
}

void StandinConnection::cancel()
{
    std::lock_guard lock(m_waitLock);
    m_cancelled = true;
    m_woken.notify_all();
}

bool StandinConnection::waitForCancel(int seconds)
{
    std::unique_lock lock(m_waitLock);
    return m_woken.wait_for(lock, std::chrono::seconds(seconds),
                            [this] { return m_cancelled.load(); });
}
