#pragma once

#include "sap/demo/DemoDestination.h"

#include <QMutex>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

// One open connection, with a logon of its own to the demo system. Calls on it take turns
// through callLock(); cancel() comes from another thread and never waits for that lock.
class StandinConnection
{
public:
    StandinConnection(std::unique_ptr<DemoDestination> destination,
                      RfcDestination::LogonResult logon, LogonData data);

    QMutex& callLock() { return m_callLock; }
    DemoDestination* destination() const { return m_destination.get(); }
    const RfcDestination::LogonResult& logon() const { return m_logon; }
    const LogonData& logonData() const { return m_data; }

    // Closed by a failure or a cancel; the handle stays known until the caller closes it.
    bool isOpen() const { return !m_broken && !m_cancelled; }
    void breakOff();
    void cancel();
    bool cancelled() const { return m_cancelled; }
    const std::atomic<bool>* cancelFlag() const { return &m_cancelled; }
    // True when cancel() came before the time was up.
    bool waitForCancel(int seconds);

private:
    std::unique_ptr<DemoDestination> m_destination;
    RfcDestination::LogonResult m_logon;
    LogonData m_data;
    QMutex m_callLock;
    std::atomic<bool> m_broken{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_waitLock;
    std::condition_variable m_woken;
};
