#include "query/read/TableRead.h"

#include "query/read/SessionPool.h"
#include "sap/ReadTableWidths.h"
#include "shell/FaultTexts.h"
#include "shell/Texts.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <thread>

namespace
{
constexpr int kOptionWidth = ReadTableWidths::kOptionLine;
constexpr int kNamedKeys = 5;
constexpr qint64 kMostReservedRows = 100000;
// A step probes the limit while the gap between what passed and what failed is wider than this
// share of what failed; else it aims a little below what passed and asks for what passed, as
// stretches are uneven.
constexpr qint64 kProbeGapShare = 32;
constexpr double kBelowPassedShare = 63.0 / 64.0;
// A probe halfway to what failed that would pass this share of what passed, or more, goes out
// alone: steps beside it, cut below what passed, would hold far fewer rows.
constexpr double kProbeAloneShare = 4.0 / 3.0;
} // namespace

struct TableRead::Fetch {
    std::mutex lock;
    std::condition_variable arrived;
    bool done = false;
    qint64 rowCount = 0;
    double aim = 0;          // rows a step was cut to hold (0: no step)
    bool endedShort = false; // a step whose rows ended within it
    int shrinks = 0;         // of the page, when it was given out
    Attempt attempt;
};

// What the calls given out are doing, for a read that waits on one of them.
struct TableRead::Arrivals {
    std::mutex lock;
    std::condition_variable changed;
    int arrived = 0;  // answers in
    int inFlight = 0; // calls given out and not answered yet
};

TableRead::TableRead(RfcDestination& destination, KeyCatalog& catalog,
                     const std::atomic<bool>& cancel, Request request, SessionPool* sessions)
    : m_destination(destination), m_catalog(catalog), m_cancel(cancel),
      m_request(std::move(request)), m_pageRows(std::max<qint64>(1, m_request.pageRows)),
      m_sessions(sessions && sessions->wanted() > 1 ? sessions : nullptr),
      m_arrivals(std::make_shared<Arrivals>())
{
    const KeyCatalog::PageLimits learned = m_catalog.pageLimits(m_request.table);
    if (learned.page > 0) {
        m_pageRows = std::min(m_pageRows, learned.page);
        m_mostPassed = learned.mostPassed;
        m_leastFailed = learned.leastFailed;
    }
    m_request.floorRows = std::clamp<qint64>(m_request.floorRows, 1, m_pageRows);
}

TableRead::Status TableRead::fail(const QString& exception, const BiText& message,
                                  const BiText& explanation)
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
        const BiText why =
            Texts::get(keys.known ? TextId::ReadNoKeyFields : TextId::ReadKeyUnknown);
        const BiText how = Texts::get(m_request.pieces.size() > 1 ? TextId::ReadJoinedByPosition
                                                                  : TextId::ReadInOneCall);
        m_note = (keys.known ? why.arg(m_request.table)
                             : BiText{why.en.arg(m_request.table, keys.problem.en),
                                      why.pt.arg(m_request.table, keys.problem.pt)}) +
                 how;
        return readByPosition(false);
    }
    BiText why;
    std::optional<std::vector<Piece>> pieces =
        PieceLayout::keyed(m_request.columns, m_request.pieces, m_keys, m_request.table, &why,
                           m_request.module.lineWidth());
    if (!pieces)
        return fail({}, {}, why);
    m_pieces = std::move(*pieces);
    return readByKey();
}

// --- reads without the key

