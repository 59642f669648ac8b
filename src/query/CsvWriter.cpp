#include "CsvWriter.h"

#include "EightBitText.h"

#include <QFileInfo>

#include <algorithm>

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
    m_text.reserve(1024);
}

CsvWriter::~CsvWriter()
{
    if (m_file)
        m_file->cancelWriting();
}

QString CsvWriter::unfitTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return QStringLiteral("%1 is not a regular file; an export replaces only files").arg(path);
}

bool CsvWriter::start()
{
    if (m_settings.path == u"-") {
        m_stream = m_settings.standardOutput;
    } else {
        m_error = unfitTarget(m_settings.path);
        if (!m_error.isEmpty())
            return false;
        m_file = std::make_unique<QSaveFile>(m_settings.path);
        if (!m_file->open(QIODevice::WriteOnly)) {
            m_error = m_file->errorString();
            m_file.reset();
            return false;
        }
    }
    if (m_settings.encoding == Encoding::Utf8)
        m_buffer.append("\xEF\xBB\xBF");
    if (!line(headerLine(m_settings.keys, m_settings.separator)) ||
        !line(headerLine(m_settings.texts, m_settings.separator))) {
        m_error = failure();
        return false;
    }
    return true;
}

bool CsvWriter::row(const QStringView* values, const char* present, int count)
{
    QString& text = m_text;
    text.resize(0); // keeps the buffer from row to row
    const QString& separator = m_settings.separator;
    const auto endsRun = [&](int k) {
        return k + 1 == count || (k < static_cast<int>(m_settings.endsRun.size()) &&
                                  m_settings.endsRun[static_cast<size_t>(k)]);
    };
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            text += separator;
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
        if (m_quoting && needsQuotes(shown, separator)) {
            QString quoted = shown.toString();
            quoted.resize(quoted.size() + padding, u' ');
            text += quote(quoted, separator);
        } else {
            text += shown;
            if (padding > 0)
                text.resize(text.size() + padding, u' ');
        }
    }
    if (!line(text)) {
        m_error = failure();
        return false;
    }
    return true;
}

bool CsvWriter::line(QStringView text)
{
    if (m_settings.encoding == Encoding::Utf8)
        m_buffer.append(text.toUtf8());
    else
        m_lost += EightBitText::appendCodePage(text, m_buffer);
    m_buffer.append("\r\n");
    return m_buffer.size() < kFlushBytes || flush();
}

bool CsvWriter::flush()
{
    qsizetype written = 0;
    if (m_file)
        written = m_file->write(m_buffer);
    else if (m_stream)
        written = static_cast<qsizetype>(
            std::fwrite(m_buffer.constData(), 1, static_cast<size_t>(m_buffer.size()), m_stream));
    const bool ok = written == m_buffer.size();
    m_buffer.clear();
    return ok;
}

QString CsvWriter::failure() const
{
    const QString reason = m_file ? m_file->errorString() : QString();
    return reason.isEmpty() || reason == u"Unknown error"
               ? QStringLiteral("%1 could not be written completely (is the disk full?)")
                     .arg(m_settings.path)
               : reason;
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
    m_buffer.clear();
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

QString CsvWriter::headerLine(const QStringList& values, const QString& separator)
{
    QStringList quoted;
    for (const QString& value : values)
        quoted.append(quote(value, separator));
    return quoted.join(separator);
}
