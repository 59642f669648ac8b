#include "query/read/ReadJob.h"

#include "query/read/RowCount.h"
#include "query/read/RowSink.h"
#include "query/read/RowSpool.h"
#include "query/read/TableRead.h"
#include "sap/ReadTableWidths.h"
#include "shell/FaultTexts.h"
#include "shell/Texts.h"

#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <numeric>

namespace
{
constexpr int kOptionWidth = ReadTableWidths::kOptionLine;
constexpr double kReadShare = 0.95;
} // namespace

struct ReadJob::Table {
    TableRead::Request request;
    std::vector<int> columns; // My Table column of each of the table's columns
    qint64 rows = 0;
    std::unique_ptr<RowSpool> spool;
};

ReadJob::ReadJob(RfcDestination& destination, KeyCatalog& catalog, ReadPlan plan, Settings settings)
    : m_destination(destination), m_catalog(catalog), m_plan(std::move(plan)),
      m_settings(std::move(settings))
{
}

ReadJob::~ReadJob() = default;

qint64 ReadJob::countOf(const Table& table, const std::atomic<bool>& cancel) const
{
    if (!m_settings.countRows || table.request.limit > 0 || !table.request.options.isEmpty())
        return -1;
    const qint64 count = RowCount::of(m_destination, table.request.table, &cancel).value_or(-1);
    if (count >= 0)
        m_catalog.learnRowCount(table.request.table, count);
    return count;
}

double ReadJob::shareDone(qint64 rows, qint64 total, double fraction)
{
    // Rows against the count say how far a read is; the parts' shares only guess.
    if (total > 0)
        return std::min(1.0, static_cast<double>(rows) / static_cast<double>(total));
    return fraction;
}

ReadModule ReadJob::chooseModule(const std::atomic<bool>& cancel)
{
    if (!m_settings.moduleName.trimmed().isEmpty())
        return ReadModule::named(m_settings.moduleName);
    if (m_settings.widestModule)
        return m_catalog.widestModule(m_destination, &cancel);
    return {};
}

BiText ReadJob::callsText(int calls, const QString& module)
{
    BiText text = Texts::get(calls == 1 ? TextId::ReadOneCall : TextId::ReadCalls);
    if (calls != 1)
        text = {text.en.arg(calls), text.pt.arg(calls)};
    if (!module.isEmpty() && module != u"RFC_READ_TABLE")
        text = text + QStringLiteral(", ") + module;
    return text;
}

qint64 ReadJob::pageRowsFor(int rowWidth, qint64 limit)
{
    qint64 rows = std::clamp<qint64>(kAnswerCharacters / std::max(1, rowWidth), kFewestPageRows,
                                     kMostPageRows);
    // A small limit (a preview) is read in one page, however wide the rows.
    if (limit > 0 && limit <= 1000)
        rows = std::max(rows, limit);
    return rows;
}

BiText ReadJob::check(const ReadPlan& plan)
{
    const QStringList& options = plan.options();
    std::vector<bool> sent(static_cast<size_t>(options.size()), false);
    for (const ReadPlan::Piece& piece : plan.pieces()) {
        const qsizetype cut = plan.fields().at(piece.fields.begin).key.indexOf(u'-');
        for (int j = piece.options.begin; j < piece.options.end; ++j) {
            sent[static_cast<size_t>(j)] = true;
            const QString line = options.at(j).mid(cut + 1);
            if (line.size() > kOptionWidth) {
                const BiText text = Texts::get(TextId::OptionTooWideAsSent);
                const auto fill = [&](const QString& form) {
                    return form.arg(options.at(j))
                        .arg(line.size())
                        .arg(piece.table)
                        .arg(kOptionWidth);
                };
                return {fill(text.en), fill(text.pt)};
            }
        }
    }
    for (int j = 0; j < options.size(); ++j) {
        if (!sent[static_cast<size_t>(j)] && !options.at(j).trimmed().isEmpty()) {
            const BiText text = Texts::get(TextId::OptionNamesNoTable);
            return {text.en.arg(options.at(j)), text.pt.arg(options.at(j))};
        }
    }
    return {};
}

