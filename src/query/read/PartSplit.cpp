#include "query/read/PartSplit.h"

#include <algorithm>

std::optional<qint64> PartSplit::number(QStringView value)
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

double PartSplit::pace(const QString& first, const QString& last, qsizetype rows)
{
    const auto from = number(first);
    const auto to = number(last);
    if (from && to && *to > *from && first.size() == last.size())
        return static_cast<double>(*to - *from) / static_cast<double>(rows);
    return 0;
}

std::optional<PartSplit::Step> PartSplit::pacedStep(const Part& part, qint64 wanted,
                                                    const std::vector<KeyField>& keys)
{
    const KeyRange& range = part.range;
    if (!range.low || !range.lowInclusive || range.depth() >= static_cast<int>(keys.size()))
        return std::nullopt;
    const auto low = number(*range.low);
    if (!low)
        return std::nullopt;
    const double step = part.pace * kPacedShare * static_cast<double>(wanted);
    const qint64 advance = std::max<qint64>(1, static_cast<qint64>(step));
    QString bound = QString::number(*low + advance).rightJustified(range.low->size(), u'0');
    const KeyField& field = keys[static_cast<size_t>(range.depth())];
    if (bound.size() != range.low->size() || (range.high && field.compare(bound, *range.high) >= 0))
        return std::nullopt;
    return Step{bound, advance};
}

bool PartSplit::endsEarly(const KeyRange& step, QStringView last, qsizetype rows, double aim)
{
    if (!step.low || !step.high || rows <= 0)
        return false;
    const auto low = number(*step.low);
    const auto high = number(*step.high);
    const auto at = number(last);
    if (!low || !high || !at || *at < *low || *high <= *at || last.size() != step.high->size())
        return false;
    // The rows the empty end would hold at the step's own pace: a document's lines share its
    // number, so a few rows missing at the end are no sign.
    const double missing = static_cast<double>(*high - *at - 1) * static_cast<double>(rows) /
                           static_cast<double>(*at - *low + 1);
    return missing * kEndedShare >= aim && missing >= kFewestMissing;
}

double PartSplit::paceAfter(qint64 advance, qsizetype rows, qint64 wanted)
{
    // An empty or thin stretch, as at the end of the data, lets the rest be read as a whole: one
    // call returns it, or a page that splits it anew, where stretch after empty stretch cost a
    // call each.
    if (static_cast<double>(rows) >= 0.25 * static_cast<double>(wanted))
        return static_cast<double>(advance) / static_cast<double>(rows);
    return 0;
}

std::vector<PartSplit::Run> PartSplit::runs(const Sample& sample, RowBlock::Slot slot,
                                            const KeyField& field)
{
    std::vector<Run> runs;
    for (qsizetype i = 0; i < static_cast<qsizetype>(sample.rows.size()); ++i) {
        const QStringView value =
            sample.answer.block->value(sample.rows[static_cast<size_t>(i)], slot);
        if (runs.empty() || field.compare(value, runs.back().value) != 0)
            runs.push_back({value.toString(), i});
    }
    return runs;
}

std::vector<PartSplit::Part> PartSplit::aroundOneValue(Part part, const QString& value,
                                                       const KeyField& field)
{
    const double weight = part.weight;
    std::vector<Part> parts;
    if (!part.range.low || field.compare(*part.range.low, value) != 0)
        parts.push_back(Part{part.range.below(value), std::nullopt, weight * 0.05, false});
    const KeyRange after = part.range.from(value, false);
    parts.push_back(Part{part.range.within(value), std::move(part.sample), weight * 0.9, false});
    parts.push_back(Part{after, std::nullopt, weight * 0.05, false});
    return parts;
}

std::vector<PartSplit::Part> PartSplit::evenly(const Part& part, const std::vector<Run>& runs)
{
    const double weight = part.weight;
    const int count = std::min<int>(kMostParts, static_cast<int>(runs.size()));
    const qsizetype total = static_cast<qsizetype>(part.sample->rows.size());
    std::vector<size_t> cuts; // runs that start a new part
    for (int p = 1; p < count; ++p) {
        const qsizetype target = total * p / count;
        size_t at = cuts.empty() ? 1 : cuts.back() + 1;
        while (at + 1 < runs.size() && runs[at].start < target)
            ++at;
        if (at < runs.size() && (cuts.empty() || at > cuts.back()))
            cuts.push_back(at);
    }
    std::vector<Part> parts;
    KeyRange rest = part.range;
    qsizetype start = 0;
    for (size_t cut : cuts) {
        const Run& run = runs[cut];
        parts.push_back(Part{rest.below(run.value), std::nullopt,
                             weight * static_cast<double>(run.start - start) / total, false});
        rest = rest.from(run.value, true);
        start = run.start;
    }
    parts.push_back(
        Part{rest, std::nullopt, weight * static_cast<double>(total - start) / total, false});
    return parts;
}
