#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// Decodes a body sent with "Transfer-Encoding: chunked", from both ends of the connection: the
// bytes are taken as they come, decoded data goes out at once, and no line (a chunk's size, a
// trailer) may be longer than a limit, so that a peer cannot make the decoder hold more than
// that.
class HttpChunkedBody
{
public:
    enum class State { Reading, Done, Failed };
    using Sink = std::function<bool(QByteArrayView data)>; // false: stop, the data is too much

    static constexpr qsizetype kMaxLine = 1024;
    static constexpr qsizetype kMaxTrailer = 64 * 1024;

    // limit: the most the decoded body may hold; 0 for no limit.
    explicit HttpChunkedBody(qint64 limit = 0) : m_limit(limit) {}

    // Takes what it can from the front of buffer; stops at the end of the body.
    State take(QByteArray& buffer, const Sink& sink);
    State state() const { return m_state; }
    // Failed because a chunk would take the body past the limit.
    bool tooLarge() const { return m_tooLarge; }

private:
    enum class Phase { Size, Data, DataEnd, Trailer };
    // The next line of buffer without its line end, or false when it is not complete yet.
    bool takeLine(QByteArray& buffer, QByteArray* line, qsizetype limit);

    qint64 m_limit;
    qint64 m_total = 0;
    bool m_tooLarge = false;
    State m_state = State::Reading;
    Phase m_phase = Phase::Size;
    qint64 m_left = 0;
    qsizetype m_trailerBytes = 0;
};
