// Level crossings, range pairs and time at level on the example history of
// the standard practices for cycle counting (-2, 1, -3, 5, -1, 3, -4, 4, -2),
// counted by hand, and level crossings against a sample-by-sample model.

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/other_counts.h"
#include "engine/fatigue/turning_points.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tessivo::fatigue {
namespace {

const std::vector<long double> kHistory = {-2, 1, -3, 5, -1, 3, -4, 4, -2};

TEST(LevelCrossings, ExampleHistoryByHand)
{
    // Upward crossings at and above 0, downward ones below it.
    const std::vector<long double> levels = {-4, -3, -2, -1, 0, 1, 2, 3, 4, 5};
    const long double want[] = {1, 2, 3, 4, 4, 4, 3, 3, 2, 1};
    const auto counts = levelCrossings(kHistory, levels, 0.0L);
    ASSERT_EQ(counts.size(), levels.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(counts[i].level, levels[i]);
        EXPECT_EQ(counts[i].count, want[i]) << static_cast<double>(levels[i]);
    }
}

TEST(LevelCrossings, SampleBySampleModelOnARandomWalk)
{
    std::mt19937 rng(27);
    std::uniform_int_distribution<int> step(-3, 3);
    std::vector<long double> values = {0};
    for (int i = 0; i < 2000; ++i)
        values.push_back(values.back() + step(rng) * 0.5L);
    const std::vector<long double> levels = evenLevels(-20, 20, 81);
    for (long double reference : {0.0L, -3.25L, 7.0L}) {
        const auto counts = levelCrossings(values, levels, reference);
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const long double level = levels[i];
            long double model = 0;
            for (std::size_t k = 1; k < values.size(); ++k) {
                const long double a = values[k - 1], b = values[k];
                if (level >= reference && a < level && level <= b)
                    ++model;
                if (level < reference && b <= level && level < a)
                    ++model;
            }
            EXPECT_EQ(counts[i].count, model)
                << static_cast<double>(level) << " ref " << static_cast<double>(reference);
        }
    }
}

TEST(TurningPoints, HysteresisDropsSmallerWiggles)
{
    const std::vector<long double> values = {0, 5, 4.5L, 6, 6, 0, 0.5L, -1};
    EXPECT_EQ(turningPoints(values, 0), (std::vector<long double>{0, 5, 4.5L, 6, 0, 0.5L, -1}));
    EXPECT_EQ(turningPoints(values, 1), (std::vector<long double>{0, 6, -1}));
    EXPECT_EQ(turningPoints(std::vector<long double>{3, 3, 3}, 0), (std::vector<long double>{3}));
    // Before the first reversal that counts: the peak 0.7 is left by 1.4, more than 1, so it
    // stays, though the start is less than 1 from it; a later rise of 0.9 does not count.
    EXPECT_EQ(turningPoints(std::vector<long double>{0, 0.7L, -0.7L, 0.2L}, 1),
              (std::vector<long double>{0, 0.7L, -0.7L}));
    EXPECT_EQ(turningPoints(std::vector<long double>{0, -0.5L, 0.5L, 0, 2}, 1),
              (std::vector<long double>{0, -0.5L, 2}));
    EXPECT_THROW(turningPoints(values, -1), FatigueError);
}

TEST(RangePairs, ExampleHistoryByHand)
{
    // Pairs 3 (-2, 1), 4 (-1, 3), 8 (-3, 5); the residue -4, 4, -2 leaves
    // the halves 8 and 6. Four cycles, as rainflow counts, other ranges.
    const auto pairs = rangePairs(kHistory);
    struct Want {
        long double range, upper, lower, count;
    };
    const Want want[] = {{3, 1, -2, 1}, {4, 3, -1, 1}, {8, 5, -3, 1}, {8, 4, -4, 0.5L}, {6, 4, -2, 0.5L}};
    ASSERT_EQ(pairs.size(), std::size(want));
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(pairs[i].range, want[i].range) << i;
        EXPECT_EQ(pairs[i].upper, want[i].upper) << i;
        EXPECT_EQ(pairs[i].lower, want[i].lower) << i;
        EXPECT_EQ(pairs[i].count, want[i].count) << i;
    }
}

