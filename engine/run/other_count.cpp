#include "engine/run/other_count.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/turning_points.h"
#include "engine/numbers/work_notation.h"
#include "engine/run/count_sources.h"
#include "engine/tables/time_column.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace tessivo {
namespace {

using Block = std::span<const long double>;

// The joined sequence as a count takes it (every repetition, scaled, rounded
// to work precision), read in blocks as often as asked: files and columns
// from the users' files each time, values in memory kept after the first
// reading since their source reads once.
class JoinedSequence {
public:
    explicit JoinedSequence(CountInputs& inputs) : m_inputs(inputs)
    {
        if (auto* values = std::get_if<CountInputs::Values>(&inputs.kind())) {
            m_memory = values->rounded;
            return;
        }
        loadSlots(m_run, slotInputs(inputs), std::nullopt);
    }

    void pass(const std::function<void(Block)>& take)
    {
        if (m_memory != nullptr) {
            if (!m_held) {
                readAll(*m_memory, [this](Block b) { m_values.insert(m_values.end(), b.begin(), b.end()); });
                m_held = true;
            }
            take(m_values);
            return;
        }
        CombinedSequence combined = combinedSource(m_run, slotInputs(m_inputs));
        readAll(combined, take);
    }

private:
    static void readAll(ValueSource& source, const std::function<void(Block)>& take)
    {
        long double block[4096];
        while (const std::size_t n = source.nextBlock(block, 4096))
            take(Block(block, n));
    }

    CountInputs& m_inputs;
    TRainflowRun m_run;
    ValueSource* m_memory = nullptr;
    bool m_held = false;
    std::vector<long double> m_values;
};

// The edges or levels asked for: own ones, or equal ones over the values' extremes.
std::vector<long double> levelsOf(const OtherCountRequest& request, const fatigue::ValueSummary& summary)
{
    if (!request.edges.empty())
        return request.edges;
    if (summary.count() == 0)
        throw fatigue::FatigueError("Equal levels need the extremes of a sequence: it holds no values");
    const std::int32_t n = request.method == CountMethod::TimeAtLevel ? request.levels + 1 : request.levels;
    return fatigue::evenLevels(summary.lowest(), summary.highest(), n);
}

// The slots when every one is a column of a table scanned before; else none.
std::vector<TableColumnInput> tableColumnsOf(CountInputs& inputs)
{
    std::vector<TableColumnInput> columns;
    auto* slots = std::get_if<CountInputs::Slots>(&inputs.kind());
    for (std::size_t i = 0; slots != nullptr && i < slots->inputs.size(); ++i) {
        const auto* column = dynamic_cast<const TableColumnFormat*>(slots->inputs[i].format.get());
        if (column == nullptr || !column->knownStats())
            return {};
        columns.push_back(TableColumnInput{column->ref(), *column->knownStats()});
    }
    return columns;
}

// The interval of time at level: given, the step of the tables' time column, or 1 (in values).
void setInterval(OtherCountResult& result, const OtherCountRequest& request, CountInputs& inputs)
{
    if (request.interval) {
        result.interval = *request.interval;
        result.intervalSource = IntervalSource::Given;
    } else if (const std::vector<TableColumnInput> columns = tableColumnsOf(inputs); !columns.empty()) {
        if (const std::optional<long double> step = readTimeStep(columns)) {
            result.interval = *step;
            result.intervalSource = IntervalSource::TimeColumn;
        }
    }
}

} // namespace

std::optional<long double> readTimeStep(const std::vector<TableColumnInput>& columns)
{
    std::optional<long double> step;
    for (const TableColumnInput& column : columns) {
        if (column.stats.skippedEmpty > 0)
            return std::nullopt;
        const std::optional<std::vector<long double>> times = readTimeColumn(column.ref.path, column.ref.layout);
        if (!times || static_cast<std::int64_t>(times->size()) != column.stats.points)
            return std::nullopt;
        const long double mean = (times->back() - times->front()) / static_cast<long double>(times->size() - 1);
        for (std::size_t i = 1; i < times->size(); ++i) {
            if (std::fabs((*times)[i] - (*times)[i - 1] - mean) > 1e-6L * mean)
                return std::nullopt;
        }
        if (step && std::fabs(*step - mean) > 1e-6L * mean)
            return std::nullopt;
        if (!step)
            step = mean;
    }
    return step;
}

std::vector<fatigue::RangePair> gatheredPairs(std::vector<fatigue::RangePair> pairs)
{
    const auto key = [](const fatigue::RangePair& p) { return std::make_tuple(-p.range, -p.upper, -p.lower); };
    std::sort(pairs.begin(), pairs.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    // Equal pairs into the first of them, in place: the pairs of a long history are many.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (kept > 0 && key(pairs[kept - 1]) == key(pairs[i]))
            pairs[kept - 1].count += pairs[i].count;
        else
            pairs[kept++] = pairs[i];
    }
    pairs.resize(kept);
    pairs.shrink_to_fit();
    return pairs;
}

OtherCountResult countOther(const OtherCountRequest& request, CountInputs inputs)
{
    using enum CountMethod;
    if (request.method == Rainflow)
        throw std::logic_error("countOther counts the other counts; rainflow goes through count()");
    if (request.edges.empty() && request.levels < (request.method == TimeAtLevel ? 1 : 2))
        throw fatigue::FatigueError("Equal levels need at least "
                                    + std::string(request.method == TimeAtLevel ? "1 class" : "2 levels") + ", not "
                                    + std::to_string(request.levels));
    JoinedSequence joined(inputs);
    // The mean and the extremes before the count where it needs them; beside it otherwise.
    const bool summaryFirst = (request.method == LevelCrossing && (!request.reference || request.edges.empty()))
                              || (request.method == TimeAtLevel && request.edges.empty());
    fatigue::ValueSummary summary;
    if (summaryFirst)
        joined.pass([&](Block b) { summary.feed(b); });
    const auto countPass = [&](auto& counter) {
        joined.pass([&](Block b) {
            counter.feed(b);
            if (!summaryFirst)
                summary.feed(b);
        });
    };
    OtherCountResult result;
    result.method = request.method;
    result.hysteresis = request.hysteresis;
    switch (request.method) {
    case LevelCrossing: {
        result.referenceIsMean = !request.reference;
        result.reference = request.reference ? *request.reference : summary.mean();
        fatigue::LevelCrossingCounter counter(levelsOf(request, summary), result.reference, request.hysteresis);
        countPass(counter);
        result.crossings = counter.finish();
        break;
    }
    case RangePair: {
        fatigue::RangePairCounter counter(request.hysteresis);
        countPass(counter);
        result.pairs = gatheredPairs(counter.finish());
        break;
    }
    case TimeAtLevel: {
        setInterval(result, request, inputs);
        fatigue::TimeAtLevelCounter counter(levelsOf(request, summary), result.interval);
        countPass(counter);
        result.time = counter.finish();
        // A decimal interval has no exact binary form: 626 x 0.05 would show as 31.300000000000000001.
        for (long double& seconds : result.time.seconds)
            seconds = roundToWorkPrecision(seconds);
        result.time.outside = roundToWorkPrecision(result.time.outside);
        break;
    }
    case Rainflow:
        break;
    }
    result.sequenceLength = summary.count();
    result.lowestTrough = summary.lowest();
    result.highestPeak = summary.highest();
    return result;
}

} // namespace tessivo
