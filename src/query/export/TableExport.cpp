#include "query/export/TableExport.h"

#include "shell/ProgressModel.h"
#include "shell/Texts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

BiText TableExport::readingText(const QString& table, qint64 rows, qint64 total, double seconds)
{
    if (total < 0) {
        const BiText text = Texts::get(TextId::ExportReadingRows);
        return {text.en.arg(table).arg(rows), text.pt.arg(table).arg(rows)};
    }
    const QLocale english(QLocale::English);
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    const BiText of = Texts::get(TextId::ExportReadingRowsOf);
    BiText text{of.en.arg(table, english.toString(rows), english.toString(total)),
                of.pt.arg(table, brazil.toString(rows), brazil.toString(total))};
    // The pace so far is the best guess of the rest; too early it says nothing.
    if (rows > 0 && rows < total && seconds >= 1) {
        const auto left = static_cast<qint64>(
            static_cast<double>(total - rows) * seconds / static_cast<double>(rows) + 0.5);
        const QString clock =
            left >= 3600
                ? QStringLiteral("%1:%2:%3")
                      .arg(left / 3600)
                      .arg(left / 60 % 60, 2, 10, QChar(u'0'))
                      .arg(left % 60, 2, 10, QChar(u'0'))
                : QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QChar(u'0'));
        const BiText leftText = Texts::get(TextId::ExportTimeLeft);
        text.en += leftText.en.arg(clock);
        text.pt += leftText.pt.arg(clock);
    }
    return text;
}

TableExport::TableExport(RfcDestination& destination, KeyCatalog& catalog, ReadPlan plan,
                         Settings settings)
    : m_destination(destination), m_catalog(catalog), m_plan(std::move(plan)),
      m_settings(std::move(settings))
{
    if (m_settings.separator.isEmpty())
        m_settings.separator = QStringLiteral(";");
}

QString TableExport::failureText(const ReadJob::Failure& failure)
{
    QString text = failure.table + QStringLiteral(": ");
    if (!failure.exception.isEmpty()) {
        text += failure.exception;
        if (!failure.message.isEmpty())
            text += QStringLiteral(" (") + failure.message.en + u')';
        if (!failure.explanation.isEmpty())
            text += QStringLiteral(": ") + failure.explanation.en;
    } else {
        text += failure.explanation.en;
    }
    return text;
}

TableExport::Format TableExport::formatOf(const QString& path)
{
    return path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? Format::Xlsx : Format::Csv;
}

TableExport::Result TableExport::run(const std::atomic<bool>& cancel, const Observer& observer)
{
    CsvWriter::Settings file;
    file.path = m_settings.path;
    file.separator = m_settings.separator;
    file.encoding = m_settings.encoding;
    file.trim = m_settings.trim;
    file.markFormulasAsText = m_settings.markFormulasAsText;
    file.standardOutput = m_settings.standardOutput;
    XlsxWriter::Settings book;
    book.path = m_settings.path;
    for (const ReadPlan::Field& field : m_plan.fields()) {
        file.keys.append(field.key);
        file.texts.append(field.text);
        file.lengths.push_back(field.length);
        file.types.append(field.type);
    }
    file.endsRun.assign(static_cast<size_t>(m_plan.fieldCount()), false);
    for (const ReadPlan::Piece& piece : m_plan.pieces())
        file.endsRun[static_cast<size_t>(piece.fields.end - 1)] = true;
    book.keys = file.keys;
    book.texts = file.texts;
    book.types = file.types;
    book.lengths = file.lengths;
    book.sheetName = m_plan.pieces().isEmpty() ? QString() : m_plan.pieces().front().table;
    CsvWriter csv(file);
    XlsxWriter xlsx(book);
    const bool workbook = m_settings.format == Format::Xlsx;
    RowSink& writer = workbook ? static_cast<RowSink&>(xlsx) : csv;

    ReadJob::Settings read;
    read.limit = m_settings.rowLimit;
    read.pageRows = m_settings.pageRows;
    read.widestModule = m_settings.widestModule;
    read.moduleName = m_settings.moduleName;
    read.spoolFolder =
        m_settings.path == u"-" ? QString() : QFileInfo(m_settings.path).absolutePath();
    read.countRows = m_settings.countRows;
    read.sessions = m_settings.sessions;
    read.openSession = m_settings.openSession;
    ReadJob job(m_destination, m_catalog, m_plan, read);
    ReadJob::Observer progress;
    qint64 said = -1;
    QElapsedTimer clock;
    clock.start();
    progress.progress = [&](const QString& table, qint64 rows, qint64 total, double fraction) {
        // A read of every row whose count the system could not tell has no share to show.
        const bool unknown =
            m_settings.countRows && m_settings.rowLimit == 0 && total < 0 && !table.isEmpty();
        if (observer.progress)
            observer.progress(unknown ? ProgressModel::kUnknown
                                      : std::min(0.99f, static_cast<float>(fraction)));
        if (!observer.status)
            return;
        if (table.isEmpty()) {
            // Tables read one after the other are now set side by side into the file.
            if (said != -2)
                observer.status(Texts::get(TextId::Creating) + m_settings.path);
            said = -2;
        } else if (rows != said) {
            said = rows;
            observer.status(readingText(table, rows, total, clock.elapsed() / 1000.0));
        }
    };
    const ReadJob::Result jobResult = job.run(writer, cancel, progress);

    Result result;
    result.ok = jobResult.ok;
    result.cancelled = jobResult.cancelled;
    result.rows = static_cast<long>(jobResult.rows);
    result.elapsed = jobResult.elapsed;
    result.calls = jobResult.calls;
    result.module = jobResult.module;
    result.error = jobResult.error;
    result.failures = jobResult.failures;
    result.notes = jobResult.notes;
    result.lostCharacters = workbook ? 0 : csv.lostCharacters();
    if (workbook && result.ok && xlsx.sheets() > 1) {
        const BiText text = Texts::get(TextId::ExportSheets);
        const auto fill = [&](const QString& form) {
            return form.arg(result.rows).arg(xlsx.sheets()).arg(book.rowsPerSheet - 2);
        };
        result.notes.append({fill(text.en), fill(text.pt)});
    }
    for (const ReadJob::Failure& failure : jobResult.failures)
        result.failedPieces.append(
            failure.table + QStringLiteral(": ") +
            (failure.exception.isEmpty() ? failure.explanation.en : failure.exception));
    if (!result.ok)
        result.rows = 0;
    return result;
}
