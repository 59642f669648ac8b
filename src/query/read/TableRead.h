#pragma once

#include "query/read/KeyCatalog.h"
#include "query/read/KeyOrder.h"
#include "query/read/KeyRange.h"
#include "query/read/PartSplit.h"
#include "query/read/PieceLayout.h"
#include "query/read/TableBatch.h"
#include "query/read/TableCall.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class RfcDestination;
class SessionPool;

// Reads the rows of one table for a query, exactly, whatever order the system returns rows in:
// - fields that do not fit one DATA line are read in pieces, each with the table's key, and
//   joined by key; pieces that disagree are read again, then refused with the keys named;
// - no call asks for more than a page of rows: the table is split into parts by its key, a
//   part whose answer fills the page is split further using the rows it returned, and a part
//   the system cannot answer (out of memory, out of time) makes the page smaller;
// - rows come out in key order, part after part;
// - with several sessions, the pieces of a part, and the parts next in line, are asked for at
//   once, each on its own session; what they return is taken in reading order as before.
// A table whose key is unknown is read as the plain function allows: one call per piece,
// pieces joined by position.
class TableRead
{
public:
    // A call whose way to the system broke goes out again this often, after a longer wait each
    // time, before the read gives up (a page larger than the floor once, then a small one).
    static constexpr int kConnectionRetries = 4;
    static constexpr int kFirstRetryWaitMs = 500;
    using Column = PieceLayout::Column;
    struct Request {
        QString table;
        std::vector<Column> columns;          // in My Table order
        std::vector<std::vector<int>> pieces; // columns read together, as planned
        QStringList options;                  // the table's own WHERE lines, without its name
        qint64 limit = 0;                     // 0: every row
        qint64 pageRows = 50000;
        qint64 floorRows = 10;    // the smallest page before giving up
        qint64 expectedRows = -1; // what the system counted, if it did
        ReadModule module;        // the read module the calls go to
    };
    struct Failure {
        // The read module failed in a way RFC_READ_TABLE may not (authority, its interface,
        // an answer that cannot be right), before any row was passed on.
        bool moduleFailed = false;
        QString exception;
        BiText message;     // the system's own text, if any
        BiText explanation; // a sentence for the user
        QStringList keys;   // rows that pieces disagreed on (at most five)
    };
    enum class Status { Done, Failed, Cancelled, Stopped };

    // Receives each batch of rows, in key order; false stops the read.
    using BatchSink = std::function<bool(const TableBatch&)>;
    struct Observer {
        std::function<void(qint64 rows, double fraction)> progress;
    };

    // sessions: where calls may go side by side; none: every call goes to destination.
    TableRead(RfcDestination& destination, KeyCatalog& catalog, const std::atomic<bool>& cancel,
              Request request, SessionPool* sessions = nullptr);
    // The key order refers to this read's own key.
    TableRead(const TableRead&) = delete;
    ~TableRead(); // waits for the calls it gave to other sessions
    TableRead& operator=(const TableRead&) = delete;

    Status run(const BatchSink& sink, const Observer& observer = {});

    const Failure& failure() const { return m_failure; }
    // Something the user should know of a read that succeeded (a join by position, say).
    const BiText& note() const { return m_note; }
    int calls() const { return m_calls.load(); }
    qint64 rows() const { return m_emitted; }
    qint64 pageRows() const { return m_pageRows; }

private:
    using Piece = PieceLayout::Piece;
    using Answer = PieceLayout::Answer;
    using Part = PartSplit::Part;

    // One call per piece, joined by position; mayReadInParts: a system out of memory or time
    // stops it (Status::Stopped) so the caller reads in parts, instead of failing.
    Status readByPosition(bool mayReadInParts);
    Status readByKey();