TableRead::Status TableRead::readByPosition(bool mayReadInParts)
{
    m_pieces = PieceLayout::plain(m_request.columns, m_request.pieces);
    std::vector<TableBatch::Piece> pieces;
    qsizetype rows = 0;
    std::vector<Attempt> together;
    if (m_sessions && m_pieces.size() > 1) {
        together.resize(m_pieces.size());
        m_sessions->runTogether(
            static_cast<int>(m_pieces.size()), [&](int p, RfcDestination& session) {
                together[static_cast<size_t>(p)] =
                    attempt(session, m_pieces[static_cast<size_t>(p)], KeyRange{}, m_request.limit);
            });
    }
    for (size_t p = 0; p < m_pieces.size(); ++p) {
        Status status = Status::Done;
        bool outOfResources = false;
        const std::optional<Answer> answer =
            together.empty()
                ? call(m_pieces[p], KeyRange{}, m_request.limit, &status, &outOfResources)
                : settle(std::move(together[p]), &status, &outOfResources);
        if (!answer) {
            if (!outOfResources)
                return status;
            if (mayReadInParts) {
                // The system could not give that many rows at once: the caller reads in parts.
                const qint64 asked = std::min(m_pageRows, m_request.limit);
                m_leastFailed = asked + 1;
                m_pageRows = std::max(m_request.floorRows, asked / 2);
                keepPageLimits();
                m_pieces.clear();
                return Status::Stopped;
            }
            return fail(m_failure.exception, m_failure.message,
                        FaultTexts::get(FaultText::TooLargeWithoutKey).arg(m_request.table));
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

TableRead::Status TableRead::readByKey()
{
    m_todo.clear();
    m_todo.push_back(Part{KeyRange{}, std::nullopt, 1.0, false});
    while (!m_todo.empty()) {
        if (m_cancel)
            return Status::Cancelled;
        if (m_request.limit > 0 && m_emitted >= m_request.limit)
            break;
        if (m_sessions && m_request.limit == 0)
            fetchAhead();
        Part part = std::move(m_todo.front());
        m_todo.pop_front();
        const Status status = part.sample ? split(std::move(part)) : readPart(std::move(part));
        if (status != Status::Done)
            return status;
    }
    m_todo.clear();
    return Status::Done;
}

TableRead::Attempt TableRead::attempt(RfcDestination& session, const Piece& piece,
                                      const KeyRange& range, qint64 rowCount,
                                      const std::vector<KeyRange>& before)
{
    Attempt attempt;
    TableCall::Request request;
    request.table = m_request.table;
    request.fields = piece.fields;
    request.rowCount = rowCount;
    QStringList condition;
    BiText why;
    std::vector<KeyRange> ranges = before;
    ranges.push_back(range);
    if (!KeyRange::anyOf(ranges, m_keys, condition, &why) ||
        !KeyRange::optionLines(m_request.options, condition, kOptionWidth, request.options, &why)) {
        attempt.outcome = TableCall::Outcome::Refused;
        const BiText text = FaultTexts::get(FaultText::NotInParts);
        attempt.problem = {text.en.arg(m_request.table, why.en),
                           text.pt.arg(m_request.table, why.pt)};
        return attempt;
    }
    TableCall tableCall(session, &m_cancel, m_request.module);
    Answer answer{std::make_shared<RowBlock>(), {}};
    if (rowCount > 0) {
        qsizetype width = 0;
        for (int length : piece.lengths)
            width += length;
        answer.block->reserve(std::min<qint64>(rowCount, kMostReservedRows), width);
    }
    // A large page gets one more try only: a way that keeps breaking under it may break because
    // of it (a gateway that drops calls that run long), which a small page then tells.
    const bool large = rowCount > m_request.floorRows + 1;
    int broken = runAcrossBreaks(tableCall, request, *answer.block, large ? 1 : kConnectionRetries,
                                 &attempt.outcome);
    attempt.exception = tableCall.exception();
    attempt.message = tableCall.message();
    attempt.problem = tableCall.problem();
    if (broken > 0 && attempt.outcome == TableCall::Outcome::SystemFailure && large && !m_cancel) {
        int probeBroken = 0;
        attempt.tooLarge = smallPagePasses(session, request, &probeBroken);
        broken = probeBroken > 0 ? broken + probeBroken : 0;
    } else if (!tableCall.connectionLost()) {
        broken = 0;
    }
    if (broken > 0) {
        if (m_cancel) {
            attempt.outcome = TableCall::Outcome::Cancelled;
            return attempt;
        }
        attempt.problem = FaultTexts::get(FaultText::ConnectionLost)
                              .arg(m_request.table, QString::number(broken));
        return attempt;
    }
    switch (attempt.outcome) {
    case TableCall::Outcome::Done:
        if (!tableCall.slotsFor(piece.fields, piece.lengths, answer.places, &why)) {
            attempt.outcome = TableCall::Outcome::Refused;
            attempt.problem = why;
            attempt.exception.clear();
            return attempt;
        }
        attempt.answer = std::move(answer);
        break;
    case TableCall::Outcome::SystemFailure:
        // What a failure says is no guide (its words come in the logon language, or not at
        // all): a page that fails where a small one of the same rows passes was too large.
        if (!attempt.tooLarge && large && !tableCall.connectionLost())
            attempt.tooLarge = smallPagePasses(session, request, nullptr);
        break;
    case TableCall::Outcome::Refused:
        attempt.answerRefused = true;
        break;
    default:
        break;
    }
    return attempt;
}

std::optional<TableRead::Answer> TableRead::settle(Attempt attempt, Status* status,
                                                   bool* outOfResources)
{
    *outOfResources = false;
    switch (attempt.outcome) {
    case TableCall::Outcome::Done:
        return std::move(attempt.answer);
    case TableCall::Outcome::Cancelled:
        *status = Status::Cancelled;
        return std::nullopt;
    case TableCall::Outcome::OutOfResources:
        *outOfResources = true;
        m_failure.exception = attempt.exception;
        m_failure.message = attempt.message;
        return std::nullopt;
    case TableCall::Outcome::SystemFailure:
        if (attempt.tooLarge) {
            *outOfResources = true;
            m_failure.exception = attempt.exception;
            m_failure.message = attempt.message;
            return std::nullopt;
        }
        *status = fail(attempt.exception, attempt.message, attempt.problem);
        return std::nullopt;
    case TableCall::Outcome::Failed:
        *status = fail(attempt.exception, attempt.message, {});
        noteModuleFailure(attempt.exception);
        return std::nullopt;
    case TableCall::Outcome::Refused:
        *status = fail({}, {}, attempt.problem);
        if (attempt.answerRefused)
            noteModuleFailure({});
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<TableRead::Answer> TableRead::call(const Piece& piece, const KeyRange& range,
                                                 qint64 rowCount, Status* status,
                                                 bool* outOfResources,
                                                 const std::vector<KeyRange>& before)
{
    // A read with nothing to do side by side opens no more sessions; once it has, a call the
    // read waits for goes before the calls asked for ahead.
    if (m_sessions && m_sessions->serving()) {
        const int id = give(piece, range, rowCount, true, nullptr, before);
        if (id != 0) {
            // Sessions done meanwhile get the calls already cut: the parts in front may be
            // taken back after this call, as after a check of keys that fails.
            if (m_request.limit == 0)
                awaitFetch(id, true);
            qint64 asked = 0;
            return settle(takeFetch(id, &asked), status, outOfResources);
        }
    }
    return settle(attempt(m_destination, piece, range, rowCount, before), status, outOfResources);
}

int TableRead::give(const Piece& piece, const KeyRange& range, qint64 rowCount, bool urgent,
                    Part* step, const std::vector<KeyRange>& before)
{
    const auto fetch = std::make_shared<Fetch>();
    fetch->rowCount = rowCount;
    fetch->shrinks = m_shrinks;
    std::shared_ptr<PartSplit::Stretch> stretch;
    int place = 0;
    if (step) {
        fetch->aim = step->aim;
        stretch = step->stretch;
        if (stretch) {
            std::lock_guard lock(stretch->lock);
            place = step->place = stretch->given++;
        }
    }
    {
        std::lock_guard lock(m_arrivals->lock);
        ++m_arrivals->inFlight;
    }
    // Once the fetch is done the read may end: the job touches nothing of it after that. The
    // answer is counted in after it is done, so that a read waiting on it sees it.
    const bool given = m_sessions->submit(
        [this, fetch, arrivals = m_arrivals, &piece, range, before, stretch,
         place](RfcDestination& session) {
            bool skip = false;
            if (stretch) {
                std::lock_guard lock(stretch->lock);
                skip = stretch->shortAt < place;
            }
            Attempt answer;
            answer.skipped = skip;
            if (!skip)
                answer = attempt(session, piece, range, fetch->rowCount, before);
            const bool endedShort =
                fetch->aim > 0 && answer.answer && rowsEnded(range, *answer.answer, fetch->aim);
            if (stretch && endedShort) {
                std::lock_guard lock(stretch->lock);
                stretch->shortAt = std::min(stretch->shortAt, place);
            }
            {
                std::lock_guard lock(fetch->lock);
                fetch->endedShort = endedShort;
                fetch->attempt = std::move(answer);
                fetch->done = true;
                fetch->arrived.notify_all();
            }
            std::lock_guard lock(arrivals->lock);
            ++arrivals->arrived;
            --arrivals->inFlight;
            arrivals->changed.notify_all();
        },
        urgent);
    if (!given) {
        std::lock_guard lock(m_arrivals->lock);
        --m_arrivals->inFlight;
        return 0;
    }
    m_fetches.emplace(++m_lastFetch, fetch);
    return m_lastFetch;
}

int TableRead::giveAhead(Part& part)
{
    part.fetch = give(m_pieces.front(), part.range, pageOf(part) + 1, false, &part);
    return part.fetch;
}

void TableRead::awaitFetch(int id, bool giveOnly)
{
    m_givingOnly = giveOnly;
    const std::shared_ptr<Fetch> fetch = m_fetches.at(id);
    for (;;) {
        int seen = 0;
        {
            std::lock_guard lock(m_arrivals->lock);
            seen = m_arrivals->arrived;
        }
        {
            std::lock_guard lock(fetch->lock);
            if (fetch->done)
                break;
        }
        fetchAhead(true);
        std::unique_lock lock(m_arrivals->lock);
        m_arrivals->changed.wait(lock, [&] { return m_arrivals->arrived != seen; });
    }
    m_givingOnly = false;
}

bool TableRead::aStepCameBackShort() const
{
    for (const auto& [id, fetch] : m_fetches) {
        std::lock_guard lock(fetch->lock);
        if (!fetch->done || fetch->aim <= 0)
            continue;
        const Attempt& attempt = fetch->attempt;
        if (attempt.answer ? fetch->endedShort : !attempt.tooManyRows())
            return true;
    }
    return false;
}

bool TableRead::rowsEnded(const KeyRange& step, const Answer& answer, double aim) const
{
    const RowBlock& block = *answer.block;
    if (static_cast<double>(block.size()) < aim / 2)
        return true;
    const int depth = step.depth();
    if (block.size() == 0 || depth >= static_cast<int>(m_keys.size()))
        return false;
    const KeyField& field = m_keys[static_cast<size_t>(depth)];
    const RowBlock::Slot slot =
        answer.places[static_cast<size_t>(m_pieces.front().keySlots[static_cast<size_t>(depth)])];
    QStringView last = block.value(0, slot);
    for (qsizetype r = 1; r < block.size(); ++r) {
        const QStringView value = block.value(r, slot);
        if (field.compare(value, last) > 0)
            last = value;
    }
    return PartSplit::endsEarly(step, last, block.size(), aim);
}

bool TableRead::waitToRetry(int retry) const
{
    const auto waitMs = static_cast<qint64>(kFirstRetryWaitMs) << (retry - 1);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < waitMs) {
        if (m_cancel)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !m_cancel;
}

bool TableRead::smallPagePasses(RfcDestination& session, TableCall::Request request, int* broken)
{
    request.rowCount = m_request.floorRows + 1;
    TableCall probe(session, &m_cancel, m_request.module);
    RowBlock rows;
    TableCall::Outcome outcome = TableCall::Outcome::Done;
    const int breaks = runAcrossBreaks(probe, request, rows, kConnectionRetries, &outcome);
    if (broken)
        *broken =
            outcome == TableCall::Outcome::SystemFailure && probe.connectionLost() ? breaks : 0;
    return outcome == TableCall::Outcome::Done;
}

int TableRead::runAcrossBreaks(TableCall& call, const TableCall::Request& request, RowBlock& rows,
                               int retries, TableCall::Outcome* outcome)
{
    int broken = 0;
    for (;;) {
        ++m_calls;
        *outcome = call.run(request, rows);
        if (*outcome != TableCall::Outcome::SystemFailure || !call.connectionLost())
            return broken;
        ++broken;
        if (broken > retries || !waitToRetry(broken))
            return broken;
    }
}

void TableRead::noteModuleFailure(const QString& exception)
{
    // These say the same of the request whichever module reads it.
    static const QStringList kAboutTheRequest{
        QStringLiteral("TABLE_NOT_AVAILABLE"), QStringLiteral("TABLE_WITHOUT_DATA"),
        QStringLiteral("OPTION_NOT_VALID"), QStringLiteral("FIELD_NOT_VALID")};
    m_failure.moduleFailed =
        !m_request.module.isClassic() && m_emitted == 0 && !kAboutTheRequest.contains(exception);
}

TableRead::Status TableRead::retrySmaller(Part part, Status failed, bool outOfResources)
{
    if (!outOfResources)
        return failed;
    if (!shrinkPage())
        return Status::Failed;
    m_todo.push_front(std::move(part));
    return Status::Done;
}

bool TableRead::shrinkPage(qint64 failed)
{
    if (m_pageRows <= m_request.floorRows) {
        fail(m_failure.exception, m_failure.message,
             FaultTexts::get(FaultText::OutOfResources)
                 .arg(m_request.table, QString::number(m_pageRows)));
        return false;
    }
    if (failed <= 0)
        failed = m_pageRows + 1;
    m_leastFailed = m_leastFailed > 0 ? std::min(m_leastFailed, failed) : failed;
    ++m_shrinks;
    if (m_mostPassed >= failed - 1)
        m_mostPassed = 0; // as many rows passed before and failed now: what passed tells nothing
    // Between what passed and what failed while that gap is wide, just below what passed once
    // it is narrow; half when nothing passed.
    if (m_mostPassed <= m_request.floorRows)
        m_pageRows = std::max(m_request.floorRows, m_pageRows / 2);
    else if ((m_leastFailed - m_mostPassed) * 16 > m_leastFailed)
        m_pageRows = (m_mostPassed + m_leastFailed) / 2;
    else
        m_pageRows = m_mostPassed - 1;
    keepPageLimits();
    return true;
}

void TableRead::pagePassed(qsizetype rows)
{
    m_mostPassed = std::max<qint64>(m_mostPassed, rows);
    // A page halved under a limit grows back toward the page that failed, by half the gap,
    // while the gap is wider than a sixteenth: each try that fails costs calls.
    if (m_leastFailed <= 0 || (m_leastFailed - m_mostPassed) * 16 <= m_leastFailed)
        return;
    const qint64 grown = (m_mostPassed + m_leastFailed) / 2;
    if (grown <= m_pageRows)
        return;
    m_pageRows = grown;
    keepPageLimits();
}

void TableRead::keepPageLimits()
{
    m_catalog.learnPageLimits(m_request.table, {m_pageRows, m_mostPassed, m_leastFailed});
}

qint64 TableRead::pageOf(const Part& part) const
{
    if (part.aim > 0)
        return askedFor(part.aim);
    if (part.pace > 0 || part.stepAdvance > 0 || m_leastFailed <= 0 ||
        m_mostPassed <= m_request.floorRows)
        return m_pageRows;
    return std::min(m_pageRows, m_mostPassed - 1);
}

qint64 TableRead::stepPage(bool mayProbe) const
{
    if (!limitKnown())
        return m_pageRows;
    // What fails is a number of rows, whatever the page asked for: a step aims halfway between
    // what passed and what failed while that gap is wide (and its failure would narrow it),
    // else just below what passed.
    if (mayProbe && learningLimit()) {
        const qint64 probe = std::llround(static_cast<double>(m_mostPassed + m_leastFailed) / 2 /
                                          PartSplit::kPacedShare);
        if (failureNarrowsLimit(PartSplit::kPacedShare * static_cast<double>(probe)))
            return probe;
    }
    const double rows = static_cast<double>(m_mostPassed) * kBelowPassedShare;
    return std::max<qint64>(1, std::llround(rows / PartSplit::kPacedShare));
}

bool TableRead::learningLimit() const
{
    return limitKnown() && (m_leastFailed - m_mostPassed) * kProbeGapShare > m_leastFailed;
}

bool TableRead::passedFarBelowLimit() const
{
    return limitKnown() && kProbeAloneShare * static_cast<double>(m_mostPassed) <
                               static_cast<double>(m_mostPassed + m_leastFailed) / 2;
}

bool TableRead::heldWhole(const Part& part)
{
    return part.fetch == 0 && part.pace <= 0 && !part.sample && part.aim <= 0;
}

bool TableRead::limitKnown() const
{
    return m_leastFailed > 0 && m_mostPassed > m_request.floorRows;
}

qint64 TableRead::askedFor(double aim) const
{
    // Under a limit, a step asks for no more rows than passed (a probe for little more than it
    // aims at): a stretch denser than its pace then fills a page rather than failing, and what
    // fails tells how many rows did.
    const double rows = limitKnown() ? aim / kBelowPassedShare : aim / PartSplit::kPacedShare;
    return std::max<qint64>(1, std::llround(rows));
}

bool TableRead::probeGivenOut() const
{
    return std::any_of(m_fetches.begin(), m_fetches.end(), [&](const auto& given) {
        return given.second->aim > static_cast<double>(m_mostPassed);
    });
}

qint64 TableRead::failedAt(double aim)
{
    return static_cast<qint64>(std::ceil(aim)) + 1;
}

bool TableRead::failureNarrowsLimit(double aim) const
{
    const qint64 failed = failedAt(aim);
    return failed > m_mostPassed && (m_leastFailed <= 0 || failed < m_leastFailed);
}

TableRead::Status TableRead::retryStep(Part part)
{
    // A step whose failure tells nothing new of the limit is read as a whole part, whose page
    // passes or shrinks. Else the rows aimed at bound the limit, and the step is cut anew.
    if (!failureNarrowsLimit(part.aim))
        part.pace = 0;
    else if (!shrinkPage(failedAt(part.aim)))
        return Status::Failed;
    else if (part.probe && adjoinsRest(part, 0)) {
        joinRest(part, 0);
        return Status::Done;
    } else
        part.pace = static_cast<double>(part.stepAdvance) / part.aim;
    part.stepAdvance = 0;
    part.aim = 0;
    part.stretch = nullptr;
    part.place = 0;
    m_todo.push_front(std::move(part));
    return Status::Done;
}

bool TableRead::adjoinsRest(const Part& probe, size_t at) const
{
    if (at >= m_todo.size() || !probe.range.high)
        return false;
    const Part& rest = m_todo[at];
    return rest.pace > 0 && !rest.sample && rest.fetch == 0 &&
           rest.range.prefix == probe.range.prefix && rest.range.low && rest.range.lowInclusive &&
           *rest.range.low == *probe.range.high;
}

void TableRead::joinRest(const Part& probe, size_t at)
{
    Part& rest = m_todo[at];
    rest.range.low = probe.range.low;
    rest.range.lowInclusive = probe.range.lowInclusive;
    rest.weight += probe.weight;
}

TableRead::ProbeAnswer TableRead::probeAnswer(size_t index)
{
    Part& probe = m_todo[index];
    const std::shared_ptr<Fetch>& fetch = m_fetches.at(probe.fetch);
    {
        std::lock_guard lock(fetch->lock);
        if (!fetch->done)
            return ProbeAnswer::Out;
        const Attempt& attempt = fetch->attempt;
        if (attempt.answer) {
            if (fetch->shrinks == m_shrinks)
                pagePassed(attempt.answer->block->size()); // the rest is cut by what passed
            return ProbeAnswer::In;
        }
        // Anything else, or a failure at the floor, is taken in its turn.
        if (!attempt.tooManyRows() || !failureNarrowsLimit(probe.aim) ||
            m_pageRows <= m_request.floorRows || !adjoinsRest(probe, index + 1))
            return ProbeAnswer::In;
    }
    qint64 rowCount = 0;
    Status status = Status::Done;
    bool outOfResources = false;
    settle(takeFetch(std::exchange(probe.fetch, 0), &rowCount), &status, &outOfResources);
    shrinkPage(failedAt(probe.aim));
    joinRest(probe, index + 1);
    m_todo.erase(m_todo.begin() + static_cast<std::ptrdiff_t>(index));
    return ProbeAnswer::Joined;
}

std::vector<TableRead::Attempt> TableRead::otherPieces(const KeyRange& range, qint64 rowCount)
{
    std::vector<Attempt> attempts(m_pieces.size() - 1);
    m_sessions->runTogether(static_cast<int>(attempts.size()), [&](int i, RfcDestination& session) {
        attempts[static_cast<size_t>(i)] =
            attempt(session, m_pieces[static_cast<size_t>(i) + 1], range, rowCount);
    });
    return attempts;
}

TableRead::~TableRead()
{
    while (!m_fetches.empty()) {
        qint64 rowCount = 0;
        takeFetch(m_fetches.begin()->first, &rowCount);
    }
}

void TableRead::cutPacedPart(size_t index)
{
    // One step at a time learns the limit: were all to aim above what passed, all could fail.
    const qint64 wanted = stepPage(false);
    const qint64 probe = probeGivenOut() ? wanted : stepPage(true);
    Part rest = std::move(m_todo[index]);
    m_todo.erase(m_todo.begin() + static_cast<std::ptrdiff_t>(index));
    if (!rest.stretch)
        rest.stretch = std::make_shared<PartSplit::Stretch>();
    // Steps past the rows the system counted would come back empty: the rest after the last
    // step that can hold rows reads the last stretch.
    const qint64 sessions = m_sessions->wanted();
    qint64 cut = sessions;
    qint64 stepRows = wanted;
    bool lastStretch = false;
    if (m_request.expectedRows >= 0) {
        const double step = PartSplit::kPacedShare * static_cast<double>(wanted);
        // Steps before it hold about a step each; other parts in front may well be empty (the
        // part after a key value, asked for ahead), so they count for nothing.
        const auto before =
            std::count_if(m_todo.begin(), m_todo.begin() + static_cast<std::ptrdiff_t>(index),
                          [](const Part& part) { return part.stepAdvance > 0; });
        const double left = static_cast<double>(m_request.expectedRows - m_emitted) -
                            step * static_cast<double>(before);
        cut = std::min<qint64>(cut, static_cast<qint64>(std::ceil(left / step)) - 1);
        // The last stretch, if not small, is shared out among the sessions rather than left to
        // one call that the others wait for at the end.
        if (cut < sessions && left >= step / 2) {
            lastStretch = true;
            cut = sessions - 1;
            stepRows = std::max<qint64>(
                1, std::llround(left / (PartSplit::kPacedShare * static_cast<double>(sessions))));
        }
    }
    // A probe far above what passed goes out alone: steps beside it, cut below what passed,
    // would each hold far fewer rows than the probe may show to pass.
    if (!lastStretch && probe != stepRows && passedFarBelowLimit())
        cut = std::min<qint64>(cut, 1);
    std::vector<Part> steps;
    while (static_cast<qint64>(steps.size()) < cut) {
        const bool probing =
            !lastStretch && probe != stepRows && static_cast<qint64>(steps.size()) + 1 == cut;
        const qint64 rows = probing ? probe : stepRows;
        const std::optional<PartSplit::Step> step = PartSplit::pacedStep(rest, rows, m_keys);
        if (!step)
            break;
        Part piece{rest.range.below(step->bound), std::nullopt, rest.weight / 2, false};
        piece.aim = PartSplit::kPacedShare * static_cast<double>(rows);
        piece.probe = probing;
        // Steps of the last stretch are read as plain parts: there is no rest for them to pace.
        piece.stepAdvance = lastStretch ? 0 : step->advance;
        piece.stretch = rest.stretch;
        steps.push_back(std::move(piece));
        Part next{rest.range.from(step->bound, true), std::nullopt, rest.weight / 2, false};
        next.pace = rest.pace;
        next.stretch = rest.stretch;
        rest = std::move(next);
    }
    if (steps.empty() || lastStretch)
        rest.pace = 0; // what is left fits a call: one call reads it
    steps.push_back(std::move(rest));
    m_todo.insert(m_todo.begin() + static_cast<std::ptrdiff_t>(index),
                  std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
}

void TableRead::followPace(const KeyRange& step, qint64 advance, qsizetype rows, qint64 wanted)
{
    for (Part& part : m_todo) {
        if (part.range.prefix != step.prefix)
            return; // past the stretch the step was cut from
        if (part.pace > 0) {
            part.pace = PartSplit::paceAfter(advance, rows, wanted);
            return;
        }
    }
}

void TableRead::fetchAhead(bool waiting, int keepFree)
{
    // After a cancel no more calls go out; those out end at once.
    if (m_todo.empty() || m_cancel)
        return;
    // A table read in one call needs no other session; more are opened by the first call
    // given out, so a paced rest that ends within a page opens none either.
    if (!waiting && m_todo.size() < 2 && m_todo.front().pace <= 0)
        return;
    // A page ahead per session: each has its next call while answers are taken in. While the
    // read waits on a call, a session that is done gets the next call in line too, up to twice
    // that many answers held; but no step is cut past one that came back short, as the rows
    // there likely ended.
    const size_t sessions = static_cast<size_t>(m_sessions->wanted());
    const size_t window = sessions + 1;
    const auto room = [&] {
        if (!waiting && keepFree == 0)
            return m_fetches.size() < window;
        std::lock_guard lock(m_arrivals->lock);
        if (!waiting)
            return m_fetches.size() < window &&
                   static_cast<size_t>(m_arrivals->inFlight + keepFree) < sessions;
        return static_cast<size_t>(m_arrivals->inFlight) < sessions &&
               m_fetches.size() < 2 * window;
    };
    const size_t reach = waiting ? 2 * window : window;
    size_t i = 0;
    while (i < std::min(reach, m_todo.size()) && room()) {
        Part& part = m_todo[i];
        if (part.pace > 0 && !part.sample && part.fetch == 0) {
            if ((i == 0 && m_awaitingProbe) || m_givingOnly)
                return;
            if (i > 0 && m_todo[i - 1].probe && m_todo[i - 1].fetch != 0) {
                const ProbeAnswer probe = probeAnswer(i - 1);
                if (probe == ProbeAnswer::Out)
                    return; // the rest is cut once the probe tells the limit
                if (probe == ProbeAnswer::Joined) {
                    --i; // the rest, with the probe's rows
                    continue;
                }
            }
            if (!waiting || !aStepCameBackShort()) {
                // The part after the stretch goes out before more of its steps, if it has not
                // (it waits while the limit lies far above what passed): its answer is wanted
                // once the stretch ends.
                if (i + 1 < m_todo.size() && heldWhole(m_todo[i + 1]) && !passedFarBelowLimit())
                    giveAhead(m_todo[i + 1]);
                if (!room())
                    return;
                cutPacedPart(i); // its first step, or itself without a pace, is at i now
                // The probe goes out first, so that the rest waits for it no longer than needed.
                for (size_t j = i; j < m_todo.size() && m_todo[j].aim > 0; ++j) {
                    if (m_todo[j].probe && m_todo[j].fetch == 0 && room())
                        giveAhead(m_todo[j]);
                }
                continue;
            }
            part.pace = 0; // read whole: one call, or a full page that splits it anew
        }
        // A step not called goes out whole with the rest of its stretch; only while waiting,
        // as elsewhere the read counts the parts it queued ahead.
        if (waiting && !m_givingOnly && part.fetch != 0 && skipped(part.fetch)) {
            joinSkipped(i); // the join moved the parts
            continue;
        }
        // The part in front goes out too, so that the read waits on it as on any other and
        // feeds the sessions that are done meanwhile; a part with a sample is split without a
        // call.
        if (part.sample || part.fetch != 0) {
            ++i;
            continue;
        }
        // A paced rest that ended within a page opens no other session for itself.
        if (m_todo.size() == 1 && !m_sessions->serving())
            return;
        // Far below the limit, a whole part asked for ahead would ask for far fewer rows than the
        // next steps show to pass; it waits, unless it is next.
        if (i > 0 && passedFarBelowLimit()) {
            ++i;
            continue;
        }
        if (giveAhead(part) == 0)
            return;
        ++i;
    }
}

TableRead::Attempt TableRead::takeFetch(int id, qint64* rowCount)
{
    const auto found = m_fetches.find(id);
    const std::shared_ptr<Fetch> fetch = found->second;
    m_fetches.erase(found);
    {
        std::unique_lock lock(fetch->lock);
        fetch->arrived.wait(lock, [&] { return fetch->done; });
    }
    *rowCount = fetch->rowCount;
    fetch->attempt.beforeShrink = fetch->shrinks != m_shrinks;
    return std::move(fetch->attempt);
}

std::optional<TableRead::Status> TableRead::readFirstPageTogether(Part& part)
{
    constexpr int kMostSizes = 3;
    // The smaller sizes are lost work where the page passes: worth it for a table of many pages.
    constexpr qint64 kFewestPages = 8;
    const bool first = part.range.depth() == 0 && !part.range.low && !part.range.high &&
                       m_emitted == 0 && m_mostPassed == 0 && m_leastFailed == 0;
    if (!first || !m_sessions || m_request.limit > 0 ||
        m_request.expectedRows < kFewestPages * m_pageRows)
        return std::nullopt;
    const int sizes = std::min(kMostSizes, m_sessions->available());
    if (sizes < 2)
        return std::nullopt;
    std::vector<qint64> asked;
    for (qint64 rows = m_pageRows; static_cast<int>(asked.size()) < sizes;
         rows = std::max<qint64>(m_request.floorRows, rows / 2)) {
        asked.push_back(rows);
        if (rows <= m_request.floorRows)
            break;
    }
    std::vector<Attempt> attempts(asked.size());
    m_sessions->runTogether(static_cast<int>(asked.size()), [&](int i, RfcDestination& session) {
        attempts[static_cast<size_t>(i)] =
            attempt(session, m_pieces.front(), part.range, asked[static_cast<size_t>(i)] + 1);
    });
    for (size_t i = 0; i < attempts.size(); ++i) {
        Status status = Status::Done;
        bool outOfResources = false;
        std::optional<Answer> answer = settle(std::move(attempts[i]), &status, &outOfResources);
        if (answer) {
            if (i > 0) {
                m_leastFailed = asked[i - 1] + 1;
                m_pageRows = asked[i];
                keepPageLimits();
            }
            return readAnswer(std::move(part), std::move(*answer), asked[i]);
        }
        if (!outOfResources)
            return status;
    }
    // Every size was too large: on from below the smallest, one call after another.
    m_pageRows = asked.back();
    if (!shrinkPage())
        return Status::Failed;
    m_todo.push_front(std::move(part));
    return Status::Done;
}

TableRead::Status TableRead::readPart(Part part)
{
    if (const std::optional<Status> status = readFirstPageTogether(part))
        return *status;
    qint64 wanted = part.pace > 0 && part.fetch == 0 ? stepPage(!probeGivenOut()) : pageOf(part);
    if (m_request.limit > 0)
        wanted = std::min(wanted, m_request.limit - m_emitted);
    Status status = Status::Done;
    bool outOfResources = false;
    std::optional<Answer> answer;
    const bool given = part.fetch != 0;
    bool fetchedBeforeShrink = false;
    if (given) {
        qint64 rowCount = 0;
        m_awaitingProbe = part.probe;
        awaitFetch(part.fetch);
        m_awaitingProbe = false;
        Attempt fetched = takeFetch(std::exchange(part.fetch, 0), &rowCount);
        if (fetched.skipped) {
            m_todo.push_front(std::move(part));
            joinSkipped(0);
            return Status::Done;
        }
        fetchedBeforeShrink = fetched.beforeShrink;
        answer = settle(std::move(fetched), &status, &outOfResources);
        wanted = rowCount - 1;
    } else {
        if (part.pace > 0) {
            if (readPaced(part, wanted, &status))
                return status;
            // Too short for a step: read as a page, which shrinks if the system fails it. A step's
            // size above the page would be asked again and again.
            wanted = std::min(wanted, pageOf(part));
        }
        answer = call(m_pieces.front(), part.range, wanted + 1, &status, &outOfResources);
    }
    if (!answer) {
        if (outOfResources && part.aim > 0)
            return retryStep(std::move(part));
        // A call given out before the page shrank asks again at the page as it is now.
        if (outOfResources && given && wanted > m_pageRows) {
            m_todo.push_front(std::move(part));
            return Status::Done;
        }
        return retrySmaller(std::move(part), status, outOfResources);
    }
    if (part.stepAdvance > 0)
        followPace(part.range, part.stepAdvance, std::min<qsizetype>(answer->block->size(), wanted),
                   wanted);
    return readAnswer(std::move(part), std::move(*answer), wanted, !fetchedBeforeShrink);
}

bool TableRead::foldTail(size_t index)
{
    const Part& tail = m_todo[index];
    if (tail.range.high || tail.range.prefix.empty() || tail.sample || tail.fetch != 0 ||
        index + 1 >= m_todo.size())
        return false;
    Part& next = m_todo[index + 1];
    const std::vector<QString> parent(tail.range.prefix.begin(), tail.range.prefix.end() - 1);
    if (next.sample || next.range.prefix != parent || !next.range.low || next.range.lowInclusive ||
        *next.range.low != tail.range.prefix.back())
        return false;
    std::vector<KeyRange> before = tail.emptyBefore;
    before.push_back(tail.range);
    next.emptyBefore.insert(next.emptyBefore.begin(), before.begin(), before.end());
    next.weight += tail.weight;
    m_todo.erase(m_todo.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool TableRead::skipped(int fetch) const
{
    const std::shared_ptr<Fetch>& given = m_fetches.at(fetch);
    std::lock_guard lock(given->lock);
    return given->done && given->attempt.skipped;
}

void TableRead::joinSkipped(size_t index)
{
    {
        Part& part = m_todo[index];
        if (part.fetch != 0) {
            qint64 rowCount = 0;
            takeFetch(std::exchange(part.fetch, 0), &rowCount);
        }
        m_todo[index] = Part{part.range, std::nullopt, part.weight, part.retried};
    }
    while (index + 1 < m_todo.size() && m_todo[index].range.high) {
        Part& whole = m_todo[index];
        const Part& next = m_todo[index + 1];
        const bool adjoins = !next.sample && next.range.prefix == whole.range.prefix &&
                             next.range.low && next.range.lowInclusive &&
                             *next.range.low == *whole.range.high;
        if (!adjoins || (next.fetch != 0 && !skipped(next.fetch)))
            break;
        if (next.fetch != 0) {
            qint64 rowCount = 0;
            takeFetch(next.fetch, &rowCount);
        }
        whole.range.high = next.range.high;
        whole.weight += next.weight;
        m_todo.erase(m_todo.begin() + static_cast<std::ptrdiff_t>(index) + 1);
    }
    foldTail(index);
}

TableRead::Status TableRead::readAnswer(Part part, Answer answer, qint64 wanted, bool tellsLimit)
{
    const Piece& first = m_pieces.front();
    const RowBlock& block = *answer.block;
    if (tellsLimit)
        pagePassed(block.size());
    std::vector<qsizetype> rows(static_cast<size_t>(block.size()));
    std::iota(rows.begin(), rows.end(), 0);
    bool inOrder = true;
    QString duplicate;
    if (!m_order.sort(first, answer, rows, &inOrder, &duplicate))
        return fail({}, {}, FaultTexts::get(FaultText::RowTwice).arg(duplicate, m_request.table));
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
                        FaultTexts::get(FaultText::RowOutsidePart)
                            .arg(m_order.text(first, answer, r), m_request.table));
    }
    // Fewer rows than asked: the part is complete. More than asked: the system ignores
    // ROWCOUNT and sent them all.
    if (block.size() != wanted + 1) {
        // Its rows go on only once the parts before it thought empty are known to be.
        if (!part.emptyBefore.empty()) {
            Status status = Status::Done;
            bool outOfResources = false;
            const std::optional<bool> same =
                keysAgree(part.range, part.emptyBefore, answer, rows,
                          static_cast<qsizetype>(rows.size()), &status, &outOfResources);
            if (!same)
                return retrySmaller(std::move(part), status, outOfResources);
            if (!*same) {
                std::vector<KeyRange> before = std::exchange(part.emptyBefore, {});
                m_todo.push_front(std::move(part));
                queueEmptyBefore(std::move(before));
                return Status::Done;
            }
        }
        return accept(part, answer, std::move(rows));
    }
    part.sample = PartSplit::Sample{std::move(answer), std::move(rows), inOrder};
    return split(std::move(part));
}

bool TableRead::readPaced(Part& part, qint64 wanted, Status* status)
{
    const std::optional<PartSplit::Step> step = PartSplit::pacedStep(part, wanted, m_keys);
    if (!step)
        return false;
    const Piece& first = m_pieces.front();
    const KeyRange lower = part.range.below(step->bound);
    bool outOfResources = false;
    const double aim = PartSplit::kPacedShare * static_cast<double>(wanted);
    const qint64 asked = askedFor(aim);
    std::optional<Answer> answer = call(first, lower, asked + 1, status, &outOfResources);
    if (!answer) {
        if (!outOfResources)
            return true;
        if (!failureNarrowsLimit(aim)) {
            Part rest{part.range.from(step->bound, true), std::nullopt, part.weight / 2, false};
            rest.pace = part.pace;
            rest.stretch = part.stretch;
            m_todo.push_front(std::move(rest));
            m_todo.push_front(Part{lower, std::nullopt, part.weight / 2, part.retried});
        } else if (shrinkPage(failedAt(aim))) {
            m_todo.push_front(std::move(part)); // cut again where the rows aimed at are fewer
        } else {
            *status = Status::Failed;
        }
        return true;
    }
    Part rest{part.range.from(step->bound, true), std::nullopt, part.weight / 2, false};
    rest.pace = PartSplit::paceAfter(step->advance, answer->block->size(), wanted);
    rest.stretch = part.stretch;
    m_todo.push_front(std::move(rest));
    if (rowsEnded(lower, *answer, aim))
        foldTail(0);
    Part piece{lower, std::nullopt, part.weight / 2, part.retried};
    *status = readAnswer(std::move(piece), std::move(*answer), asked);
    return true;
}

TableRead::Status TableRead::split(Part part)
{
    const PartSplit::Sample& sample = *part.sample;
    const int depth = part.range.depth();
    if (depth >= static_cast<int>(m_keys.size()))
        return fail({}, {}, FaultTexts::get(FaultText::MoreRowsThanKey).arg(m_request.table));
    const KeyField& field = m_keys[static_cast<size_t>(depth)];
    const RowBlock::Slot slot =
        sample.answer
            .places[static_cast<size_t>(m_pieces.front().keySlots[static_cast<size_t>(depth)])];
    const std::vector<PartSplit::Run> runs = PartSplit::runs(sample, slot, field);
    if (runs.size() == 1) {
        // Every row has one value: split on the next key field below it. In key order the
        // part below the value holds no rows, which the check of the value's keys then tells.
        const bool inOrder = sample.arrivedInOrder;
        std::vector<KeyRange> before = std::move(part.emptyBefore);
        std::vector<Part> parts =
            PartSplit::aroundOneValue(std::move(part), runs.front().value, field);
        if (inOrder) {
            if (parts.size() == 3) {
                before.push_back(parts.front().range);
                parts[1].weight += parts.front().weight;
                parts.erase(parts.begin());
            }
            parts.front().emptyBefore = std::move(before);
            before.clear();
        }
        queue(std::move(parts));
        queueEmptyBefore(std::move(before));
        return Status::Done;
    }
    if (sample.arrivedInOrder) {
        if (const std::optional<Status> status = acceptInOrder(part, runs))
            return *status;
    }
    queue(PartSplit::evenly(part, runs));
    queueEmptyBefore(std::move(part.emptyBefore));
    return Status::Done;
}

void TableRead::queueEmptyBefore(std::vector<KeyRange> ranges)
{
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        m_todo.push_front(Part{std::move(*it), std::nullopt, 0.0, false});
}

std::optional<TableRead::Status> TableRead::acceptInOrder(Part& part,
                                                          const std::vector<PartSplit::Run>& runs)
{
    // The system seems to return rows in key order: then the part below the last value holds
    // exactly the sample's rows there. Its keys alone tell whether it does.
    const PartSplit::Sample& sample = *part.sample;
    const QString last = runs.back().value;
    const qsizetype below = runs.back().start;
    const KeyRange lower = part.range.below(last);
    Part rest{part.range.from(last, true), std::nullopt, part.weight / 2, false};
    rest.pace = PartSplit::pace(runs.front().value, last, below);
    // With other sessions, the rest's first pages go out while the keys are checked (unless the
    // count says one call reads the rest); they are withdrawn when the check fails.
    size_t ahead = 0;
    const qint64 left = m_request.expectedRows < 0
                            ? -1
                            : m_request.expectedRows - m_emitted - static_cast<qint64>(below);
    if (m_sessions && m_request.limit == 0 && (left < 0 || left > m_pageRows)) {
        const size_t queued = m_todo.size();
        m_todo.push_front(rest);
        fetchAhead(false, 1); // a session stays free for the check
        ahead = m_todo.size() - queued;
    }
    Status status = Status::Done;
    bool outOfResources = false;
    const std::optional<bool> same = keysAgree(lower, part.emptyBefore, sample.answer, sample.rows,
                                               below, &status, &outOfResources);
    if (!same) {
        withdraw(ahead);
        return retrySmaller(std::move(part), status, outOfResources);
    }
    if (!*same) {
        withdraw(ahead);
        return std::nullopt;
    }
    if (ahead == 0)
        m_todo.push_front(std::move(rest));
    return accept(Part{lower, std::nullopt, part.weight / 2, false}, sample.answer,
                  std::vector<qsizetype>(sample.rows.begin(), sample.rows.begin() + below));
}

std::optional<bool> TableRead::keysAgree(const KeyRange& range, const std::vector<KeyRange>& before,
                                         const Answer& answer, const std::vector<qsizetype>& rows,
                                         qsizetype count, Status* status, bool* outOfResources)
{
    const Piece keys = PieceLayout::keysOnly(m_keys);
    std::optional<Answer> check = call(keys, range, count + 1, status, outOfResources, before);
    if (!check)
        return std::nullopt;
    std::vector<qsizetype> order(static_cast<size_t>(check->block->size()));
    std::iota(order.begin(), order.end(), 0);
    QString duplicate;
    bool inOrder = true;
    bool same = static_cast<qsizetype>(order.size()) == count &&
                m_order.sort(keys, *check, order, &inOrder, &duplicate);
    for (qsizetype i = 0; same && i < count; ++i)
        same = m_order.compare(keys, *check, order[static_cast<size_t>(i)], m_pieces.front(),
                               answer, rows[static_cast<size_t>(i)]) == 0;
    return same;
}

void TableRead::withdraw(size_t parts)
{
    for (size_t i = 0; i < parts && !m_todo.empty(); ++i) {
        if (m_todo.front().fetch != 0) {
            qint64 rowCount = 0;
            takeFetch(m_todo.front().fetch, &rowCount);
        }
        m_todo.pop_front();
    }
}

void TableRead::queue(std::vector<Part> parts)
{
    for (auto it = parts.rbegin(); it != parts.rend(); ++it)
        m_todo.push_front(std::move(*it));
}

TableRead::Status TableRead::accept(const Part& part, const Answer& first,
                                    std::vector<qsizetype> rows)
{
    std::vector<TableBatch::Piece> pieces;
    pieces.push_back({first.block, first.places, rows});
    const qint64 rowCount = static_cast<qint64>(rows.size()) + 1;
    std::vector<Attempt> others;
    if (m_sessions && m_pieces.size() > 2 && !rows.empty())
        others = otherPieces(part.range, rowCount);
    for (size_t p = 1; p < m_pieces.size() && !rows.empty(); ++p) {
        Status status = Status::Done;
        bool outOfResources = false;
        std::optional<Answer> answer =
            others.empty() ? call(m_pieces[p], part.range, rowCount, &status, &outOfResources)
                           : settle(std::move(others[p - 1]), &status, &outOfResources);
        if (!answer)
            return retrySmaller(Part{part.range, std::nullopt, part.weight, part.retried}, status,
                                outOfResources);
        std::vector<qsizetype> order(static_cast<size_t>(answer->block->size()));
        std::iota(order.begin(), order.end(), 0);
        QString duplicate;
        bool inOrder = true;
        bool same = m_order.sort(m_pieces[p], *answer, order, &inOrder, &duplicate) &&
                    order.size() == rows.size();
        for (size_t i = 0; same && i < rows.size(); ++i)
            same = m_order.compare(m_pieces[p], *answer, order[i], m_pieces.front(), first,
                                   rows[i]) == 0;
        if (!same) {
            // Rows came or went between the calls: read the part again, once.
            if (!part.retried) {
                m_todo.push_front(Part{part.range, std::nullopt, part.weight, true});
                return Status::Done;
            }
            QStringList keys = m_order.differences(m_pieces.front(), first, rows, m_pieces[p],
                                                   *answer, order, kNamedKeys);
            if (!duplicate.isEmpty() && keys.isEmpty())
                keys.append(duplicate);
            m_failure.keys = keys;
            return fail({}, {},
                        FaultTexts::get(FaultText::RowsChanged)
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
            if (m_order.compare(lead, first, rows.front(), m_lastKey) <= 0)
                return fail({}, {},
                            FaultTexts::get(FaultText::OutOfKeyOrder)
                                .arg(m_order.text(lead, first, rows.front()), m_request.table));
        }
        m_lastKey = m_order.values(lead, first, rows[static_cast<size_t>(count - 1)]);
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
