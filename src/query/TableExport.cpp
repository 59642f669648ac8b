#include "TableExport.h"

#include "EightBitText.h"
#include "RfcDestination.h"
#include "RfcFunction.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kFlushBytes = 1 << 20;

// Buffers the output file and writes it in the chosen encoding.
class Output
{
public:
    Output(const QString& path, TableExport::Encoding encoding) : m_file(path), m_encoding(encoding)
    {
    }

    bool open(QString* error)
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            *error = m_file.errorString();
            return false;
        }
        if (m_encoding == TableExport::Encoding::Utf8)
            m_buffer.append("\xEF\xBB\xBF");
        return true;
    }

    // What went wrong, in words: a short write sets no error text of its own.
    QString failure() const
    {
        const QString reason = m_file.errorString();
        return reason.isEmpty() || reason == u"Unknown error"
                   ? QStringLiteral("%1 could not be written completely (is the disk full?)")
                         .arg(m_file.fileName())
                   : reason;
    }

    bool line(QStringView text)
    {
        if (m_encoding == TableExport::Encoding::Utf8)
            m_buffer.append(text.toUtf8());
        else
            m_lost += EightBitText::appendCodePage(text, m_buffer);
        m_buffer.append("\r\n");
        return m_buffer.size() < kFlushBytes || flush();
    }

    bool flush()
    {
        const bool ok = m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return ok;
    }

    bool commit(QString* error)
    {
        if (!flush() || !m_file.flush() || !m_file.commit()) {
            *error = m_file.errorString();
            m_file.cancelWriting();
            return false;
        }
        return true;
    }

    void cancel() { m_file.cancelWriting(); }
    int lost() const { return m_lost; }
    QString error() const { return failure(); }

private:
    QSaveFile m_file;
    TableExport::Encoding m_encoding;
    QByteArray m_buffer;
    int m_lost = 0;
};
} // namespace

// One piece of the read: its call, the cutting of its DATA lines into values, and, when the
// export has several pieces, the spool file that keeps its formatted rows until the merge.
class TableExport::Piece
{
public:
    Piece(const ReadPlan& plan, int index, const QString& separator)
        : m_plan(plan), m_piece(plan.piece(index)), m_separator(separator),
          m_quoting(!separator.contains(u'"'))
    {
        m_text.reserve(1024);
    }

    // The values of a line, each as the file shows it: padded to its length except the last,
    // whose trailing blanks the transport dropped, as a delimited line would show them.
    // The line is built in a buffer kept from row to row.
    const QString& format(const QString& wa) const
    {
        QString& text = m_text;
        text.resize(0); // keeps the buffer from row to row
        const QStringView line(wa);
        for (size_t k = 0; k < m_slots.size(); ++k) {
            const auto& [offset, length] = m_slots[k];
            const QStringView value =
                offset < line.size() ? line.mid(offset, length) : QStringView();
            if (k > 0)
                text += m_separator;
            const qsizetype padding =
                k + 1 < m_slots.size() ? std::max<qsizetype>(0, length - value.size()) : 0;
            if (m_quoting && TableExport::needsQuotes(value, m_separator)) {
                QString quoted = value.toString();
                quoted.resize(quoted.size() + padding, u' ');
                text += TableExport::quote(quoted, m_separator);
            } else {
                text += value;
                if (padding > 0)
                    text.resize(text.size() + padding, u' ');
            }
        }
        return text;
    }

    // Where each value sits in a DATA line: from the FIELDS table the system returned, or by
    // the field lengths when it returned none.
    void learnSlots(const RfcTable& fields)
    {
        m_slots.clear();
        const int count = m_piece.last - m_piece.first + 1;
        bool described = fields.RowCount() == count;
        for (int r = 1; described && r <= count; ++r)
            described = fields.Value(r, QStringLiteral("LENGTH")).toInt() > 0;
        if (described) {
            for (int r = 1; r <= count; ++r)
                m_slots.emplace_back(fields.Value(r, QStringLiteral("OFFSET")).toInt(),
                                     fields.Value(r, QStringLiteral("LENGTH")).toInt());
            return;
        }
        int offset = 0;
        for (int i = m_piece.first; i <= m_piece.last; ++i) {
            m_slots.emplace_back(offset, m_plan.iFieldLen.at(i));
            offset += m_plan.iFieldLen.at(i);
        }
    }

