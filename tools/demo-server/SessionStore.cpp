#include "SessionStore.h"

#include <QRandomGenerator>

QByteArray SessionStore::open()
{
    QByteArray id(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(id.data()),
                                         reinterpret_cast<quint32*>(id.data() + id.size()));
    id = id.toHex();
    QMutexLocker locker(&m_lock);
    if (m_lastUse.size() >= kMaxSessions) {
        // A linear search, rare: only when the store is full.
        auto oldest = m_lastUse.begin();
        for (auto it = m_lastUse.begin(); it != m_lastUse.end(); ++it) {
            if (it.value() < oldest.value())
                oldest = it;
        }
        m_lastUse.erase(oldest);
    }
    m_lastUse.insert(id, ++m_uses);
    return id;
}

bool SessionStore::use(const QByteArray& id)
{
    QMutexLocker locker(&m_lock);
    const auto found = m_lastUse.find(id);
    if (found == m_lastUse.end())
        return false;
    found.value() = ++m_uses;
    return true;
}

void SessionStore::close(const QByteArray& id)
{
    QMutexLocker locker(&m_lock);
    m_lastUse.remove(id);
}

qsizetype SessionStore::size() const
{
    QMutexLocker locker(&m_lock);
    return m_lastUse.size();
}
