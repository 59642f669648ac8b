#include "TableRead.h"

#include <algorithm>
#include <numeric>

namespace
{
constexpr int kLineWidth = 512;
constexpr int kOptionWidth = 72;
constexpr int kMostParts = 4;
constexpr int kNamedKeys = 5;
constexpr qint64 kMostReservedRows = 100000;
// A paced part aims at this share of a page, so that an uneven stretch still fits.
constexpr double kPacedShare = 0.8;

// A key value made only of digits, as document numbers are: its number, else nothing.
std::optional<qint64> number(QStringView value)
{
    if (value.isEmpty() || value.size() > 18)
        return std::nullopt;
    qint64 n = 0;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}
} // namespace

TableRead::TableRead(RfcDestination& destination, KeyCatalog& catalog,
                     const std::atomic<bool>& cancel, Request request)
    : m_destination(destination), m_catalog(catalog), m_cancel(cancel),
      m_request(std::move(request)), m_pageRows(std::max<qint64>(1, m_request.pageRows))
{
    m_request.floorRows = std::clamp<qint64>(m_request.floorRows, 1, m_pageRows);
}

TableRead::Status TableRead::fail(const QString& exception, const QString& message,
                                  const QString& explanation)
{
    m_failure.exception = exception;
    m_failure.message = message;
    m_failure.explanation = explanation;
    return Status::Failed;
}

TableRead::Status TableRead::run(const BatchSink& sink, const Observer& observer)
{
    m_sink = sink;
    m_observer = observer;
    if (m_request.columns.empty() || m_request.pieces.empty())
        return Status::Done;
    const bool fitsOneCall = m_request.limit > 0 && m_request.limit <= m_pageRows;
    if (m_request.pieces.size() == 1 && fitsOneCall) {
        const Status status = readByPosition(true);
        if (status != Status::Stopped)
            return status;
    }
    const KeyCatalog::Keys keys = m_catalog.keysOf(m_destination, m_request.table, &m_cancel);
    if (m_cancel)
        return Status::Cancelled;
    for (const KeyField& field : keys.fields) {
        if (!field.client)
            m_keys.push_back(field);
    }
    if (!keys.known || m_keys.empty()) {
        m_note = keys.known
                     ? QStringLiteral("%1 has no key fields in the dictionary").arg(m_request.table)
                     : QStringLiteral("the key of %1 is not known: %2")
                           .arg(m_request.table, keys.problem);
        m_note += m_request.pieces.size() > 1
                      ? QStringLiteral(": its pieces were joined by position")
                      : QStringLiteral(": it was read in one call");
        return readByPosition(false);
    }
    if (!buildKeyedPieces())
        return Status::Failed;
    return readByKey();
}

// --- reads without the key

TableRead::Piece TableRead::pieceOf(const std::vector<int>& columns) const
{
    Piece piece;
    for (int c : columns) {
        piece.fields.append(m_request.columns[static_cast<size_t>(c)].field);
        piece.lengths.push_back(m_request.columns[static_cast<size_t>(c)].length);
        piece.columns.push_back(c);
    }
    return piece;
}

TableRead::Status TableRead::readByPosition(bool mayReadInParts)
{
    m_pieces.clear();
    for (const std::vector<int>& columns : m_request.pieces)
        m_pieces.push_back(pieceOf(columns));
    std::vector<TableBatch::Piece> pieces;
    qsizetype rows = 0;
    for (const Piece& piece : m_pieces) {
        Status status = Status::Done;
        bool outOfResources = false;
        const std::optional<Answer> answer =
            call(piece, KeyRange{}, m_request.limit, &status, &outOfResources);
        if (!answer) {
            if (!outOfResources)
                return status;
            if (mayReadInParts) {
                // The system could not give that many rows at once: the caller reads in parts.
                m_pageRows =
                    std::max(m_request.floorRows, std::min(m_pageRows, m_request.limit) / 2);
                m_pieces.clear();
                return Status::Stopped;
            }
            return fail(m_failure.exception, m_failure.message,
                        QStringLiteral("%1 is too large to be read in one call, and without its "
                                       "key it cannot be read in parts")
                            .arg(m_request.table));
        }
        // A system that ignores ROWCOUNT sends more; the limit still holds.
        qsizetype count = answer->block->size();
        if (m_request.limit > 0)
            count = std::min<qsizetype>(count, m_request.limit);
        rows = std::max(rows, count);
        std::vector<qsizetype> order(static_cast<size_t>(count));
        std::iota(order.begin(), order.end(), 0);
        pieces.push_back({answer->block, answer->places, std::move(order)});
    }
    return passOn(std::move(pieces), rows, 1.0);
}

