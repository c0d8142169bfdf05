#pragma once
// Counting a sequence in pieces for the tests: random sequences, random cut
// points, pieces counted apart and merged in order, compared with the count
// in one go.

#include "engine/counting/partial_count.h"
#include "engine/counting/streaming_counter.h"

#include "pipeline_support.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <sstream>

namespace tessivo::test::pieces {

using Loads = std::vector<long double>;

// Walks with drift (residues that grow), few levels (ties and plateaus), and
// 15-digit decimals.
inline Loads randomLoads(std::mt19937_64& rng, int maxLength)
{
    const int length = std::uniform_int_distribution<int>(2, maxLength)(rng);
    const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
    const int drift = std::uniform_int_distribution<int>(-2, 2)(rng);
    Loads loads;
    long double walk = 0;
    for (int i = 0; i < length; ++i) {
        switch (kind) {
        case 0:
            walk += std::uniform_int_distribution<int>(-4, 4)(rng) + drift;
            loads.push_back(walk);
            break;
        case 1:
            loads.push_back(std::uniform_int_distribution<int>(0, 3)(rng));
            break;
        case 2: // plateaus: a level held for a while
            if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
                walk = std::uniform_int_distribution<int>(-5, 5)(rng);
            loads.push_back(walk);
            break;
        default:
            loads.push_back(roundToWorkPrecision(std::uniform_real_distribution<double>(-500.0, 500.0)(rng) / 7.0L));
        }
    }
    if (*std::max_element(loads.begin(), loads.end()) == *std::min_element(loads.begin(), loads.end()))
        loads.back() += 1; // a run needs a spread above the filter
    return loads;
}

inline long double randomFilter(std::mt19937_64& rng, const Loads& loads)
{
    const long double span =
        *std::max_element(loads.begin(), loads.end()) - *std::min_element(loads.begin(), loads.end());
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
    case 0:
        return 0.0L;
    case 1:
        return 1.0L < span ? 1.0L : 0.0L;
    case 2:
        return span / 3;
    case 3:
        return span / 50;
    default:
        return std::nextafter(span, -1.0L);
    }
}

enum class Mode { Unlimited, FixedTable, BinsGiven, BinsLater };

inline CountParameters parametersFor(Mode mode, const Parameters& p, const Loads& loads)
{
    CountParameters c;
    c.filter = p.filter;
    c.residue = p.decomposition ? ResidueMethod::Decomposition
                : p.halfCycles  ? ResidueMethod::Half
                                : ResidueMethod::Upward;
    c.binCount = p.binCount;
    c.unlimited = mode == Mode::Unlimited;
    c.useLoadBins = mode == Mode::BinsGiven || mode == Mode::BinsLater;
    if (mode == Mode::BinsGiven) {
        c.store = CycleStore::Bins;
        c.binLowest = *std::min_element(loads.begin(), loads.end());
        c.binHighest = *std::max_element(loads.begin(), loads.end());
    }
    return c;
}

// Cut points 0 < c1 < ... < n: between 1 and 64 pieces, sometimes one value each.
inline std::vector<std::size_t> randomCuts(std::mt19937_64& rng, std::size_t n)
{
    std::vector<std::size_t> cuts;
    if (n <= 64 && std::uniform_int_distribution<int>(0, 4)(rng) == 0) {
        for (std::size_t i = 1; i <= n; ++i)
            cuts.push_back(i);
        return cuts;
    }
    const auto pieces = std::uniform_int_distribution<std::size_t>(1, std::min<std::size_t>(64, n))(rng);
    std::vector<std::size_t> all(n - 1);
    std::iota(all.begin(), all.end(), 1);
    std::shuffle(all.begin(), all.end(), rng);
    cuts.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(pieces - 1));
    cuts.push_back(n);
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

inline PartialCount roundTrip(PartialCount& count)
{
    std::stringstream bytes;
    count.write(bytes);
    return PartialCount::read(bytes, "piece");
}

