#include "sap/soap/http/HttpChunkedBody.h"

#include <cctype>

namespace
{
QByteArray trimBlanks(QByteArray text)
{
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove(0, 1);
    return text;
}
} // namespace

bool HttpChunkedBody::takeLine(QByteArray& buffer, QByteArray* line, qsizetype limit)
{
    const qsizetype end = buffer.indexOf('\n');
    if (end < 0 || end > limit) {
        if (end > limit || buffer.size() > limit)
            m_state = State::Failed;
        return false;
    }
    *line = buffer.left(end);
    if (line->endsWith('\r'))
        line->chop(1);
    buffer.remove(0, end + 1);
    return true;
}

HttpChunkedBody::State HttpChunkedBody::take(QByteArray& buffer, const Sink& sink)
{
    while (m_state == State::Reading) {
        QByteArray line;
        switch (m_phase) {
        case Phase::Size: {
            if (!takeLine(buffer, &line, kMaxLine))
                return m_state;
            const qsizetype extension = line.indexOf(';');
            const QByteArray size = trimBlanks(extension < 0 ? line : line.left(extension));
            bool ok = !size.isEmpty() && size.size() <= 8;
            for (const char c : size)
                ok = ok && std::isxdigit(static_cast<unsigned char>(c));
            if (!ok) {
                m_state = State::Failed;
                return m_state;
            }
            m_left = size.toLongLong(nullptr, 16);
            m_total += m_left;
            if (m_limit > 0 && m_total > m_limit) {
                m_tooLarge = true;
                m_state = State::Failed;
                return m_state;
            }
            m_phase = m_left == 0 ? Phase::Trailer : Phase::Data;
            break;
        }
        case Phase::Data: {
            const qsizetype part = static_cast<qsizetype>(std::min<qint64>(m_left, buffer.size()));
            if (part == 0)
                return m_state;
            if (!sink(QByteArrayView(buffer.constData(), part))) {
                m_state = State::Failed;
                return m_state;
            }
            buffer.remove(0, part);
            m_left -= part;
            if (m_left == 0)
                m_phase = Phase::DataEnd;
            break;
        }
        case Phase::DataEnd:
            // The data ends with a line end of its own.
            if (buffer.startsWith("\r\n") || buffer.startsWith('\n')) {
                buffer.remove(0, buffer.startsWith('\n') ? 1 : 2);
                m_phase = Phase::Size;
            } else if (buffer.isEmpty() || buffer == "\r") {
                return m_state;
            } else {
                m_state = State::Failed;
            }
            break;
        case Phase::Trailer:
            if (!takeLine(buffer, &line, kMaxTrailer - m_trailerBytes))
                return m_state;
            m_trailerBytes += line.size() + 2;
            if (line.isEmpty())
                m_state = State::Done;
            break;
        }
    }
    return m_state;
}