// --- reads by key

bool TableRead::buildKeyedPieces()
{
    const auto width = [&](const std::vector<int>& columns) {
        int total = 0;
        for (const KeyField& key : m_keys) {
            const bool chosen = std::any_of(columns.begin(), columns.end(), [&](int c) {
                return m_request.columns[static_cast<size_t>(c)].field.compare(
                           key.name, Qt::CaseInsensitive) == 0;
            });
            if (!chosen)
                total += key.length;
        }
        for (int c : columns)
            total += m_request.columns[static_cast<size_t>(c)].length;
        return total;
    };
    // Each piece also carries the key; a piece that no longer fits a line is halved.
    std::deque<std::vector<int>> todo(m_request.pieces.begin(), m_request.pieces.end());
    std::vector<std::vector<int>> parts;
    while (!todo.empty()) {
        std::vector<int> columns = todo.front();
        todo.pop_front();
        if (width(columns) <= kLineWidth) {
            parts.push_back(columns);
            continue;
        }
        if (columns.size() == 1) {
            fail({}, {},
                 QStringLiteral("the field %1 and the key of %2 do not fit together in one "
                                "read of %3 characters")
                     .arg(m_request.columns[static_cast<size_t>(columns.front())].field,
                          m_request.table)
                     .arg(kLineWidth));
            return false;
        }
        const auto middle = columns.begin() + static_cast<qsizetype>(columns.size() / 2);
        todo.push_front(std::vector<int>(middle, columns.end()));
        todo.push_front(std::vector<int>(columns.begin(), middle));
    }
    m_pieces.clear();
    for (const std::vector<int>& columns : parts) {
        Piece piece = pieceOf(columns);
        for (const KeyField& key : m_keys) {
            qsizetype at = -1;
            for (qsizetype i = 0; i < piece.fields.size() && at < 0; ++i) {
                if (piece.fields.at(i).compare(key.name, Qt::CaseInsensitive) == 0)
                    at = i;
            }
            if (at < 0) {
                at = piece.fields.size();
                piece.fields.append(key.name);
                piece.lengths.push_back(key.length);
            }
            piece.keySlots.push_back(static_cast<int>(at));
        }
        m_pieces.push_back(piece);
    }
    return true;
}

TableRead::Status TableRead::readByKey()
{
    m_todo.clear();
    m_todo.push_back(Part{KeyRange{}, std::nullopt, 1.0, false});
    while (!m_todo.empty()) {
        if (m_cancel)
            return Status::Cancelled;
        if (m_request.limit > 0 && m_emitted >= m_request.limit)
            break;
        Part part = std::move(m_todo.front());
        m_todo.pop_front();
        const Status status = part.sample ? split(std::move(part)) : readPart(std::move(part));
        if (status != Status::Done)
            return status;
    }
    m_todo.clear();
    return Status::Done;
}

std::optional<TableRead::Answer> TableRead::call(const Piece& piece, const KeyRange& range,
                                                 qint64 rowCount, Status* status,
                                                 bool* outOfResources)
{
    *outOfResources = false;
    TableCall::Request request;
    request.table = m_request.table;
    request.fields = piece.fields;
    request.rowCount = rowCount;
    QStringList condition;
    QString why;
    if (!range.tokens(m_keys, condition, &why) ||
        !KeyRange::optionLines(m_request.options, condition, kOptionWidth, request.options, &why)) {
        *status = fail({}, {},
                       QStringLiteral("%1 cannot be read in parts: %2").arg(m_request.table, why));
        return std::nullopt;
    }
    TableCall tableCall(m_destination, &m_cancel);
    Answer answer{std::make_shared<RowBlock>(), {}};
    if (rowCount > 0) {
        qsizetype width = 0;
        for (int length : piece.lengths)
            width += length;
        answer.block->reserve(std::min<qint64>(rowCount, kMostReservedRows), width);
    }
    ++m_calls;
    switch (tableCall.run(request, *answer.block)) {
    case TableCall::Outcome::Done:
        break;
    case TableCall::Outcome::Cancelled:
        *status = Status::Cancelled;
        return std::nullopt;
    case TableCall::Outcome::OutOfResources:
        *outOfResources = true;
        m_failure.exception = tableCall.exception();
        m_failure.message = tableCall.message();
        return std::nullopt;
    case TableCall::Outcome::Failed:
        *status = fail(tableCall.exception(), tableCall.message(), {});
        return std::nullopt;
    }
    if (!tableCall.slotsFor(piece.fields, piece.lengths, answer.places, &why)) {
        *status = fail({}, {}, why);
        return std::nullopt;
    }
    return answer;
}

