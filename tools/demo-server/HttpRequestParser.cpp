#include "HttpRequestParser.h"

#include <cctype>

namespace
{
bool isTokenChar(char c)
{
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return QByteArray("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

// Blanks are spaces and tabs only: other white space is not HTTP's.
QByteArray trimBlanks(const QByteArray& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && (text.at(from) == ' ' || text.at(from) == '\t'))
        ++from;
    while (to > from && (text.at(to - 1) == ' ' || text.at(to - 1) == '\t'))
        --to;
    return text.mid(from, to - from);
}

bool hasControlCharacters(const QByteArray& line)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

QByteArray withoutCarriageReturn(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}
} // namespace

bool HttpRequestParser::Request::keepAlive() const
{
    if (http10)
        return false;
    for (const QByteArray& option : header("connection").split(',')) {
        if (trimBlanks(option).toLower() == "close")
            return false;
    }
    return true;
}

HttpRequestParser::State HttpRequestParser::feed(const QByteArray& bytes)
{
    if (m_state == State::Failed)
        return m_state;
    m_buffer += bytes;
    if (m_state == State::NeedMore)
        advance();
    return m_state;
}

HttpRequestParser::Request HttpRequestParser::take()
{
    Request request = std::move(m_request);
    m_request = Request();
    m_state = State::NeedMore;
    m_phase = Phase::Header;
    m_scanned = 0;
    m_lineStart = 0;
    m_bodyLength = 0;
    m_expectContinue = false;
    advance();
    return request;
}

qint64 HttpRequestParser::bodyBytesNeeded() const
{
    if (m_state == State::Complete)
        return m_request.body.size();
    if (m_state == State::Failed)
        return 0;
    switch (m_phase) {
    case Phase::Body:
        return m_bodyLength;
    case Phase::Chunked:
        return m_request.body.size() + m_buffer.size();
    case Phase::Header:
        break;
    }
    return 0;
}

QByteArray HttpRequestParser::errorReason() const
{
    switch (m_errorStatus) {
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 417:
        return "Expectation Failed";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Bad Request";
    }
}

void HttpRequestParser::fail(int status)
{
    m_state = State::Failed;
    m_errorStatus = status;
    // Nothing more is read from a connection that failed: its bytes can go.
    m_buffer = QByteArray();
    m_request = Request();
}

void HttpRequestParser::advance()
{
    while (m_state == State::NeedMore) {
        bool progressed = false;
        switch (m_phase) {
        case Phase::Header:
            progressed = readHeader();
            break;
        case Phase::Body:
            if (m_buffer.size() >= m_bodyLength) {
                if (m_buffer.size() == m_bodyLength) {
                    m_request.body = std::move(m_buffer);
                    m_buffer = QByteArray();
                } else {
                    m_request.body = m_buffer.left(m_bodyLength);
                    m_buffer.remove(0, m_bodyLength);
                }
                m_state = State::Complete;
            }
            break;
        case Phase::Chunked:
            progressed = readChunks();
            break;
        }
        if (!progressed)
            return;
    }
}

bool HttpRequestParser::readHeader()
{
    // Empty lines before a request line are tolerated, as HTTP asks of servers.
    while (m_scanned == 0 && (m_buffer.startsWith("\r\n") || m_buffer.startsWith('\n')))
        m_buffer.remove(0, m_buffer.startsWith('\n') ? 1 : 2);
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', m_scanned);
        if (end < 0) {
            // A client that speaks something else (TLS, say) hears so at once, not after
            // the idle time.
            if (hasControlCharacters(m_buffer.mid(m_scanned).replace('\r', ' '))) {
                fail(400);
                return false;
            }
            m_scanned = m_buffer.size();
            if (m_buffer.size() > kMaxHeaderBytes)
                fail(431);
            return false;
        }
        m_scanned = end + 1;
        const qsizetype length = end - m_lineStart;
        const bool empty = length == 0 || (length == 1 && m_buffer.at(m_lineStart) == '\r');
        if (!empty) {
            m_lineStart = end + 1;
            continue;
        }
        if (end + 1 > kMaxHeaderBytes) {
            fail(431);
            return false;
        }
        const QByteArray section = m_buffer.left(m_lineStart);
        m_buffer.remove(0, end + 1);
        m_scanned = 0;
        m_lineStart = 0;
        if (!parseHeader(section))
            return false;
        return frameBody();
    }
}