// Each piece counted on its own, fed in blocks of random sizes; some pieces
// pass through the binary form; then merged in order, adjacent pairs first
// in a random order of merging. The pieces are numbered, unnumbered, or some
// of each.
inline PartialCount countInPieces(std::mt19937_64& rng, const CountParameters& c, const Loads& loads,
                                  const std::vector<std::size_t>& cuts)
{
    std::vector<PartialCount> parts;
    std::size_t from = 0;
    const int numbering = std::uniform_int_distribution<int>(0, 2)(rng); // every, none, some
    for (const std::size_t to : cuts) {
        const bool numbered = numbering == 0 || (numbering == 2 && rng() % 2 == 0);
        PartialCount part(c, numbered ? parts.size() + 1 : PartialCount::kUnnumbered);
        for (std::size_t at = from; at < to;) {
            const auto block = std::min(to - at, std::uniform_int_distribution<std::size_t>(1, 9)(rng));
            part.feed(loads.data() + at, block);
            at += block;
        }
        if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
            part = roundTrip(part);
        parts.push_back(std::move(part));
        from = to;
    }
    while (parts.size() > 1) {
        const auto i = std::uniform_int_distribution<std::size_t>(0, parts.size() - 2)(rng);
        parts[i].append(std::move(parts[i + 1]));
        parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
    return std::move(parts.front());
}

struct Finished {
    Outcome outcome;
    std::int32_t seqLength = 0;
    long double highest = 0, lowest = 0;
};

inline Finished finish(StreamingCounter counter)
{
    auto run = std::make_unique<TRainflowRun>();
    const CountOutcome o = counter.finish(*run);
    return {{o.result, entriesOf(counter.table(), o.cycleCount)}, run->SeqLength, run->HighestPeak, run->LowestTrough};
}

inline void expectSameCount(std::mt19937_64& rng, Mode mode, const Loads& loads, const Parameters& p)
{
    auto run = makeRun(loads, p);
    run->UseLoadBins = mode == Mode::BinsGiven || mode == Mode::BinsLater;
    const Outcome whole = runInMemory(*run, loads, RunLimits{mode == Mode::Unlimited});
    const CountParameters c = parametersFor(mode, p, loads);
    const std::vector<std::size_t> cuts = randomCuts(rng, loads.size());
    const Finished pieces = finish(StreamingCounter(countInPieces(rng, c, loads, cuts)));
    ASSERT_EQ(pieces.outcome.result, whole.result);
    ASSERT_EQ(pieces.outcome.entries, whole.entries)
        << "pieces: " << cuts.size() << ", filter " << static_cast<double>(p.filter);
    ASSERT_EQ(pieces.seqLength, run->SeqLength);
    ASSERT_EQ(pieces.highest, run->HighestPeak);
    ASSERT_EQ(pieces.lowest, run->LowestTrough);
}

// Random sequences (every longEvery-th at most longLength values, the others
// at most shortLength), random parameters, every mode: the pieces merged in
// order must count as the whole does. Stops at the first fatal failure.
inline void expectPiecesCountAsOne(std::uint64_t seed, int sequences, int longEvery, int longLength, int shortLength)
{
    std::mt19937_64 rng(seed);
    for (int iteration = 0; iteration < sequences; ++iteration) {
        const Loads loads = randomLoads(rng, iteration % longEvery == 0 ? longLength : shortLength);
        Parameters p;
        p.filter = randomFilter(rng, loads);
        const auto residue = rng() % 3; // decomposition, upward, half
        p.decomposition = residue == 0;
        p.halfCycles = residue == 2;
        p.binCount = std::array{32, 64, 100, 3}[rng() % 4];
        for (const Mode mode : {Mode::Unlimited, Mode::FixedTable, Mode::BinsGiven, Mode::BinsLater}) {
            SCOPED_TRACE(testing::Message() << "iteration " << iteration << ", mode " << static_cast<int>(mode));
            expectSameCount(rng, mode, loads, p);
            if (testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace tessivo::test::pieces