bool TableRead::shrinkPage()
{
    if (m_pageRows <= m_request.floorRows) {
        fail(m_failure.exception, m_failure.message,
             QStringLiteral("the system ran out of memory or time reading %1, even %2 rows at a "
                            "time")
                 .arg(m_request.table)
                 .arg(m_pageRows));
        return false;
    }
    m_pageRows = std::max(m_request.floorRows, m_pageRows / 2);
    return true;
}

TableRead::Status TableRead::readPart(Part part)
{
    qint64 wanted = m_pageRows;
    if (m_request.limit > 0)
        wanted = std::min(wanted, m_request.limit - m_emitted);
    Status status = Status::Done;
    if (part.pace > 0 && readPaced(part, wanted, &status))
        return status;
    bool outOfResources = false;
    const Piece& first = m_pieces.front();
    std::optional<Answer> answer = call(first, part.range, wanted + 1, &status, &outOfResources);
    if (!answer) {
        if (!outOfResources)
            return status;
        if (!shrinkPage())
            return Status::Failed;
        m_todo.push_front(std::move(part));
        return Status::Done;
    }
    return readAnswer(std::move(part), std::move(*answer), wanted);
}

TableRead::Status TableRead::readAnswer(Part part, Answer answer, qint64 wanted)
{
    const Piece& first = m_pieces.front();
    const RowBlock& block = *answer.block;
    std::vector<qsizetype> rows(static_cast<size_t>(block.size()));
    std::iota(rows.begin(), rows.end(), 0);
    bool inOrder = true;
    QString duplicate;
    if (!orderByKey(first, answer, rows, &inOrder, &duplicate))
        return fail({}, {},
                    QStringLiteral("the system returned the row %1 of %2 twice in one answer")
                        .arg(duplicate, m_request.table));
    // In key order, the first and the last row bound all the others.
    for (qsizetype r : {rows.empty() ? qsizetype(-1) : rows.front(),
                        rows.empty() ? qsizetype(-1) : rows.back()}) {
        if (r < 0)
            continue;
        const auto value = [&](int i) {
            return block.value(
                r, answer.places[static_cast<size_t>(first.keySlots[static_cast<size_t>(i)])]);
        };
        if (!part.range.contains(m_keys, value))
            return fail({}, {},
                        QStringLiteral("the system returned the row %1 for a part of %2 that "
                                       "does not hold it: it orders the key differently, so the "
                                       "table cannot be read in parts exactly")
                            .arg(keyText(first, answer, r), m_request.table));
    }
    // Fewer rows than asked: the part is complete. More than asked: the system ignores
    // ROWCOUNT and sent them all.
    if (block.size() != wanted + 1)
        return accept(part, answer, std::move(rows));
    part.sample = Sample{std::move(answer), std::move(rows), inOrder};
    return split(std::move(part));
}

