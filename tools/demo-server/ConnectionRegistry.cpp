#include "ConnectionRegistry.h"

#include <algorithm>

namespace
{
qint64 millisecondsSince(ConnectionRegistry::Clock::time_point since,
                         ConnectionRegistry::Clock::time_point now)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - since);
    return std::max<qint64>(elapsed.count(), 1);
}
} // namespace

ConnectionRegistry::ConnectionRegistry(int limit, Closer closer)
    : m_limit(limit), m_closer(std::move(closer))
{
}

std::optional<quint64> ConnectionRegistry::admit(qintptr descriptor, Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    if (m_open >= m_limit) {
        const auto victim = leastProgress(now);
        if (victim == m_entries.end())
            return std::nullopt;
        victim->second.closing = true;
        --m_open;
        m_closer(victim->second.descriptor);
    }
    const quint64 id = m_next++;
    Entry entry;
    entry.descriptor = descriptor;
    entry.since = now;
    m_entries.emplace(id, entry);
    ++m_open;
    return id;
}

void ConnectionRegistry::waiting(quint64 id, Clock::time_point now, qint64 bytes)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return;
    found->second.since = now;
    found->second.bytes = bytes;
    found->second.serving = false;
}

void ConnectionRegistry::received(quint64 id, qint64 bytes)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(id);
    if (found != m_entries.end())
        found->second.bytes = bytes;
}

void ConnectionRegistry::serving(quint64 id)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(id);
    if (found != m_entries.end())
        found->second.serving = true;
}

void ConnectionRegistry::leave(quint64 id)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return;
    if (!found->second.closing)
        --m_open;
    m_entries.erase(found);
}

void ConnectionRegistry::closeAll()
{
    const std::lock_guard lock(m_mutex);
    for (auto& [id, entry] : m_entries) {
        if (!entry.closing) {
            entry.closing = true;
            --m_open;
        }
        m_closer(entry.descriptor);
    }
}

int ConnectionRegistry::live() const
{
    const std::lock_guard lock(m_mutex);
    return m_open;
}

std::unordered_map<quint64, ConnectionRegistry::Entry>::iterator
ConnectionRegistry::leastProgress(Clock::time_point now)
{
    // A connection counts one byte for itself: an idle one ranks by how long it has idled, and
    // one that has just come is not taken for a slow sender before its first bytes arrive.
    auto least = m_entries.end();
    qint64 leastBytes = 0;
    qint64 leastMs = 1;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        const Entry& entry = it->second;
        if (entry.serving || entry.closing)
            continue;
        const qint64 bytes = entry.bytes + 1;
        const qint64 ms = millisecondsSince(entry.since, now);
        const bool slower =
            least == m_entries.end() || bytes * leastMs < leastBytes * ms ||
            (bytes * leastMs == leastBytes * ms && entry.since < least->second.since);
        if (slower) {
            least = it;
            leastBytes = bytes;
            leastMs = ms;
        }
    }
    return least;
}