    const ReadPlan::Piece& piece() const { return m_piece; }
    int separators() const { return m_piece.last - m_piece.first; }

    bool openSpool(const QString& folder)
    {
        m_spool = std::make_unique<QTemporaryFile>(
            QDir(folder).filePath(QStringLiteral(".zorv-spool-XXXXXX")));
        if (!m_spool->open())
            return false;
        m_stream.setDevice(m_spool.get());
        return true;
    }
    void spool(const QString& text) { m_stream << text; }
    bool spoolOk() const { return m_stream.status() == QDataStream::Ok; }
    bool rewind()
    {
        m_stream.setDevice(nullptr);
        if (!m_spool->flush() || !m_spool->seek(0))
            return false;
        m_stream.setDevice(m_spool.get());
        return true;
    }
    QString next()
    {
        QString text;
        m_stream >> text;
        return text;
    }

    long rows = 0;
    bool read = false;

private:
    const ReadPlan& m_plan;
    ReadPlan::Piece m_piece;
    QString m_separator;
    bool m_quoting;
    mutable QString m_text;
    std::vector<std::pair<int, int>> m_slots;
    std::unique_ptr<QTemporaryFile> m_spool;
    QDataStream m_stream;
};

TableExport::TableExport(RfcDestination& destination, ReadPlan plan, Settings settings)
    : m_plan(std::move(plan)), m_settings(std::move(settings)), m_destination(destination)
{
    if (m_settings.separator.isEmpty())
        m_settings.separator = QStringLiteral(";");
}

bool TableExport::needsQuotes(QStringView value, const QString& separator)
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

