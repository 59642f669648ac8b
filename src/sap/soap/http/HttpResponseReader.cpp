#include "sap/soap/http/HttpResponseReader.h"
#include "shell/FaultTexts.h"

namespace
{
// The end of the header: an empty line, with or without carriage returns.
qsizetype headEnd(const QByteArray& buffer, qsizetype from, qsizetype* length)
{
    for (qsizetype at = buffer.indexOf('\n', from); at >= 0; at = buffer.indexOf('\n', at + 1)) {
        if (at + 1 < buffer.size() && buffer.at(at + 1) == '\n') {
            *length = 2;
            return at;
        }
        if (at + 2 < buffer.size() && buffer.at(at + 1) == '\r' && buffer.at(at + 2) == '\n') {
            *length = 3;
            return at;
        }
    }
    return -1;
}
} // namespace

QByteArray HttpResponseReader::header(const char* name) const
{
    for (const auto& [key, value] : m_headers) {
        if (key == name)
            return value;
    }
    return {};
}

QList<QByteArray> HttpResponseReader::headers(const char* name) const
{
    QList<QByteArray> values;
    for (const auto& [key, value] : m_headers) {
        if (key == name)
            values.append(value);
    }
    return values;
}

void HttpResponseReader::fail(const BiText& problem)
{
    m_state = State::Failed;
    m_problem = problem;
    m_buffer = QByteArray();
}

HttpResponseReader::State HttpResponseReader::feed(const QByteArray& bytes, const Sink& sink)
{
    if (m_state == State::Done || m_state == State::Failed)
        return m_state;
    m_buffer += bytes;
    while (m_state == State::Head && readHead()) {
    }
    if (m_state != State::Body)
        return m_state;
    switch (m_framing) {
    case Framing::Chunked: {
        const HttpChunkedBody::State state = m_chunked.take(m_buffer, sink);
        if (state == HttpChunkedBody::State::Done)
            m_state = State::Done;
        else if (state == HttpChunkedBody::State::Failed && m_state == State::Body)
            fail(FaultTexts::get(FaultText::ChunksMalformed));
        break;
    }
    case Framing::Length:
    case Framing::ToClose: {
        const qsizetype part =
            m_framing == Framing::Length
                ? static_cast<qsizetype>(std::min<qint64>(m_left, m_buffer.size()))
                : m_buffer.size();
        if (part > 0 && !sink(QByteArrayView(m_buffer.constData(), part))) {
            fail(FaultTexts::get(FaultText::BodyRefused));
            break;
        }
        m_buffer.remove(0, part);
        m_left -= part;
        if (m_framing == Framing::Length && m_left == 0)
            m_state = State::Done;
        break;
    }
    case Framing::None:
        m_state = State::Done;
        break;
    }
    return m_state;
}

HttpResponseReader::State HttpResponseReader::closed()
{
    if (m_state == State::Body && m_framing == Framing::ToClose)
        m_state = State::Done;
    else if (m_state == State::Head)
        fail(FaultTexts::get(m_status == 0 && m_buffer.isEmpty() ? FaultText::ClosedWithoutAnswer
                                                                 : FaultText::ClosedInHeader));
    else if (m_state == State::Body)
        fail(FaultTexts::get(FaultText::ClosedBeforeEnd));
    return m_state;
}

bool HttpResponseReader::readHead()
{
    qsizetype endLength = 0;
    const qsizetype end = headEnd(m_buffer, m_scanned, &endLength);
    if (end < 0) {
        m_scanned = std::max<qsizetype>(0, m_buffer.size() - 2);
        if (m_buffer.size() > kMaxHeaderBytes)
            fail(FaultTexts::get(FaultText::HeaderTooLong)
                     .arg(QString::number(kMaxHeaderBytes / 1024)));
        return false;
    }
    if (end > kMaxHeaderBytes) {
        fail(
            FaultTexts::get(FaultText::HeaderTooLong).arg(QString::number(kMaxHeaderBytes / 1024)));
        return false;
    }
    const QList<QByteArray> lines = m_buffer.left(end).split('\n');
    m_buffer.remove(0, end + endLength);
    m_scanned = 0;
    const QList<QByteArray> first = lines.front().trimmed().split(' ');
    bool ok = first.size() >= 2 && first.front().startsWith("HTTP/1.");
    m_status = ok ? first.at(1).toInt(&ok) : 0;
    if (!ok || m_status < 100 || m_status > 999) {
        fail(FaultTexts::get(FaultText::NotHttp));
        return false;
    }
    m_headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            m_headers.append({lines.at(i).left(colon).trimmed().toLower(),
                              lines.at(i).mid(colon + 1).trimmed()});
    }
    // An interim answer comes before the real one.
    if (m_status >= 100 && m_status < 200)
        return true;
    startBody();
    return false;
}

void HttpResponseReader::startBody()
{
    m_state = State::Body;
    const QByteArray transfer = header("transfer-encoding").toLower();
    const QByteArray length = header("content-length");
    if (m_headRequest || m_status == 204 || m_status == 304) {
        m_framing = Framing::None;
    } else if (!transfer.isEmpty() && transfer != "identity") {
        if (!transfer.endsWith("chunked"))
            fail(
                FaultTexts::get(FaultText::EncodingUnsupported).arg(QString::fromLatin1(transfer)));
        m_framing = Framing::Chunked;
    } else if (!length.isEmpty()) {
        bool ok = length.size() <= 15;
        for (const char c : length)
            ok = ok && c >= '0' && c <= '9';
        m_left = ok ? length.toLongLong() : 0;
        if (!ok)
            fail(FaultTexts::get(FaultText::LengthNotANumber));
        m_framing = m_left == 0 ? Framing::None : Framing::Length;
    } else {
        m_framing = Framing::ToClose;
    }
}
