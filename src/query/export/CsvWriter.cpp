#include "query/export/CsvWriter.h"

#include "query/export/ExportTarget.h"
#include "shell/EightBitText.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr qsizetype kFlushBytes = 1 << 20;
} // namespace

CsvWriter::CsvWriter(Settings settings)
    : m_settings(std::move(settings)), m_quoting(!m_settings.separator.contains(u'"'))
{
    if (m_settings.separator.isEmpty())
        m_settings.separator = QStringLiteral(";");
    m_quoting = !m_settings.separator.contains(u'"');
    m_separatorFirst = m_settings.separator.front().unicode();
    if (m_settings.encoding == Encoding::Utf8)
        m_separatorBytes = m_settings.separator.toUtf8();
    else
        EightBitText::appendCodePage(m_settings.separator, m_separatorBytes);
}

CsvWriter::~CsvWriter()
{
    if (m_file)
        m_file->cancelWriting();
}

bool CsvWriter::start()
{
    if (m_settings.path == u"-") {
        m_stream = m_settings.standardOutput;
    } else {
        m_error = ExportTarget::unfit(m_settings.path);
        if (!m_error.isEmpty())
            return false;
        m_file = std::make_unique<QSaveFile>(m_settings.path);
        if (!m_file->open(QIODevice::WriteOnly)) {
            m_error = BiText::same(m_file->errorString());
            m_file.reset();
            return false;
        }
    }
    if (m_settings.encoding == Encoding::Utf8)
        put("\xEF\xBB\xBF", 3);
    QStringList keys = m_settings.keys;
    QStringList texts = m_settings.texts;
    if (m_settings.markFormulasAsText) {
        for (QString& key : keys)
            key = markedAsText(key);
        for (QString& text : texts)
            text = markedAsText(text);
    }
    if (!line(headerLine(keys, m_settings.separator)) ||
        !line(headerLine(texts, m_settings.separator))) {
        m_error = failure();
        return false;
    }
    return true;
}

bool CsvWriter::row(const QStringView* values, const char* present, int count)
{
    const auto endsRun = [&](int k) {
        return k + 1 == count || (k < static_cast<int>(m_settings.endsRun.size()) &&
                                  m_settings.endsRun[static_cast<size_t>(k)]);
    };
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            put(m_separatorBytes.constData(), m_separatorBytes.size());
        if (!present[k])
            continue;
        QStringView shown = values[k];
        qsizetype padding = 0;
        if (m_settings.trim) {
            // Text is padded on the right; packed numbers stand right-aligned.
            while (shown.endsWith(u' '))
                shown.chop(1);
            if (m_settings.types.value(k) == u"P")
                shown = shown.trimmed();
        } else if (endsRun(k)) {
            while (shown.endsWith(u' '))
                shown.chop(1);
        } else if (k < static_cast<int>(m_settings.lengths.size())) {
            padding =
                std::max<qsizetype>(0, m_settings.lengths[static_cast<size_t>(k)] - shown.size());
        }
        QString marked;
        if (m_settings.markFormulasAsText && looksLikeFormula(shown)) {
            marked.reserve(shown.size() + 1);
            marked.append(u'\'');
            marked.append(shown);
            shown = marked;
        }
        if (!appendPlain(shown)) {
            if (m_quoting && needsQuotes(shown, m_settings.separator)) {
                QString quoted = shown.toString();
                quoted.resize(quoted.size() + padding, u' ');
                appendText(quote(quoted, m_settings.separator));
                continue;
            }
            appendText(shown);
        }
        if (padding > 0) {
            std::memset(room(padding), ' ', static_cast<size_t>(padding));
            m_used += padding;
        }
    }
    put("\r\n", 2);
    if (m_used >= kFlushBytes && !flush()) {
        m_error = failure();
        return false;
    }
    return true;
}

bool CsvWriter::appendPlain(QStringView text)
{
    // Most values are ASCII without anything to quote: one pass copies them byte by byte, and
    // anything else takes the general way.
    char* to = room(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || u == u'"' || u == u'\r' || u == u'\n' || u == m_separatorFirst) {
            return false;
        }
        *to++ = static_cast<char>(u);
    }
    m_used += text.size();
    return true;
}

void CsvWriter::appendText(QStringView text)
{
    m_scratch.resize(0);
    if (m_settings.encoding == Encoding::Utf8)
        m_scratch = text.toUtf8();
    else
        m_lost += EightBitText::appendCodePage(text, m_scratch);
    put(m_scratch.constData(), m_scratch.size());
}

void CsvWriter::grow(qsizetype bytes)
{
    m_buffer.resize(std::max(m_used + bytes, kFlushBytes + kFlushBytes / 4));
}

bool CsvWriter::line(QStringView text)
{
    appendText(text);
    put("\r\n", 2);
    return m_used < kFlushBytes || flush();
}

bool CsvWriter::flush()
{
    qsizetype written = 0;
    if (m_file)
        written = m_file->write(m_buffer.constData(), m_used);
    else if (m_stream)
        written = static_cast<qsizetype>(
            std::fwrite(m_buffer.constData(), 1, static_cast<size_t>(m_used), m_stream));
    const bool ok = written == m_used;
    m_used = 0;
    return ok;
}

BiText CsvWriter::failure() const
{
    return ExportTarget::writeFailure(m_settings.path, m_file ? m_file->errorString() : QString());
}

bool CsvWriter::finish()
{
    if (!flush()) {
        m_error = failure();
        abandon();
        return false;
    }
    if (m_stream)
        return std::fflush(m_stream) == 0;
    if (!m_file || !m_file->flush() || !m_file->commit()) {
        m_error = failure();
        abandon();
        return false;
    }
    m_file.reset();
    return true;
}

void CsvWriter::abandon()
{
    m_used = 0;
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}

bool CsvWriter::needsQuotes(QStringView value, const QString& separator)
{
    const QChar first = separator.isEmpty() ? QChar() : separator.front();
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'"' || c == u'\r' || c == u'\n')
            return true;
        if (c == first && value.mid(i).startsWith(separator))
            return true;
    }
    return false;
}

QString CsvWriter::quote(const QString& value, const QString& separator)
{
    // With a quote in the separator no quoting could be read back; the value stays as it is.
    if (separator.contains(u'"') || !needsQuotes(value, separator))
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

bool CsvWriter::looksLikeFormula(QStringView value)
{
    if (value.isEmpty())
        return false;
    const char16_t first = value.front().unicode();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' ||
           first == u'\r';
}

QString CsvWriter::markedAsText(const QString& value)
{
    return looksLikeFormula(value) ? u'\'' + value : value;
}

QString CsvWriter::headerLine(const QStringList& values, const QString& separator)
{
    QStringList quoted;
    for (const QString& value : values)
        quoted.append(quote(value, separator));
    return quoted.join(separator);
}