bool TableRead::readPaced(Part& part, qint64 wanted, Status* status)
{
    const KeyRange& range = part.range;
    if (!range.low || !range.lowInclusive || range.depth() >= static_cast<int>(m_keys.size()))
        return false;
    const auto low = number(*range.low);
    if (!low)
        return false;
    const double step = part.pace * kPacedShare * static_cast<double>(wanted);
    const qint64 end = *low + std::max<qint64>(1, static_cast<qint64>(step));
    QString bound = QString::number(end).rightJustified(range.low->size(), u'0');
    const KeyField& field = m_keys[static_cast<size_t>(range.depth())];
    if (bound.size() != range.low->size() || (range.high && field.compare(bound, *range.high) >= 0))
        return false;
    const Piece& first = m_pieces.front();
    const KeyRange lower = range.below(bound);
    bool outOfResources = false;
    std::optional<Answer> answer = call(first, lower, wanted + 1, status, &outOfResources);
    if (!answer) {
        if (!outOfResources)
            return true;
        part.pace = 0; // read it as any other part, with a smaller page
        if (shrinkPage())
            m_todo.push_front(std::move(part));
        else
            *status = Status::Failed;
        return true;
    }
    const qsizetype rows = answer->block->size();
    Part rest{range.from(bound, true), std::nullopt, part.weight / 2, false};
    // An empty stretch doubles the pace; a thin one, near the end of the data, lets the rest be
    // read as a whole.
    if (rows == 0)
        rest.pace = part.pace * 2;
    else if (static_cast<double>(rows) >= 0.25 * static_cast<double>(wanted))
        rest.pace = static_cast<double>(end - *low) / static_cast<double>(rows);
    m_todo.push_front(std::move(rest));
    Part piece{lower, std::nullopt, part.weight / 2, part.retried};
    *status = readAnswer(std::move(piece), std::move(*answer), wanted);
    return true;
}

TableRead::Status TableRead::split(Part part)
{
    const Sample& sample = *part.sample;
    const int depth = part.range.depth();
    const Piece& first = m_pieces.front();
    if (depth >= static_cast<int>(m_keys.size()))
        return fail({}, {},
                    QStringLiteral("the system returned more rows of %1 than its key allows")
                        .arg(m_request.table));
    const KeyField& field = m_keys[static_cast<size_t>(depth)];
    const RowBlock::Slot slot =
        sample.answer.places[static_cast<size_t>(first.keySlots[static_cast<size_t>(depth)])];
    // Runs of rows with the same value of the field that splits this part.
    struct Run {
        QString value;
        qsizetype start;
    };
    std::vector<Run> runs;
    for (qsizetype i = 0; i < static_cast<qsizetype>(sample.rows.size()); ++i) {
        const QStringView value =
            sample.answer.block->value(sample.rows[static_cast<size_t>(i)], slot);
        if (runs.empty() || field.compare(value, runs.back().value) != 0)
            runs.push_back({value.toString(), i});
    }
    const double weight = part.weight;
    if (runs.size() == 1) {
        // Every row has one value: split on the next key field below it.
        const QString value = runs.front().value;
        m_todo.push_front(Part{part.range.from(value, false), std::nullopt, weight * 0.05, false});
        Part inner{part.range.within(value), std::move(part.sample), weight * 0.9, false};
        m_todo.push_front(std::move(inner));
        if (!part.range.low || field.compare(*part.range.low, value) != 0)
            m_todo.push_front(Part{part.range.below(value), std::nullopt, weight * 0.05, false});
        return Status::Done;
    }
    if (sample.arrivedInOrder) {
        // The system seems to return rows in key order: then the part below the last value
        // holds exactly the sample's rows there. Its keys alone tell whether it does.
        const QString last = runs.back().value;
        const qsizetype below = runs.back().start;
        Piece keys;
        for (size_t i = 0; i < m_keys.size(); ++i) {
            keys.fields.append(m_keys[i].name);
            keys.lengths.push_back(m_keys[i].length);
            keys.keySlots.push_back(static_cast<int>(i));
        }
        const KeyRange lower = part.range.below(last);
        Status status = Status::Done;
        bool outOfResources = false;
        std::optional<Answer> answer = call(keys, lower, below + 1, &status, &outOfResources);
        if (!answer) {
            if (!outOfResources)
                return status;
            if (!shrinkPage())
                return Status::Failed;
            m_todo.push_front(std::move(part));
            return Status::Done;
        }
        std::vector<qsizetype> rows(static_cast<size_t>(answer->block->size()));
        std::iota(rows.begin(), rows.end(), 0);
        QString duplicate;
        bool inOrder = true;
        bool same = static_cast<qsizetype>(rows.size()) == below &&
                    orderByKey(keys, *answer, rows, &inOrder, &duplicate);
        for (qsizetype i = 0; same && i < below; ++i)
            same = compareKeys(keys, *answer, rows[static_cast<size_t>(i)], first, sample.answer,
                               sample.rows[static_cast<size_t>(i)]) == 0;
        if (same) {
            Part rest{part.range.from(last, true), std::nullopt, weight / 2, false};
            const auto from = number(runs.front().value);
            const auto to = number(last);
            if (from && to && *to > *from && runs.front().value.size() == last.size())
                rest.pace = static_cast<double>(*to - *from) / static_cast<double>(below);
            m_todo.push_front(std::move(rest));
            return accept(Part{lower, std::nullopt, weight / 2, false}, sample.answer,
                          std::vector<qsizetype>(sample.rows.begin(), sample.rows.begin() + below));
        }
    }
    // Split at values that share the sample's rows out evenly.
    const int parts = std::min<int>(kMostParts, static_cast<int>(runs.size()));
    const qsizetype total = static_cast<qsizetype>(sample.rows.size());
    std::vector<size_t> cuts; // runs that start a new part
    for (int p = 1; p < parts; ++p) {
        const qsizetype target = total * p / parts;
        size_t at = cuts.empty() ? 1 : cuts.back() + 1;
        while (at + 1 < runs.size() && runs[at].start < target)
            ++at;
        if (at < runs.size() && (cuts.empty() || at > cuts.back()))
            cuts.push_back(at);
    }
    std::vector<Part> pieces;
    KeyRange rest = part.range;
    qsizetype start = 0;
    for (size_t cut : cuts) {
        const Run& run = runs[cut];
        pieces.push_back(Part{rest.below(run.value), std::nullopt,
                              weight * static_cast<double>(run.start - start) / total, false});
        rest = rest.from(run.value, true);
        start = run.start;
    }
    pieces.push_back(
        Part{rest, std::nullopt, weight * static_cast<double>(total - start) / total, false});
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        m_todo.push_front(std::move(*it));
    return Status::Done;
}