    // What one call returned, before the read takes it in.
    struct Attempt {
        std::optional<Answer> answer;
        TableCall::Outcome outcome = TableCall::Outcome::Done;
        QString exception;
        BiText message;
        BiText problem;             // an answer refused, or a request that could not be built
        bool tooLarge = false;      // a system failure where a small page of the same rows passed
        bool answerRefused = false; // the module's answer cannot be right
        bool skipped = false;       // a step past one that came back short: not called
        // Given out before the page last shrank: what passed then may fail now, as where the
        // system runs short of memory.
        bool beforeShrink = false;
        // The system failed it for the rows it would have held: fewer may pass.
        bool tooManyRows() const
        {
            return outcome == TableCall::Outcome::OutOfResources || tooLarge;
        }
    };
    // One call of a piece for a part on a session; touches nothing of the read but the count
    // of calls, so that several can run at once.
    // The ranges before, if any, are asked for in the same call.
    Attempt attempt(RfcDestination& session, const Piece& piece, const KeyRange& range,
                    qint64 rowCount, const std::vector<KeyRange>& before = {});
    // Takes an attempt in: its answer, or nothing on failure (the status says why).
    std::optional<Answer> settle(Attempt attempt, Status* status, bool* outOfResources);
    // One call of a piece for a part; nothing on failure (the status says why).
    std::optional<Answer> call(const Piece& piece, const KeyRange& range, qint64 rowCount,
                               Status* status, bool* outOfResources,
                               const std::vector<KeyRange>& before = {});
    // Whether the request passes with a page of the floor's size: if so, the failed page was
    // too large for the system.
    // Waits before the retry-th repeat of a call; false when the read was cancelled meanwhile.
    bool waitToRetry(int retry) const;
    // Whether the same rows pass a page of the floor's size; *broken: how often in a row its way
    // to the system broke, when it failed so (else 0).
    bool smallPagePasses(RfcDestination& session, TableCall::Request request, int* broken);
    // Runs the call, and again after a wait while its way to the system breaks, at most
    // `retries` more times. Returns how many runs broke, counting the last only if it broke too;
    // 0 when the way held from the start.
    int runAcrossBreaks(TableCall& call, const TableCall::Request& request, RowBlock& rows,
                        int retries, TableCall::Outcome* outcome);
    // With several sessions: the first piece of the parts next in line goes to the other
    // sessions (a paced part first cut into steps), so that answers wait for their turn.
    struct Fetch;
    struct Arrivals;
    // waiting: the read waits on a call given out, and other sessions may have fallen idle.
    // keepFree: sessions left for a call the read makes next.
    void fetchAhead(bool waiting = false, int keepFree = 0);
    // Cuts a paced part into steps of a page each, as many as there are sessions, before the
    // rest.
    void cutPacedPart(size_t index);
    // The page a step is cut for (it aims at its paced share). mayProbe: it may aim above what
    // passed, to learn where the system's limit lies.
    qint64 stepPage(bool mayProbe) const;
    // Whether calls failed where fewer rows passed, so that steps aim at a limit learned.
    bool limitKnown() const;
    // Whether steps still probe for the limit: what passed and what failed lie far apart.
    bool learningLimit() const;
    // Whether the limit may lie far above what passed, so that a probe halfway passes far more.
    bool passedFarBelowLimit() const;
    // Whether a part not given out is read whole, neither paced nor split from a sample.
    static bool heldWhole(const Part& part);
    // The rows a step that aims at so many asks for.
    qint64 askedFor(double aim) const;
    // Whether a step aimed above what passed is out and not taken in.
    bool probeGivenOut() const;
    // A step too large for the system goes back to be read again.
    Status retryStep(Part part);
    // Whether the part at index is the rest of a probe's stretch, right after it and not cut
    // yet; a probe too large for the system then goes back into it, to be cut anew.
    bool adjoinsRest(const Part& probe, size_t at) const;
    void joinRest(const Part& probe, size_t at);
    // Where the probe at index, given out, stands for the rest behind it: still out (the rest
    // waits), in (the rest is cut by what it tells), or failed and joined to the rest.
    enum class ProbeAnswer { Out, In, Joined };
    ProbeAnswer probeAnswer(size_t index);
    // Whether a step too large for the system tells more of the limit than is known. Not where
    // it aimed at fewer rows than passed before (more than its size failed it: a stretch denser
    // than paced, a system short of memory now), nor where it aimed at no fewer than failed.
    bool failureNarrowsLimit(double aim) const;
    // The rows that failed, for a step that aimed at so many and was too large.
    static qint64 failedAt(double aim);
    // Gives a call to the sessions; its number, or 0 when there is no other session.
    // A step of a stretch is not called when one before it came back short.
    int give(const Piece& piece, const KeyRange& range, qint64 rowCount, bool urgent,
             Part* step = nullptr, const std::vector<KeyRange>& before = {});
    // Gives the first piece of a part to the sessions ahead of its turn; its call's number, or 0.
    int giveAhead(Part& part);
    // Waits for a call given out; meanwhile, sessions that are done get the calls next in line.
    // giveOnly: the parts queued are neither cut nor joined meanwhile, so that the read may take
    // back those in front after the call.
    void awaitFetch(int fetch, bool giveOnly = false);
    // Whether the rows of a step ended within it: far fewer came back than it was cut to hold,
    // or the last of them lies well before its end.
    bool rowsEnded(const KeyRange& step, const Answer& answer, double aim) const;
    // Whether the rows of a step given out ended within it.
    bool aStepCameBackShort() const;
    // The answer of a call given to the sessions, once it is there.
    Attempt takeFetch(int fetch, qint64* rowCount);
    // After a step's rows arrived, the paced rest behind it goes on at the pace they show.
    void followPace(const KeyRange& step, qint64 advance, qsizetype rows, qint64 wanted);
    // With several sessions: the other pieces of a part, asked for at once.
    std::vector<Attempt> otherPieces(const KeyRange& range, qint64 rowCount);
    // After a page too large for the system: the page between what passed and what failed, or
    // half; false at the floor.
    // failed: the rows a call that failed held at most (0: the page and one).
    bool shrinkPage(qint64 failed = 0);
    // A call of the first piece returned rows: under a limit learned, the page may grow.
    void pagePassed(qsizetype rows);
    // The session's later reads of the table start from what this one learned.
    void keepPageLimits();
    // The rows to ask for of a part. A part read as a whole likely fills its page: under a
    // limit learned it asks for no more than have passed, as a page too large costs a whole
    // failed call, where a paced step asks for the page it was cut for.
    qint64 pageOf(const Part& part) const;
    void noteModuleFailure(const QString& exception);
    // After a failed call: a call that ran out of memory or time goes back to be read with a
    // smaller page; any other failure ends the read.
    Status retrySmaller(Part part, Status failed, bool outOfResources);
    Status fail(const QString& exception, const BiText& message, const BiText& explanation);

