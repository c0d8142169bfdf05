#include "engine/run/other_count.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/turning_points.h"
#include "engine/numbers/work_notation.h"
#include "engine/run/count_sources.h"
#include "engine/tables/time_column.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tessivo {
namespace {

std::vector<long double> readAll(ValueSource& source)
{
    std::vector<long double> values;
    long double block[4096];
    while (const std::size_t n = source.nextBlock(block, 4096))
        values.insert(values.end(), block, block + n);
    return values;
}

// The joined sequence as a count takes it: every repetition, scaled, rounded to work precision.
std::vector<long double> joinedValues(CountInputs& inputs)
{
    if (auto* values = std::get_if<CountInputs::Values>(&inputs.kind()))
        return readAll(*values->rounded);
    auto run = std::make_unique<TRainflowRun>();
    loadSlots(*run, inputs, std::nullopt);
    return readAll(*combinedSource(*run, inputs));
}

// The edges or levels asked for: own ones, or equal ones over the values' extremes.
std::vector<long double> levelsOf(const OtherCountRequest& request, const OtherCountResult& result)
{
    if (!request.edges.empty())
        return request.edges;
    if (result.sequenceLength == 0)
        throw fatigue::FatigueError("Equal levels need the extremes of a sequence: it holds no values");
    const std::int32_t n = request.method == CountMethod::TimeAtLevel ? request.levels + 1 : request.levels;
    return fatigue::evenLevels(result.lowestTrough, result.highestPeak, n);
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

std::vector<RangePairRow> rangePairRows(const std::vector<fatigue::RangePair>& pairs)
{
    std::vector<fatigue::RangePair> sorted = pairs;
    const auto key = [](const fatigue::RangePair& p) { return std::make_tuple(-p.range, -p.upper, -p.lower); };
    std::sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    std::vector<RangePairRow> rows;
    long double cumulative = 0.0L;
    for (const fatigue::RangePair& p : sorted) {
        if (rows.empty() || key(p) != std::make_tuple(-rows.back().range, -rows.back().upper, -rows.back().lower))
            rows.push_back({p.range, p.upper, p.lower, 0.0L, 0.0L});
        rows.back().count += p.count;
        cumulative += p.count;
        rows.back().cumulative = cumulative;
    }
    return rows;
}

OtherCountResult countOther(const OtherCountRequest& request, CountInputs inputs)
{
    if (request.method == CountMethod::Rainflow)
        throw std::logic_error("countOther counts the other counts; rainflow goes through count()");
    if (request.edges.empty() && request.levels < (request.method == CountMethod::TimeAtLevel ? 1 : 2))
        throw fatigue::FatigueError("Equal levels need at least "
                                    + std::string(request.method == CountMethod::TimeAtLevel ? "1 class" : "2 levels")
                                    + ", not " + std::to_string(request.levels));
    const std::vector<long double> values = joinedValues(inputs);
    OtherCountResult result;
    result.method = request.method;
    result.sequenceLength = static_cast<std::int64_t>(values.size());
    if (!values.empty()) {
        const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
        result.lowestTrough = *lowest;
        result.highestPeak = *highest;
    }
    result.hysteresis = request.hysteresis;
    switch (request.method) {
    case CountMethod::LevelCrossing: {
        result.referenceIsMean = !request.reference;
        result.reference = request.reference ? *request.reference : fatigue::meanLevel(values);
        result.crossings =
            fatigue::levelCrossings(values, levelsOf(request, result), result.reference, request.hysteresis);
        break;
    }
    case CountMethod::RangePair:
        result.pairs = rangePairRows(fatigue::rangePairs(values, request.hysteresis));
        break;
    case CountMethod::TimeAtLevel: {
        if (request.interval) {
            result.interval = *request.interval;
            result.intervalSource = IntervalSource::Given;
        } else if (auto* columns = std::get_if<CountInputs::Columns>(&inputs.kind())) {
            if (const std::optional<long double> step = readTimeStep(columns->columns)) {
                result.interval = *step;
                result.intervalSource = IntervalSource::TimeColumn;
            }
        }
        result.time = fatigue::timeAtLevel(values, levelsOf(request, result), result.interval);
        // A decimal interval has no exact binary form: 626 x 0.05 would show as 31.300000000000000001.
        for (long double& seconds : result.time.seconds)
            seconds = roundToWorkPrecision(seconds);
        result.time.outside = roundToWorkPrecision(result.time.outside);
        break;
    }
    case CountMethod::Rainflow:
        break;
    }
    return result;
}

} // namespace tessivo
