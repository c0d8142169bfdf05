#include "engine/fatigue/other_counts.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/fatigue/neumaier_sum.h"
#include "engine/fatigue/turning_points.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

void checkAscending(std::span<const long double> levels, const char* what, std::size_t least)
{
    if (levels.size() < least)
        throw FatigueError(std::string(what) + " must hold at least " + std::to_string(least) + ", not "
                           + std::to_string(levels.size()));
    for (std::size_t k = 0; k < levels.size(); ++k) {
        if (!std::isfinite(levels[k]))
            throw FatigueError(std::string(what) + " must be finite numbers, not " + fatigueNumberText(levels[k]));
        if (k > 0 && !(levels[k - 1] < levels[k]))
            throw FatigueError(std::string(what) + " must ascend: " + fatigueNumberText(levels[k]) + " follows "
                               + fatigueNumberText(levels[k - 1]));
    }
}

std::size_t index(std::span<const long double> levels, const long double* at)
{
    return static_cast<std::size_t>(at - levels.data());
}

} // namespace

std::vector<LevelCount> levelCrossings(std::span<const long double> values, std::span<const long double> levels,
                                       long double reference, long double hysteresis)
{
    checkAscending(levels, "The levels", 1);
    if (!std::isfinite(reference))
        throw FatigueError("The reference level must be a finite number, not " + fatigueNumberText(reference));
    const std::vector<long double> points = turningPoints(values, hysteresis);
    // Differences over the level indices: each stretch adds 1 to a run of levels.
    std::vector<long double> up(levels.size() + 1), down(levels.size() + 1);
    const long double* first = levels.data();
    const long double* last = first + levels.size();
    for (std::size_t k = 1; k < points.size(); ++k) {
        const long double a = points[k - 1], b = points[k];
        if (b > a) {
            up[index(levels, std::upper_bound(first, last, a))] += 1.0L;
            up[index(levels, std::upper_bound(first, last, b))] -= 1.0L;
        } else {
            down[index(levels, std::lower_bound(first, last, b))] += 1.0L;
            down[index(levels, std::lower_bound(first, last, a))] -= 1.0L;
        }
    }
    std::vector<LevelCount> counts(levels.size());
    long double rising = 0.0L, falling = 0.0L;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        rising += up[i];
        falling += down[i];
        counts[i] = {levels[i], levels[i] >= reference ? rising : falling};
    }
    return counts;
}

long double meanLevel(std::span<const long double> values)
{
    if (values.empty())
        throw FatigueError("The reference level is the mean of the values: the sequence holds none");
    NeumaierSum sum;
    for (long double v : values)
        sum.add(v);
    return sum.value() / static_cast<long double>(values.size());
}

std::vector<RangePair> rangePairs(std::span<const long double> values, long double hysteresis)
{
    const std::vector<long double> points = turningPoints(values, hysteresis);
    std::vector<RangePair> pairs;
    std::vector<long double> stack;
    for (long double p : points) {
        stack.push_back(p);
        while (stack.size() >= 3) {
            const std::size_t n = stack.size();
            const long double x = std::fabs(stack[n - 1] - stack[n - 2]);
            const long double y = std::fabs(stack[n - 2] - stack[n - 3]);
            if (x < y)
                break;
            const long double a = stack[n - 3], b = stack[n - 2];
            pairs.push_back({y, std::max(a, b), std::min(a, b), 1.0L});
            stack.erase(stack.end() - 3, stack.end() - 1);
        }
    }
    for (std::size_t k = 1; k < stack.size(); ++k) {
        const long double a = stack[k - 1], b = stack[k];
        pairs.push_back({std::fabs(b - a), std::max(a, b), std::min(a, b), 0.5L});
    }
    return pairs;
}

TimeAtLevel timeAtLevel(std::span<const long double> values, std::span<const long double> edges, long double interval)
{
    checkAscending(edges, "The class edges", 2);
    if (!std::isfinite(interval) || interval <= 0.0L)
        throw FatigueError("The sampling interval must be a positive number of seconds, not "
                           + fatigueNumberText(interval));
    TimeAtLevel t;
    t.edges.assign(edges.begin(), edges.end());
    t.seconds.assign(edges.size() - 1, 0.0L);
    std::vector<long double> samples(t.seconds.size()); // counted, then times the interval: no drift from sums
    long double outside = 0.0L;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const long double v = values[i];
        if (!std::isfinite(v))
            throw FatigueError("The value at position " + std::to_string(i + 1) + " is not a finite number ("
                               + fatigueNumberText(v) + ")");
        if (v < edges.front() || v > edges.back()) {
            outside += 1.0L;
            continue;
        }
        const auto above = std::upper_bound(edges.begin(), edges.end(), v);
        const auto k = static_cast<std::size_t>(above - edges.begin()) - 1;
        samples[std::min(k, samples.size() - 1)] += 1.0L;
    }
    for (std::size_t k = 0; k < samples.size(); ++k)
        t.seconds[k] = samples[k] * interval;
    t.outside = outside * interval;
    return t;
}

} // namespace tessivo::fatigue
