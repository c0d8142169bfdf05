#include "engine/fatigue/other_counts.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

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

std::vector<long double> checkedLevels(std::span<const long double> levels)
{
    checkAscending(levels, "The levels", 1);
    return {levels.begin(), levels.end()};
}

long double checkedReference(long double reference)
{
    if (!std::isfinite(reference))
        throw FatigueError("The reference level must be a finite number, not " + fatigueNumberText(reference));
    return reference;
}

} // namespace

// ---------------------------------------------------------------- level crossings

LevelCrossingCounter::LevelCrossingCounter(std::span<const long double> levels, long double reference,
                                           long double hysteresis)
    : m_levels(checkedLevels(levels))
    , m_reference(checkedReference(reference))
    , m_filter(hysteresis)
    , m_up(m_levels.size() + 1)
    , m_down(m_levels.size() + 1)
{
}

// Each stretch adds 1 to a run of levels: its ends go into the differences.
void LevelCrossingCounter::stretchTo(long double b)
{
    if (!m_started) {
        m_started = true;
        m_last = b;
        return;
    }
    const long double a = m_last;
    const auto at = [this](auto bound) { return static_cast<std::size_t>(bound - m_levels.begin()); };
    if (b > a) {
        m_up[at(std::upper_bound(m_levels.begin(), m_levels.end(), a))] += 1.0L;
        m_up[at(std::upper_bound(m_levels.begin(), m_levels.end(), b))] -= 1.0L;
    } else {
        m_down[at(std::lower_bound(m_levels.begin(), m_levels.end(), b))] += 1.0L;
        m_down[at(std::lower_bound(m_levels.begin(), m_levels.end(), a))] -= 1.0L;
    }
    m_last = b;
}

void LevelCrossingCounter::feed(std::span<const long double> values)
{
    long double point = 0.0L;
    for (const long double v : values) {
        if (m_filter.feed(v, point))
            stretchTo(point);
    }
}

std::vector<LevelCount> LevelCrossingCounter::finish()
{
    long double point = 0.0L;
    if (m_filter.finish(point))
        stretchTo(point);
    std::vector<LevelCount> counts(m_levels.size());
    long double rising = 0.0L, falling = 0.0L;
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        rising += m_up[i];
        falling += m_down[i];
        counts[i] = {m_levels[i], m_levels[i] >= m_reference ? rising : falling};
    }
    return counts;
}

std::vector<LevelCount> levelCrossings(std::span<const long double> values, std::span<const long double> levels,
                                       long double reference, long double hysteresis)
{
    LevelCrossingCounter counter(levels, reference, hysteresis);
    counter.feed(values);
    return counter.finish();
}

// ---------------------------------------------------------------- range pairs

RangePairCounter::RangePairCounter(long double hysteresis) : m_filter(hysteresis) {}

void RangePairCounter::push(long double p)
{
    m_stack.push_back(p);
    while (m_stack.size() >= 3) {
        const std::size_t n = m_stack.size();
        const long double x = std::fabs(m_stack[n - 1] - m_stack[n - 2]);
        const long double y = std::fabs(m_stack[n - 2] - m_stack[n - 3]);
        if (x < y)
            break;
        const long double a = m_stack[n - 3], b = m_stack[n - 2];
        m_pairs.push_back({y, std::max(a, b), std::min(a, b), 1.0L});
        m_stack.erase(m_stack.end() - 3, m_stack.end() - 1);
    }
}

void RangePairCounter::feed(std::span<const long double> values)
{
    long double point = 0.0L;
    for (const long double v : values) {
        if (m_filter.feed(v, point))
            push(point);
    }
}

std::vector<RangePair> RangePairCounter::finish()
{
    long double point = 0.0L;
    if (m_filter.finish(point))
        push(point);
    for (std::size_t k = 1; k < m_stack.size(); ++k) {
        const long double a = m_stack[k - 1], b = m_stack[k];
        m_pairs.push_back({std::fabs(b - a), std::max(a, b), std::min(a, b), 0.5L});
    }
    m_stack.clear();
    return std::move(m_pairs);
}

std::vector<RangePair> rangePairs(std::span<const long double> values, long double hysteresis)
{
    RangePairCounter counter(hysteresis);
    counter.feed(values);
    return counter.finish();
}

// ---------------------------------------------------------------- time at level

TimeAtLevelCounter::TimeAtLevelCounter(std::span<const long double> edges, long double interval) : m_interval(interval)
{
    checkAscending(edges, "The class edges", 2);
    if (!std::isfinite(interval) || interval <= 0.0L)
        throw FatigueError("The sampling interval must be a positive number of seconds, not "
                           + fatigueNumberText(interval));
    m_edges.assign(edges.begin(), edges.end());
    m_samples.assign(m_edges.size() - 1, 0);
}

void TimeAtLevelCounter::feed(std::span<const long double> values)
{
    for (const long double v : values) {
        ++m_position;
        if (!std::isfinite(v))
            throw FatigueError("The value at position " + std::to_string(m_position) + " is not a finite number ("
                               + fatigueNumberText(v) + ")");
        if (v < m_edges.front() || v > m_edges.back()) {
            ++m_outside;
            continue;
        }
        const auto above = std::upper_bound(m_edges.begin(), m_edges.end(), v);
        const auto k = static_cast<std::size_t>(above - m_edges.begin()) - 1;
        ++m_samples[std::min(k, m_samples.size() - 1)];
    }
}

TimeAtLevel TimeAtLevelCounter::finish() const
{
    TimeAtLevel t;
    t.edges = m_edges;
    for (const std::int64_t n : m_samples)
        t.seconds.push_back(static_cast<long double>(n) * m_interval);
    t.outside = static_cast<long double>(m_outside) * m_interval;
    return t;
}

TimeAtLevel timeAtLevel(std::span<const long double> values, std::span<const long double> edges, long double interval)
{
    TimeAtLevelCounter counter(edges, interval);
    counter.feed(values);
    return counter.finish();
}

// ---------------------------------------------------------------- summary

void ValueSummary::feed(std::span<const long double> values)
{
    for (const long double v : values) {
        if (m_count == 0 || v < m_lowest)
            m_lowest = v;
        if (m_count == 0 || v > m_highest)
            m_highest = v;
        m_sum.add(v);
        ++m_count;
    }
}

long double ValueSummary::mean() const
{
    if (m_count == 0)
        throw FatigueError("The reference level is the mean of the values: the sequence holds none");
    return m_sum.value() / static_cast<long double>(m_count);
}

long double meanLevel(std::span<const long double> values)
{
    ValueSummary summary;
    summary.feed(values);
    return summary.mean();
}

} // namespace tessivo::fatigue
