#pragma once

#include "sap/soap/http/HttpChunkedBody.h"
#include "shell/BiText.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads an HTTP/1.x answer as it arrives: the status line and header (at most kMaxHeaderBytes),
// then the body, framed by Content-Length, by chunks, or by the end of the connection, handed
// on as it comes. Interim answers (100 Continue) are skipped. Nothing of the body is kept.
class HttpResponseReader
{
public:
    enum class State { Head, Body, Done, Failed };
    using Sink = HttpChunkedBody::Sink;

    static constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

    explicit HttpResponseReader(bool headRequest = false) : m_headRequest(headRequest) {}

    // Takes the bytes that arrived; body bytes go to sink, which may stop the reading.
    State feed(const QByteArray& bytes, const Sink& sink);
    // The connection ended: a body that runs to the end is complete, any other one is cut.
    State closed();
    State state() const { return m_state; }
    const BiText& problem() const { return m_problem; }

    int status() const { return m_status; }
    // The first value of a header, by its lower-case name.
    QByteArray header(const char* name) const;
    // Every value of a header that may come more than once (Set-Cookie).
    QList<QByteArray> headers(const char* name) const;

private:
    enum class Framing { Length, Chunked, ToClose, None };

    bool readHead();
    void startBody();
    void fail(const BiText& problem);

    bool m_headRequest;
    State m_state = State::Head;
    QByteArray m_buffer;
    qsizetype m_scanned = 0;
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    Framing m_framing = Framing::None;
    qint64 m_left = 0;
    HttpChunkedBody m_chunked;
    BiText m_problem;
};