QString TableExport::quote(const QString& value, const QString& separator)
{
    // With a quote in the separator no quoting could be read back; the value stays as it is.
    if (separator.contains(u'"') || !needsQuotes(value, separator))
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString TableExport::headerLine(const QStringList& values, const QString& separator)
{
    QStringList quoted;
    for (const QString& value : values)
        quoted.append(quote(value, separator));
    return quoted.join(separator);
}

TableExport::Result TableExport::run(const std::atomic<bool>& cancel, const Observer& observer)
{
    Result result;
    QElapsedTimer timer;
    timer.start();
    const auto say = [&](const QString& text) {
        if (observer.status)
            observer.status(text);
    };
    float fraction = 0.01f;
    const auto advance = [&](float to) {
        fraction = std::min(std::max(fraction, to), 0.99f);
        if (observer.progress)
            observer.progress(fraction);
    };

    const QString& separator = m_settings.separator;
    const bool several = m_plan.NPiece > 1;
    const QString folder = QFileInfo(m_settings.path).absolutePath();
    std::vector<std::unique_ptr<Piece>> pieces;
    for (int p = 1; p <= m_plan.NPiece; ++p)
        pieces.push_back(std::make_unique<Piece>(m_plan, p, separator));

    auto output = std::make_unique<Output>(m_settings.path, m_settings.encoding);
    QStringList keys;
    QStringList texts;
    for (int i = 1; i <= m_plan.SFI; ++i) {
        keys.append(m_plan.sFieldKey.at(i));
        texts.append(m_plan.sFieldText.at(i));
    }
    const auto start = [&]() {
        return output->open(&result.error) && output->line(headerLine(keys, separator)) &&
               output->line(headerLine(texts, separator));
    };
    if (!start())
        return result;

    const float readShare = several ? 0.7f : 0.98f;
    const float pieceShare = readShare / static_cast<float>(std::max(1, m_plan.NPiece));
    bool writeFailed = false;
    for (size_t index = 0; index < pieces.size() && !cancel && !writeFailed; ++index) {
        Piece& piece = *pieces[index];
        const ReadPlan::Piece& plan = piece.piece();
        const float base = fraction;
        say(QStringLiteral("Downloading %1 - Fields %2 to %3")
                .arg(plan.table)
                .arg(plan.first)
                .arg(plan.last));
        if (several && !piece.openSpool(folder)) {
            result.error = QStringLiteral("cannot create a spool file in ") + folder;
            output->cancel();
            return result;
        }
        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &m_destination);
        function.setCancel(&cancel);
        const qsizetype cut = m_plan.sFieldKey.at(plan.first).indexOf(u'-');
        function.Exports(QStringLiteral("QUERY_TABLE")).Value = plan.table;
        function.Exports(QStringLiteral("ROWCOUNT")).Value = QString::number(m_settings.rowLimit);
        // Fields side by side: values are cut by position, never split at a separator.
        function.Exports(QStringLiteral("DELIMITER")).Value = QStringLiteral(" ");
        RfcTable& fields = function.Tables(QStringLiteral("FIELDS"));
        for (int i = plan.first; i <= plan.last; ++i) {
            fields.appendrow();
            fields.setValue(fields.RowCount(), QStringLiteral("FIELDNAME"),
                            m_plan.sFieldKey.at(i).mid(cut + 1));
        }
        RfcTable& options = function.Tables(QStringLiteral("OPTIONS"));
        for (int j = plan.optFirst; j <= plan.optLast; ++j) {
            options.appendrow();
            options.setValue(options.RowCount(), QStringLiteral("TEXT"),
                             m_plan.sOption.at(j).mid(cut + 1));
        }
        bool slotsKnown = false;
        function.Tables(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
            if (!slotsKnown) {
                piece.learnSlots(function.Tables(QStringLiteral("FIELDS")));
                slotsKnown = true;
            }
            const QString text = piece.format(row.front());
            if (several)
                piece.spool(text);
            else if (!writeFailed && !output->line(text))
                writeFailed = true;
            ++piece.rows;
            if ((piece.rows & 0xFFF) == 0) {
                if (m_settings.rowLimit > 0)
                    advance(base + pieceShare * static_cast<float>(piece.rows) /
                                       static_cast<float>(m_settings.rowLimit));
                if ((piece.rows & 0xFFFF) == 0)
                    say(QStringLiteral("Downloading %1: %2 rows").arg(plan.table).arg(piece.rows));
            }
        });
        piece.read = function.Call();
        if (cancel)
            break;
        if (!piece.read) {
            result.failedPieces.append(plan.table + QStringLiteral(": ") + function.exception());
            piece.rows = 0;
            // A single piece wrote as it read: start the file again with its headers only.
            if (!several) {
                output = std::make_unique<Output>(m_settings.path, m_settings.encoding);
                if (!start())
                    return result;
            }
        }
        if (several && !piece.spoolOk()) {
            result.error =
                QStringLiteral("a spool file in %1 could not be written (is the disk full?)").arg(folder);
            output->cancel();
            return result;
        }
        say(QStringLiteral("Preparing Data for %1 - Fields %2 to %3 with %4 rows")
                .arg(plan.table)
                .arg(plan.first)
                .arg(plan.last)
                .arg(piece.rows));
        advance(base + pieceShare);
    }
    if (cancel) {
        output->cancel();
        result.cancelled = true;
        return result;
    }
    if (writeFailed) {
        result.error = output->error();
        output->cancel();
        return result;
    }

    long lines = 0;
    for (const auto& piece : pieces)
        lines = std::max(lines, piece->rows);
    say(QStringLiteral("Creating ") + m_settings.path);
    if (several) {
        for (const auto& piece : pieces) {
            if (piece->read && !piece->rewind()) {
                result.error = QStringLiteral("cannot read a spool file back");
                output->cancel();
                return result;
            }
        }
        const float mergeBase = fraction;
        for (long r = 1; r <= lines; ++r) {
            QString line;
            int separators = 0;
            for (const auto& piece : pieces) {
                // Earlier pieces without this row leave empty fields up to this piece's first.
                for (; separators < piece->piece().first - 1; ++separators)
                    line += separator;
                if (piece->read && r <= piece->rows) {
                    line += piece->next();
                    separators += piece->separators();
                }
            }
            if (!output->line(line)) {
                result.error = output->error();
                output->cancel();
                return result;
            }
            if ((r & 0xFFF) == 0) {
                if (cancel) {
                    output->cancel();
                    result.cancelled = true;
                    return result;
                }
                advance(mergeBase +
                        (0.99f - mergeBase) * static_cast<float>(r) / static_cast<float>(lines));
            }
        }
    }
    if (!output->commit(&result.error))
        return result;
    advance(0.99f);
    result.ok = true;
    result.rows = lines;
    result.elapsed = timer.nsecsElapsed() / 1e9;
    result.lostCharacters = output->lost();
    return result;
}
