#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>

// The session identifiers the server has handed out in cookies, as many as the store holds:
// beyond that the least recently used are forgotten, so that clients that never send their
// cookie back cannot make the server grow. Safe to use from several connections' threads.
class SessionStore
{
public:
    static constexpr qsizetype kMaxSessions = 4096;

    // A new session's identifier.
    QByteArray open();
    // True, and the session marked as used, when the identifier is a live session.
    bool use(const QByteArray& id);
    void close(const QByteArray& id);
    qsizetype size() const;

private:
    mutable QMutex m_lock;
    QHash<QByteArray, quint64> m_lastUse; // identifier -> use counter at its last use
    quint64 m_uses = 0;
};
