#include "LogonThrottle.h"

#include <algorithm>

LogonThrottle::Duration LogonThrottle::delayAfter(int failures)
{
    if (failures <= 0)
        return Duration(0);
    Duration delay = kFirstDelay;
    for (int i = 1; i < failures && delay < kLongestDelay; ++i)
        delay *= 2;
    return std::min(delay, kLongestDelay);
}

QString LogonThrottle::key(const QString& user, const QString& address)
{
    // User names are matched without regard to case, as the logon matches them; a name
    // longer than any user's cannot make the table's keys large.
    return user.left(64).toUpper() + u'\n' + address;
}

LogonThrottle::Duration LogonThrottle::admit(const QString& user, const QString& address,
                                             Clock::time_point now)
{
    QMutexLocker locker(&m_lock);
    const auto found = m_pairs.find(key(user, address));
    if (found == m_pairs.end())
        return Duration(0);
    Pair& pair = found.value();
    const Clock::time_point start = std::max(now, pair.next);
    // Attempts of a pair that failed before go one after the other, not side by side.
    pair.next = start + delayAfter(pair.failures);
    return std::chrono::duration_cast<Duration>(start - now);
}

void LogonThrottle::failed(const QString& user, const QString& address, Clock::time_point now)
{
    QMutexLocker locker(&m_lock);
    const QString name = key(user, address);
    if (!m_pairs.contains(name))
        makeRoom(now);
    Pair& pair = m_pairs[name];
    ++pair.failures;
    pair.next = std::max(pair.next, now + delayAfter(pair.failures));
}

void LogonThrottle::succeeded(const QString& user, const QString& address)
{
    QMutexLocker locker(&m_lock);
    m_pairs.remove(key(user, address));
}

void LogonThrottle::makeRoom(Clock::time_point now)
{
    if (m_pairs.size() < kMaxPairs)
        return;
    // Pairs whose wait ended long ago go first; if all are recent, the table starts again.
    for (auto it = m_pairs.begin(); it != m_pairs.end();) {
        if (it->next + kLongestDelay < now)
            it = m_pairs.erase(it);
        else
            ++it;
    }
    if (m_pairs.size() >= kMaxPairs)
        m_pairs.clear();
}

qsizetype LogonThrottle::size() const
{
    QMutexLocker locker(&m_lock);
    return m_pairs.size();
}