TEST(TimeAtLevel, SamplesByClassAndBeyond)
{
    const std::vector<long double> values = {0, 1, 1.5L, 2, 3, 10, -0.1L};
    const std::vector<long double> edges = {0, 1, 2, 3};
    const TimeAtLevel t = timeAtLevel(values, edges, 0.5L);
    EXPECT_EQ(t.seconds, (std::vector<long double>{0.5L, 1, 1})); // the upper edge 3 in the last class
    EXPECT_EQ(t.outside, 1.0L);
}

TEST(OtherCounts, BadInputIsNamed)
{
    const auto message = [](auto&& f) {
        try {
            f();
        } catch (const FatigueError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::vector<long double> down = {0, 2, 1};
    EXPECT_EQ(message([&] { levelCrossings(kHistory, down, 0); }), "The levels must ascend: 1 follows 2");
    EXPECT_EQ(message([&] { timeAtLevel(kHistory, std::vector<long double>{1}, 1); }),
              "The class edges must hold at least 2, not 1");
    EXPECT_EQ(message([&] { timeAtLevel(kHistory, down, 0); }), "The class edges must ascend: 1 follows 2");
    const std::vector<long double> nan = {0, 1, NAN};
    EXPECT_EQ(message([&] { rangePairs(nan); }), "The value at position 3 is not a finite number (nan)");
}

// A counter fed in blocks of any size, split anywhere (inside a wiggle the
// hysteresis removes too), counts what the whole history gives at once.
TEST(OtherCounts, CountersFedInBlocksCountAsTheWholeHistory)
{
    std::mt19937_64 rng(7);
    std::normal_distribution<double> step(0.0, 3.0);
    std::vector<long double> walk(5000);
    long double v = 0;
    for (long double& x : walk)
        x = v += static_cast<long double>(std::round(step(rng) * 4) / 4);
    const std::vector<long double> levels = evenLevels(-40, 40, 33);
    LevelCrossingCounter crossings(levels, 1.5L, 2.0L);
    RangePairCounter pairs(2.0L);
    TimeAtLevelCounter time(levels, 0.1L);
    std::uniform_int_distribution<std::size_t> size(0, 300);
    for (std::size_t at = 0; at < walk.size();) {
        const std::span<const long double> block(walk.data() + at, std::min(size(rng), walk.size() - at));
        crossings.feed(block);
        pairs.feed(block);
        time.feed(block);
        at += block.size();
    }
    const auto wholeCrossings = levelCrossings(walk, levels, 1.5L, 2.0L);
    const auto fedCrossings = crossings.finish();
    ASSERT_EQ(fedCrossings.size(), wholeCrossings.size());
    for (std::size_t k = 0; k < levels.size(); ++k)
        EXPECT_EQ(fedCrossings[k].count, wholeCrossings[k].count) << k;
    const auto wholePairs = rangePairs(walk, 2.0L);
    const auto fedPairs = pairs.finish();
    ASSERT_EQ(fedPairs.size(), wholePairs.size());
    for (std::size_t k = 0; k < wholePairs.size(); ++k)
        EXPECT_TRUE(fedPairs[k].upper == wholePairs[k].upper && fedPairs[k].lower == wholePairs[k].lower
                    && fedPairs[k].count == wholePairs[k].count)
            << k;
    EXPECT_EQ(time.finish().seconds, timeAtLevel(walk, levels, 0.1L).seconds);
    long double sum = 0;
    for (long double x : walk)
        sum += x; // quarters: every partial sum is exact
    EXPECT_EQ(meanLevel(walk), sum / 5000);
}

} // namespace
} // namespace tessivo::fatigue