TableRead::Status TableRead::accept(const Part& part, const Answer& first,
                                    std::vector<qsizetype> rows)
{
    std::vector<TableBatch::Piece> pieces;
    pieces.push_back({first.block, first.places, rows});
    for (size_t p = 1; p < m_pieces.size() && !rows.empty(); ++p) {
        Status status = Status::Done;
        bool outOfResources = false;
        std::optional<Answer> answer =
            call(m_pieces[p], part.range, static_cast<qint64>(rows.size()) + 1, &status,
                 &outOfResources);
        if (!answer) {
            if (!outOfResources)
                return status;
            if (!shrinkPage())
                return Status::Failed;
            m_todo.push_front(Part{part.range, std::nullopt, part.weight, part.retried});
            return Status::Done;
        }
        std::vector<qsizetype> order(static_cast<size_t>(answer->block->size()));
        std::iota(order.begin(), order.end(), 0);
        QString duplicate;
        bool inOrder = true;
        bool same = orderByKey(m_pieces[p], *answer, order, &inOrder, &duplicate) &&
                    order.size() == rows.size();
        for (size_t i = 0; same && i < rows.size(); ++i)
            same =
                compareKeys(m_pieces[p], *answer, order[i], m_pieces.front(), first, rows[i]) == 0;
        if (!same) {
            // Rows came or went between the calls: read the part again, once.
            if (!part.retried) {
                m_todo.push_front(Part{part.range, std::nullopt, part.weight, true});
                return Status::Done;
            }
            QStringList keys;
            size_t i = 0;
            size_t j = 0;
            while ((i < rows.size() || j < order.size()) && keys.size() < kNamedKeys) {
                const int c = i >= rows.size()    ? 1
                              : j >= order.size() ? -1
                                                  : compareKeys(m_pieces.front(), first, rows[i],
                                                                m_pieces[p], *answer, order[j]);
                if (c < 0)
                    keys.append(keyText(m_pieces.front(), first, rows[i++]));
                else if (c > 0)
                    keys.append(keyText(m_pieces[p], *answer, order[j++]));
                else {
                    ++i;
                    ++j;
                }
            }
            if (!duplicate.isEmpty() && keys.isEmpty())
                keys.append(duplicate);
            m_failure.keys = keys;
            return fail({}, {},
                        QStringLiteral("the rows of %1 changed while it was read: its pieces "
                                       "disagree on %2")
                            .arg(m_request.table, keys.join(QStringLiteral(", "))));
        }
        pieces.push_back({answer->block, answer->places, std::move(order)});
    }
    qsizetype count = static_cast<qsizetype>(rows.size());
    if (m_request.limit > 0)
        count = std::min<qsizetype>(count, m_request.limit - m_emitted);
    for (TableBatch::Piece& piece : pieces)
        piece.order.resize(static_cast<size_t>(count));
    if (count > 0) {
        const Piece& lead = m_pieces.front();
        if (!m_lastKey.empty()) {
            int c = 0;
            for (size_t i = 0; i < m_keys.size() && c == 0; ++i)
                c = m_keys[i].compare(
                    first.block->value(rows.front(),
                                       first.places[static_cast<size_t>(lead.keySlots[i])]),
                    m_lastKey[i]);
            if (c <= 0)
                return fail({}, {},
                            QStringLiteral("the system returned the row %1 of %2 out of key "
                                           "order: it orders the key differently, so the table "
                                           "cannot be read in parts exactly")
                                .arg(keyText(lead, first, rows.front()), m_request.table));
        }
        const qsizetype lastRow = rows[static_cast<size_t>(count - 1)];
        m_lastKey.clear();
        for (size_t i = 0; i < m_keys.size(); ++i)
            m_lastKey.push_back(
                first.block->value(lastRow, first.places[static_cast<size_t>(lead.keySlots[i])])
                    .toString());
    }
    return passOn(std::move(pieces), count, part.weight);
}