std::vector<ReadJob::Table> ReadJob::tables(const ReadPlan& plan) const
{
    std::vector<Table> tables;
    const auto tableIndex = [&](const QString& name) {
        for (size_t t = 0; t < tables.size(); ++t) {
            if (tables[t].request.table == name)
                return static_cast<int>(t);
        }
        Table table;
        table.request.table = name;
        tables.push_back(std::move(table));
        return static_cast<int>(tables.size()) - 1;
    };
    for (const ReadPlan::Piece& piece : plan.pieces()) {
        Table& table = tables[static_cast<size_t>(tableIndex(piece.table))];
        const qsizetype cut = plan.fields().at(piece.fields.begin).key.indexOf(u'-');
        std::vector<int> columns;
        for (int i = piece.fields.begin; i < piece.fields.end; ++i) {
            const ReadPlan::Field& field = plan.fields().at(i);
            columns.push_back(static_cast<int>(table.request.columns.size()));
            table.request.columns.push_back({field.name(), field.length});
            table.columns.push_back(i);
        }
        table.request.pieces.push_back(columns);
        if (table.request.options.isEmpty()) {
            for (int j = piece.options.begin; j < piece.options.end; ++j)
                table.request.options.append(plan.options().at(j).mid(cut + 1));
        }
    }
    for (Table& table : tables) {
        int width = 0;
        for (const TableRead::Column& column : table.request.columns)
            width += column.length;
        table.request.limit = m_settings.limit;
        table.request.pageRows =
            m_settings.pageRows > 0 ? m_settings.pageRows : pageRowsFor(width, m_settings.limit);
        table.request.floorRows = std::min<qint64>(10, table.request.pageRows);
    }
    return tables;
}

int ReadJob::lineLength(const char* present) const
{
    // A line ends early where the last runs of fields have no row: separators up to the first
    // field of the last run, as lines always did.
    if (m_runs.empty() || present[m_runs.back().firstColumn])
        return m_plan.fieldCount();
    return m_runs.back().firstColumn + 1;
}

ReadJob::Result ReadJob::run(RowSink& sink, const std::atomic<bool>& cancel,
                             const Observer& observer)
{
    QElapsedTimer timer;
    timer.start();
    Result result;
    result.error = check(m_plan);
    if (!result.error.isEmpty())
        return result;
    m_runs.clear();
    for (const ReadPlan::Piece& piece : m_plan.pieces())
        m_runs.push_back({piece.fields.begin});
    const ReadModule module = chooseModule(cancel);
    if (cancel) {
        result.cancelled = true;
        return result;
    }
    result.module = module.name();
    m_fallbacks = 0;
    m_classicTables = tables(m_plan);
    std::vector<Table> tables;
    ReadPlan wider;
    if (module.lineWidth() != m_plan.lineWidth() &&
        wider.build(m_plan.fields(), m_plan.options(), nullptr, module.lineWidth()))
        tables = this->tables(wider);
    else
        tables = this->tables(m_plan);
    for (Table& table : tables)
        table.request.module = module;
    if (!sink.start()) {
        result.error = sink.error();
        return result;
    }
    m_sessions = std::make_unique<SessionPool>(
        m_destination, m_settings.openSession ? m_settings.sessions : 1, m_settings.openSession);
    const bool read = tables.size() == 1 ? readOne(tables.front(), sink, cancel, observer, result)
                                         : readSeveral(tables, sink, cancel, observer, result);
    if (const BiText note = m_sessions->note(); !note.en.isEmpty())
        result.notes.append(note);
    m_sessions.reset(); // the sessions it opened log off
    if (m_fallbacks == static_cast<int>(tables.size()))
        result.module = ReadModule().name(); // every row came through RFC_READ_TABLE
    result.cancelled = cancel.load();
    const bool usable = read && !result.cancelled && result.error.isEmpty() &&
                        (result.failures.empty() || m_settings.keepWhatWasRead);
    if (usable && !sink.finish())
        result.error = sink.error();
    if (!usable || !result.error.isEmpty())
        sink.abandon();
    result.ok = usable && result.error.isEmpty() && result.failures.empty();
    result.elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    return result;
}

