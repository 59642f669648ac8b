#pragma once

#include "query/read/KeyField.h"
#include "query/read/KeyRange.h"
#include "query/read/PieceLayout.h"

#include <QString>

#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// How a part of a table is cut into smaller parts when a call returned a full page of it: by
// the values of the key field at the part's depth among the rows it returned.
class PartSplit
{
public:
    static constexpr int kMostParts = 4;
    // A paced part aims at this share of a page, so that an uneven stretch still fits.
    static constexpr double kPacedShare = 0.8;
    // A paced step whose numbers after its last row would hold this share of the rows it aimed
    // at, and at least so many, ended the rows of its stretch.
    static constexpr qint64 kEndedShare = 8;
    static constexpr double kFewestMissing = 64;

    struct Sample {
        PieceLayout::Answer answer;  // of the first piece
        std::vector<qsizetype> rows; // its lines in this part, in key order
        bool arrivedInOrder = false;
    };
    // The steps cut from one paced part, numbered in key order as they go out. Once one came
    // back with far fewer rows than it was cut to hold, the rows likely ended there: a step
    // after it that has not started yet is not called (its range is read with the rest).
    struct Stretch {
        std::mutex lock;
        int given = 0;
        int shortAt = std::numeric_limits<int>::max();
    };
    struct Part {
        KeyRange range;
        std::optional<Sample> sample; // the part held more rows than these
        double weight = 0;
        bool retried = false;
        // Where the key's values are numbers: how far they advance per row so far, so that
        // the next call can ask for a part that likely fits a page.
        double pace = 0;
        // The call of its first piece, asked for on another session before its turn (0: none).
        int fetch = 0;
        // A step cut from a paced part: how far it advances, so that its rows pace the rest.
        qint64 stepAdvance = 0;
        // The rows a step was cut to hold (0: no step).
        double aim = 0;
        // A step aimed above what passed, to learn the limit. It is cut last of its steps, next
        // to the rest of its stretch, and goes out first; the rest waits for its answer, so that
        // its rows go back to the rest should it fail, not into a step and a short tail.
        bool probe = false;
        // Of a step or the rest it was cut from: the stretch, and its number there once given.
        std::shared_ptr<Stretch> stretch = nullptr;
        int place = 0;
        // Parts just before it in key order where a sample in key order had no rows: the check
        // of its keys covers them too, and they are read on their own only if it fails.
        std::vector<KeyRange> emptyBefore = {};
    };
    // Rows in a row with the same value of the splitting field; start counts sample rows.
    struct Run {
        QString value;
        qsizetype start = 0;
    };

    // The runs of the sample's rows by the value in slot.
    static std::vector<Run> runs(const Sample& sample, RowBlock::Slot slot, const KeyField& field);
    // Every row has the one value: the part below it, the part within it (keeping the sample,
    // to be split on the next key field) and the part after it, in reading order.
    static std::vector<Part> aroundOneValue(Part part, const QString& value, const KeyField& field);
    // At most kMostParts parts, cut at values that share the sample's rows out evenly, in
    // reading order.
    static std::vector<Part> evenly(const Part& part, const std::vector<Run>& runs);
    // A paced read of a part: up to bound (exclusive), advance numbers past the part's low end.
    struct Step {
        QString bound;
        qint64 advance = 0;
    };
    // Where a part with a pace likely ends a page of wanted rows; nothing where its low end
    // is no number or the page would reach its high end.
    static std::optional<Step> pacedStep(const Part& part, qint64 wanted,
                                         const std::vector<KeyField>& keys);
    // Whether the numbers of a paced step after the last key value it returned would hold, at
    // the pace of its rows, an eighth of the rows it aimed at: the rows likely ended there, as
    // at the end of a company code's documents.
    static bool endsEarly(const KeyRange& step, QStringView last, qsizetype rows, double aim);
    // The pace for the rest of a part after a paced step returned rows.
    static double paceAfter(qint64 advance, qsizetype rows, qint64 wanted);
    // How far key values made only of digits advance per row from first to last over rows;
    // 0 where they are not such numbers.
    static double pace(const QString& first, const QString& last, qsizetype rows);
    // A key value made only of digits, as document numbers are: its number, else nothing.
    static std::optional<qint64> number(QStringView value);
};