TableRead::Status TableRead::passOn(std::vector<TableBatch::Piece> pieces, qsizetype rows,
                                    double weight)
{
    std::vector<TableBatch::Column> columns(m_request.columns.size());
    for (size_t p = 0; p < m_pieces.size(); ++p) {
        const Piece& piece = m_pieces[p];
        for (size_t i = 0; i < piece.columns.size(); ++i)
            columns[static_cast<size_t>(piece.columns[i])] = {static_cast<int>(p),
                                                              static_cast<int>(i)};
    }
    m_emitted += rows;
    m_done = std::min(1.0, m_done + weight);
    if (rows > 0 && m_sink && !m_sink(TableBatch(std::move(pieces), std::move(columns), rows)))
        return Status::Stopped;
    if (m_observer.progress) {
        double fraction = m_done;
        if (m_request.limit > 0)
            fraction = std::max(fraction, static_cast<double>(m_emitted) /
                                              static_cast<double>(m_request.limit));
        m_observer.progress(m_emitted, std::min(1.0, fraction));
    }
    return Status::Done;
}

bool TableRead::orderByKey(const Piece& piece, const Answer& answer, std::vector<qsizetype>& rows,
                           bool* arrivedInOrder, QString* duplicate) const
{
    const auto compare = [&](qsizetype a, qsizetype b) {
        return compareKeys(piece, answer, a, piece, answer, b);
    };
    *arrivedInOrder = true;
    for (size_t i = 1; i < rows.size() && *arrivedInOrder; ++i)
        *arrivedInOrder = compare(rows[i - 1], rows[i]) < 0;
    if (*arrivedInOrder)
        return true;
    std::sort(rows.begin(), rows.end(),
              [&](qsizetype a, qsizetype b) { return compare(a, b) < 0; });
    for (size_t i = 1; i < rows.size(); ++i) {
        if (compare(rows[i - 1], rows[i]) == 0) {
            if (duplicate)
                *duplicate = keyText(piece, answer, rows[i]);
            return false;
        }
    }
    return true;
}

int TableRead::compareKeys(const Piece& a, const Answer& x, qsizetype i, const Piece& b,
                           const Answer& y, qsizetype j) const
{
    for (size_t k = 0; k < m_keys.size(); ++k) {
        const int c =
            m_keys[k].compare(x.block->value(i, x.places[static_cast<size_t>(a.keySlots[k])]),
                              y.block->value(j, y.places[static_cast<size_t>(b.keySlots[k])]));
        if (c != 0)
            return c;
    }
    return 0;
}

QString TableRead::keyText(const Piece& piece, const Answer& answer, qsizetype row) const
{
    QStringList values;
    for (size_t k = 0; k < m_keys.size(); ++k)
        values.append(
            answer.block->value(row, answer.places[static_cast<size_t>(piece.keySlots[k])])
                .trimmed()
                .toString());
    return values.join(u'/');
}