ReadJob::TableOutcome ReadJob::readTable(Table& table, size_t index,
                                         const std::atomic<bool>& cancel,
                                         const TableRead::BatchSink& batch,
                                         const TableRead::Observer& progress, Result& result)
{
    BiText fellBack;
    for (;;) {
        TableRead reader(m_destination, m_catalog, cancel, table.request, m_sessions.get());
        TableOutcome outcome{reader.run(batch, progress), reader.rows(), reader.failure()};
        result.calls += reader.calls();
        if (outcome.status == TableRead::Status::Failed && outcome.failure.moduleFailed &&
            index < m_classicTables.size()) {
            const TableRead::Failure& failed = outcome.failure;
            const BiText why = !failed.explanation.isEmpty() ? failed.explanation
                               : !failed.message.isEmpty()   ? failed.message
                                                             : BiText::same(failed.exception);
            const BiText text = Texts::get(TextId::ReadFellBack);
            const QString module = table.request.module.name();
            fellBack = {text.en.arg(module, table.request.table, why.en),
                        text.pt.arg(module, table.request.table, why.pt)};
            table.request = m_classicTables[index].request;
            ++m_fallbacks;
            continue;
        }
        // Only a read that went through is worth the story of how.
        if (!fellBack.en.isEmpty() && outcome.status == TableRead::Status::Done)
            result.notes.append(fellBack);
        if (!reader.note().en.isEmpty())
            result.notes.append(reader.note());
        // Every row read, none left out by a limit or an option: that is the table's count.
        const bool everyRow = table.request.limit == 0 || outcome.rows < table.request.limit;
        if (outcome.status == TableRead::Status::Done && everyRow &&
            table.request.options.isEmpty() && !cancel)
            m_catalog.learnRowCount(table.request.table, outcome.rows);
        return outcome;
    }
}

bool ReadJob::readOne(Table& table, RowSink& sink, const std::atomic<bool>& cancel,
                      const Observer& observer, Result& result)
{
    std::vector<QStringView> values(static_cast<size_t>(m_plan.fieldCount()));
    std::vector<char> present(static_cast<size_t>(m_plan.fieldCount()), 1);
    bool sinkFailed = false;
    const auto batch = [&](const TableBatch& rows) {
        for (qsizetype r = 0; r < rows.rows(); ++r) {
            rows.fill(r, table.columns.data(), values.data(), present.data());
            const int count = lineLength(present.data());
            if (!sink.row(values.data(), present.data(), count)) {
                sinkFailed = true;
                return false;
            }
            if ((r & 0x3FF) == 0 && cancel)
                return false;
        }
        return true;
    };
    TableRead::Observer progress;
    const qint64 total = countOf(table, cancel);
    table.request.expectedRows = total;
    if (observer.progress)
        progress.progress = [&](qint64 rows, double fraction) {
            observer.progress(table.request.table, rows, total, shareDone(rows, total, fraction));
        };
    const TableOutcome outcome = readTable(table, 0, cancel, batch, progress, result);
    const TableRead::Status status = outcome.status;
    result.rows = outcome.rows;
    if (sinkFailed) {
        result.error = sink.error();
        return false;
    }
    if (status == TableRead::Status::Failed) {
        const TableRead::Failure& failure = outcome.failure;
        result.failures.push_back({table.request.table, failure.exception, failure.message,
                                   failure.explanation, failure.keys});
        result.rows = 0;
        return false;
    }
    return status == TableRead::Status::Done;
}

