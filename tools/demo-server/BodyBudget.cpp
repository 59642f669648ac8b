#include "BodyBudget.h"

bool BodyBudget::take(qint64 bytes)
{
    const std::lock_guard lock(m_mutex);
    if (bytes > m_left)
        return false;
    m_left -= bytes;
    return true;
}

void BodyBudget::give(qint64 bytes)
{
    const std::lock_guard lock(m_mutex);
    m_left += bytes;
}

qint64 BodyBudget::left() const
{
    const std::lock_guard lock(m_mutex);
    return m_left;
}
