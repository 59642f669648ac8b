#pragma once

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>

// The server's live connections and how far each has come with the request it waits for, so
// that at the connection limit the one that has made the least progress gives way to a new
// client: idle connections first (the longest idle first), then the slowest senders. A
// connection busy serving a request never gives way. Shared by the accepting thread and the
// connections' threads.
class ConnectionRegistry
{
public:
    using Clock = std::chrono::steady_clock;
    // Ends a connection from outside its thread, so that its blocking reads return at once.
    using Closer = std::function<void(qintptr descriptor)>;

    ConnectionRegistry(int limit, Closer closer);

    // A place for a new connection, made at the limit by closing the one with the least
    // progress; nothing when every connection is busy serving.
    std::optional<quint64> admit(qintptr descriptor, Clock::time_point now);
    // The connection waits for a request, of which bytes have come so far.
    void waiting(quint64 id, Clock::time_point now, qint64 bytes = 0);
    void received(quint64 id, qint64 bytes);
    void serving(quint64 id);
    // Called before the connection's socket closes, so that its descriptor is never closed
    // again once the system may have given the number to another connection.
    void leave(quint64 id);

    // Ends every connection, when the server stops.
    void closeAll();
    int live() const;

private:
    struct Entry {
        qintptr descriptor = -1;
        Clock::time_point since; // when the wait for the current request began
        qint64 bytes = 0;        // of the current request
        bool serving = false;
        bool closing = false; // closed for a newcomer, its thread not done yet
    };

    // The entry whose wait has brought the fewest bytes per second, the older one of two alike.
    std::unordered_map<quint64, Entry>::iterator leastProgress(Clock::time_point now);

    const int m_limit;
    Closer m_closer;
    mutable std::mutex m_mutex;
    std::unordered_map<quint64, Entry> m_entries;
    quint64 m_next = 1;
    int m_open = 0; // entries not closing
};