bool HttpRequestParser::parseHeader(const QByteArray& section)
{
    QList<QByteArray> lines = section.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        line = withoutCarriageReturn(line);
        if (hasControlCharacters(line)) {
            fail(400);
            return false;
        }
    }
    if (lines.isEmpty() || !parseRequestLine(lines.front()))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        // Folded lines and blanks before the colon are refused: they hide one header in another.
        if (colon <= 0 || !isToken(line.left(colon))) {
            fail(400);
            return false;
        }
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = trimBlanks(line.mid(colon + 1));
        auto found = m_request.headers.find(name);
        if (found == m_request.headers.end())
            m_request.headers.insert(name, value);
        else
            found.value() += ", " + value;
    }
    return true;
}

bool HttpRequestParser::parseRequestLine(const QByteArray& line)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !isToken(parts.at(0)) || parts.at(1).isEmpty()) {
        fail(400);
        return false;
    }
    const QByteArray& version = parts.at(2);
    if (version == "HTTP/1.1" || version == "HTTP/1.0") {
        m_request.http10 = version == "HTTP/1.0";
    } else {
        const bool looksLikeHttp = version.size() == 8 && version.startsWith("HTTP/") &&
                                   std::isdigit(static_cast<unsigned char>(version.at(5))) &&
                                   version.at(6) == '.' &&
                                   std::isdigit(static_cast<unsigned char>(version.at(7)));
        fail(looksLikeHttp ? 505 : 400);
        return false;
    }
    m_request.method = parts.at(0);
    m_request.target = parts.at(1);
    return true;
}

bool HttpRequestParser::frameBody()
{
    const QByteArray expect = m_request.header("expect").toLower();
    if (!expect.isEmpty() && expect != "100-continue") {
        fail(417);
        return false;
    }
    m_expectContinue = !expect.isEmpty() && !m_request.http10;
    const QByteArray transfer = m_request.header("transfer-encoding").toLower();
    const bool hasLength = m_request.headers.contains("content-length");
    if (!transfer.isEmpty()) {
        // Both framings at once is how requests are smuggled past proxies.
        if (hasLength || m_request.http10) {
            fail(400);
            return false;
        }
        if (transfer != "chunked") {
            fail(501);
            return false;
        }
        m_phase = Phase::Chunked;
        m_chunked = HttpChunkedBody(kMaxBodyBytes);
        return true;
    }
    if (hasLength) {
        const QByteArray length = m_request.header("content-length");
        bool digits = !length.isEmpty();
        for (const char c : length)
            digits = digits && c >= '0' && c <= '9';
        if (!digits) {
            fail(400);
            return false;
        }
        qsizetype zeros = 0;
        while (zeros < length.size() - 1 && length.at(zeros) == '0')
            ++zeros;
        // More digits than any limit has: too large, and not worth converting.
        bool fits = length.size() - zeros <= 12;
        m_bodyLength = fits ? length.toLongLong(&fits) : 0;
        if (!fits || m_bodyLength > kMaxBodyBytes) {
            fail(413);
            return false;
        }
        m_phase = Phase::Body;
        return true;
    }
    if (m_request.method == "POST" || m_request.method == "PUT") {
        fail(411);
        return false;
    }
    m_state = State::Complete;
    return true;
}

bool HttpRequestParser::readChunks()
{
    const HttpChunkedBody::State state = m_chunked.take(m_buffer, [&](QByteArrayView data) {
        m_request.body.append(data);
        return true;
    });
    if (state == HttpChunkedBody::State::Failed)
        fail(m_chunked.tooLarge() ? 413 : 400);
    else if (state == HttpChunkedBody::State::Done)
        m_state = State::Complete;
    return false;
}