    Status readPart(Part part);
    // After a step that came back short, the open end of a key value (at index) likely holds no
    // rows: the check of the keys after the value covers it instead of a call of its own. False
    // where the part after it is not the one after the value.
    bool foldTail(size_t index);
    // Whether a call given out was not made, as the stretch had ended before it.
    bool skipped(int fetch) const;
    // The part at index, whose call was not made, is read whole with the parts after it that
    // adjoin it and were not called either.
    void joinSkipped(size_t index);
    // With several sessions, the first page of a table counted many pages long goes out at
    // the page, its half and its quarter at once: under a limit the system sets, what fails and
    // what passes are learned in the time of one call instead of one call after another. The
    // largest answer that passed is read; where none passed, the part goes back to be read below
    // the smallest. Nothing where it does not apply (one session, a table of few pages, a limit
    // already learned).
    std::optional<Status> readFirstPageTogether(Part& part);
    // Takes the first piece's answer for a part: the part is read, or split by its rows.
    // tellsLimit: what passed says how many rows may pass now.
    Status readAnswer(Part part, Answer answer, qint64 wanted, bool tellsLimit = true);
    // Reads the part up to where its pace says a page ends; false when the part has no pace.
    bool readPaced(Part& part, qint64 wanted, Status* status);
    Status split(Part part);
    // A sample that arrived in key order holds every row below its last value, if a call of
    // the key alone agrees: those rows are read, and nothing when it does not agree.
    std::optional<Status> acceptInOrder(Part& part, const std::vector<PartSplit::Run>& runs);
    // Whether the keys alone of the range, with the ranges before it, are those of count rows of
    // the answer in key order; nothing when the call failed (the status says why).
    std::optional<bool> keysAgree(const KeyRange& range, const std::vector<KeyRange>& before,
                                  const Answer& answer, const std::vector<qsizetype>& rows,
                                  qsizetype count, Status* status, bool* outOfResources);
    // Takes back the parts in front that were queued ahead of a check that failed, with their
    // calls.
    void withdraw(size_t parts);
    // Queues parts at the front, to be read in the order given.
    void queue(std::vector<Part> parts);
    // Parts believed empty that a check did not vouch for go back to be read on their own.
    void queueEmptyBefore(std::vector<KeyRange> ranges);
    Status accept(const Part& part, const Answer& first, std::vector<qsizetype> rows);
    Status passOn(std::vector<TableBatch::Piece> pieces, qsizetype rows, double weight);

    RfcDestination& m_destination;
    KeyCatalog& m_catalog;
    const std::atomic<bool>& m_cancel;
    Request m_request;
    qint64 m_pageRows;
    qint64 m_mostPassed = 0;      // most rows a call of the first piece returned
    qint64 m_leastFailed = 0;     // fewest rows asked for by a call too large for the system
    std::vector<KeyField> m_keys; // the key without the client: what splits and joins
    KeyOrder m_order{m_keys};
    std::vector<Piece> m_pieces;
    std::deque<Part> m_todo;
    std::vector<QString> m_lastKey; // of the last row passed on
    BatchSink m_sink;
    Observer m_observer;
    Failure m_failure;
    BiText m_note;
    SessionPool* m_sessions;
    std::unordered_map<int, std::shared_ptr<Fetch>> m_fetches;
    std::shared_ptr<Arrivals> m_arrivals;
    int m_lastFetch = 0;
    bool m_awaitingProbe = false; // the read waits on a probe, which the rest in front waits for
    bool m_givingOnly = false;    // calls go to the parts queued as they are
    int m_shrinks = 0;            // how often the page shrank
    std::atomic<int> m_calls{0};
    qint64 m_emitted = 0;
    double m_done = 0;
};
