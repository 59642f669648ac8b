#pragma once

#include <QtGlobal>

#include <mutex>

// The memory that the request bodies of all connections may hold together. A connection takes
// a share before it reads a body (its announced length, or what a chunked body has reached)
// and gives it back once the request is served; a body that does not fit is refused, so that
// many large bodies at once cannot exhaust the server.
class BodyBudget
{
public:
    explicit BodyBudget(qint64 bytes) : m_left(bytes) {}

    bool take(qint64 bytes);
    void give(qint64 bytes);
    qint64 left() const;

private:
    mutable std::mutex m_mutex;
    qint64 m_left;
};