bool ReadJob::readSeveral(std::vector<Table>& tables, RowSink& sink,
                          const std::atomic<bool>& cancel, const Observer& observer, Result& result)
{
    const double share = kReadShare / static_cast<double>(tables.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        Table& table = tables[t];
        table.spool = std::make_unique<RowSpool>();
        if (!table.spool->open(m_settings.spoolFolder)) {
            result.error = FaultTexts::get(FaultText::SpoolNotCreated)
                               .arg(m_settings.spoolFolder.isEmpty() ? QDir::tempPath()
                                                                     : m_settings.spoolFolder);
            return false;
        }
        std::vector<QStringView> values(table.request.columns.size());
        std::vector<char> present(table.request.columns.size());
        std::vector<int> inOrder(table.request.columns.size()); // the spool keeps the table's order
        std::iota(inOrder.begin(), inOrder.end(), 0);
        const auto batch = [&](const TableBatch& rows) {
            for (qsizetype r = 0; r < rows.rows(); ++r) {
                rows.fill(r, inOrder.data(), values.data(), present.data());
                table.spool->write(values, present);
            }
            return table.spool->ok() && !cancel;
        };
        TableRead::Observer progress;
        const qint64 total = countOf(table, cancel);
        table.request.expectedRows = total;
        if (observer.progress)
            progress.progress = [&](qint64 rows, double fraction) {
                observer.progress(table.request.table, rows, total,
                                  share *
                                      (static_cast<double>(t) + shareDone(rows, total, fraction)));
            };
        const TableOutcome outcome = readTable(table, t, cancel, batch, progress, result);
        const TableRead::Status status = outcome.status;
        if (cancel)
            return false;
        if (!table.spool->ok()) {
            result.error = FaultTexts::get(FaultText::SpoolNotWritten);
            return false;
        }
        if (status == TableRead::Status::Failed) {
            const TableRead::Failure& failure = outcome.failure;
            result.failures.push_back({table.request.table, failure.exception, failure.message,
                                       failure.explanation, failure.keys});
            if (!m_settings.keepWhatWasRead)
                return false;
            table.spool = std::make_unique<RowSpool>(); // its rows are not shown
            table.spool->open(m_settings.spoolFolder);
        }
        table.rows = table.spool->rows();
        if (!table.spool->rewind()) {
            result.error = FaultTexts::get(FaultText::SpoolNotReadBack);
            return false;
        }
    }

    // Row r of every table makes line r.
    qint64 lines = 0;
    for (const Table& table : tables)
        lines = std::max(lines, table.rows);
    std::vector<std::vector<QString>> texts(tables.size());
    std::vector<std::vector<char>> present(tables.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        texts[t].resize(tables[t].request.columns.size());
        present[t].resize(tables[t].request.columns.size());
    }
    std::vector<QStringView> values(static_cast<size_t>(m_plan.fieldCount()));
    std::vector<char> has(static_cast<size_t>(m_plan.fieldCount()));
    for (qint64 r = 0; r < lines; ++r) {
        std::fill(has.begin(), has.end(), 0);
        std::fill(values.begin(), values.end(), QStringView());
        for (size_t t = 0; t < tables.size(); ++t) {
            if (r >= tables[t].rows)
                continue;
            tables[t].spool->read(texts[t], present[t]);
            for (size_t c = 0; c < texts[t].size(); ++c) {
                const size_t column = static_cast<size_t>(tables[t].columns[c]);
                has[column] = present[t][c];
                values[column] = texts[t][c];
            }
        }
        const int count = lineLength(has.data());
        if (!sink.row(values.data(), has.data(), count)) {
            result.error = sink.error();
            return false;
        }
        if ((r & 0xFFF) == 0) {
            if (cancel)
                return false;
            if (observer.progress)
                observer.progress(QString(), r, lines,
                                  kReadShare + (1 - kReadShare) * static_cast<double>(r) /
                                                   static_cast<double>(lines));
        }
    }
    result.rows = lines;
    return true;
}
