#pragma once

#include "sap/soap/http/HttpChunkedBody.h"

#include <QByteArray>
#include <QHash>

// Reads HTTP/1.0 and 1.1 requests from the bytes of one connection, one request at a time, with
// hard limits: whatever a client sends, the parser holds at most one request's header section
// and body. Bodies come with Content-Length or chunked; anything it cannot frame safely is an
// error with the HTTP status to answer, after which the connection must be closed.
class HttpRequestParser
{
public:
    static constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
    static constexpr qsizetype kMaxBodyBytes = 16 * 1024 * 1024;

    struct Request {
        QByteArray method;
        QByteArray target;
        bool http10 = false;
        QHash<QByteArray, QByteArray> headers; // lower-case names; repeated ones joined by ", "
        QByteArray body;

        QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
        // HTTP/1.1 keeps the connection unless the client says close; HTTP/1.0 never does here.
        bool keepAlive() const;
    };

    enum class State { NeedMore, Complete, Failed };

    // Adds bytes that arrived; bytes beyond the current request are kept for the next one.
    State feed(const QByteArray& bytes);
    State state() const { return m_state; }
    // The complete request; parsing goes on with the bytes already received after it.
    Request take();

    // After Failed: the status to answer (400, 411, 413, 417, 431, 501, 505) and its reason.
    int errorStatus() const { return m_errorStatus; }
    QByteArray errorReason() const;
    // The header section is complete and the body is still to come.
    bool readingBody() const { return m_phase != Phase::Header && m_state == State::NeedMore; }
    // The client waits for "100 Continue" before it sends the body.
    bool expectsContinue() const { return m_expectContinue && readingBody(); }
    // Bytes held now, for the tests of the limits.
    qsizetype bufferedBytes() const { return m_buffer.size() + m_request.body.size(); }
    // The memory the current request's body takes: its announced length, what a chunked body
    // has reached so far, or the complete body.
    qint64 bodyBytesNeeded() const;

private:
    enum class Phase { Header, Body, Chunked };

    void advance();
    bool readHeader();
    bool parseHeader(const QByteArray& section);
    bool parseRequestLine(const QByteArray& line);
    bool frameBody();
    bool readChunks();
    void fail(int status);

    State m_state = State::NeedMore;
    Phase m_phase = Phase::Header;
    QByteArray m_buffer;
    qsizetype m_scanned = 0;   // bytes of m_buffer already searched for the header's end
    qsizetype m_lineStart = 0; // where the header line being searched starts
    Request m_request;
    qint64 m_bodyLength = 0;
    HttpChunkedBody m_chunked;
    bool m_expectContinue = false;
    int m_errorStatus = 0;
};
