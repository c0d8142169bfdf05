// Counting in pieces: a sequence cut anywhere, its pieces counted apart and
// their partial counts merged in order, must give the count of the whole
// sequence in one go, entry for entry, whatever the parameters.

#include "engine/counting/partial_count.h"
#include "engine/counting/streaming_counter.h"

#include "pipeline_support.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace tessivo;
using namespace tessivo::test;

namespace {

using Loads = std::vector<long double>;

// Walks with drift (residues that grow), few levels (ties and plateaus), and
// 15-digit decimals.
Loads randomLoads(std::mt19937_64& rng, int maxLength)
{
    const int length = std::uniform_int_distribution<int>(2, maxLength)(rng);
    const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
    const int drift = std::uniform_int_distribution<int>(-2, 2)(rng);
    Loads loads;
    long double walk = 0;
    for (int i = 0; i < length; ++i) {
        switch (kind) {
        case 0: walk += std::uniform_int_distribution<int>(-4, 4)(rng) + drift; loads.push_back(walk); break;
        case 1: loads.push_back(std::uniform_int_distribution<int>(0, 3)(rng)); break;
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

long double randomFilter(std::mt19937_64& rng, const Loads& loads)
{
    const long double span = *std::max_element(loads.begin(), loads.end()) -
                             *std::min_element(loads.begin(), loads.end());
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
    case 0: return 0.0L;
    case 1: return 1.0L < span ? 1.0L : 0.0L;
    case 2: return span / 3;
    case 3: return span / 50;
    default: return std::nextafter(span, -1.0L);
    }
}

enum class Mode { Unlimited, FixedTable, BinsGiven, BinsLater };

CountParameters parametersFor(Mode mode, const Parameters& p, const Loads& loads)
{
    CountParameters c;
    c.filter = p.filter;
    c.residue = p.decomposition ? ResidueMethod::Decomposition : ResidueMethod::Upward;
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
std::vector<std::size_t> randomCuts(std::mt19937_64& rng, std::size_t n)
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

PartialCount roundTrip(PartialCount& count)
{
    std::stringstream bytes;
    count.write(bytes);
    return PartialCount::read(bytes, "piece");
}

// Each piece counted on its own, fed in blocks of random sizes; some pieces
// pass through the binary form; then merged in order, adjacent pairs first
// in a random order of merging.
PartialCount countInPieces(std::mt19937_64& rng, const CountParameters& c, const Loads& loads,
                           const std::vector<std::size_t>& cuts)
{
    std::vector<PartialCount> parts;
    std::size_t from = 0;
    for (const std::size_t to : cuts) {
        PartialCount part(c, parts.size() + 1);
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

Finished finish(StreamingCounter counter)
{
    auto run = std::make_unique<TRainflowRun>();
    const CountOutcome o = counter.finish(*run);
    return {{o.result, entriesOf(counter.table(), o.cycleCount)}, run->SeqLength, run->HighestPeak, run->LowestTrough};
}

void expectSameCount(std::mt19937_64& rng, Mode mode, const Loads& loads, const Parameters& p)
{
    auto run = makeRun(loads, p);
    run->UseLoadBins = mode == Mode::BinsGiven || mode == Mode::BinsLater;
    const Outcome whole = runInMemory(*run, loads, RunLimits{mode == Mode::Unlimited});
    const CountParameters c = parametersFor(mode, p, loads);
    const std::vector<std::size_t> cuts = randomCuts(rng, loads.size());
    const Finished pieces = finish(StreamingCounter(countInPieces(rng, c, loads, cuts)));
    ASSERT_EQ(pieces.outcome.result, whole.result);
    ASSERT_EQ(pieces.outcome.entries, whole.entries) << "pieces: " << cuts.size() << ", filter "
                                                     << static_cast<double>(p.filter);
    ASSERT_EQ(pieces.seqLength, run->SeqLength);
    ASSERT_EQ(pieces.highest, run->HighestPeak);
    ASSERT_EQ(pieces.lowest, run->LowestTrough);
}

} // namespace

TEST(PartialCount, PiecesMergedInOrderEqualTheCountInOneGo)
{
    std::mt19937_64 rng(16);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        const Loads loads = randomLoads(rng, iteration % 10 == 0 ? 400 : 60);
        Parameters p;
        p.filter = randomFilter(rng, loads);
        p.decomposition = rng() % 2 == 0;
        p.binCount = std::array{32, 64, 100, 3}[rng() % 4];
        for (const Mode mode : {Mode::Unlimited, Mode::FixedTable, Mode::BinsGiven, Mode::BinsLater}) {
            SCOPED_TRACE(testing::Message() << "iteration " << iteration << ", mode " << static_cast<int>(mode));
            expectSameCount(rng, mode, loads, p);
            if (HasFatalFailure())
                return;
        }
    }
}

// 40000 values or more go to the matrix unless the table is unlimited; an
// unlimited table past the cycles it holds in memory goes to files.
TEST(PartialCount, LongSequencesSwitchToTheMatrixOrSpillAsInOneGo)
{
    std::mt19937_64 rng(40000);
    Loads loads;
    long double walk = 0;
    for (int i = 0; i < 300000; ++i) {
        walk += std::uniform_int_distribution<int>(-1000, 1000)(rng) / 8.0L;
        loads.push_back(walk);
    }
    for (const bool decomposition : {true, false}) {
        Parameters p;
        p.decomposition = decomposition;
        for (const Mode mode : {Mode::FixedTable, Mode::Unlimited, Mode::BinsGiven}) {
            SCOPED_TRACE(static_cast<int>(mode));
            expectSameCount(rng, mode, loads, p);
        }
    }
}

TEST(PartialCount, BinaryFormReadsBackAsWritten)
{
    std::mt19937_64 rng(7);
    for (int iteration = 0; iteration < 200; ++iteration) {
        const Loads loads = randomLoads(rng, 200);
        Parameters p;
        p.filter = randomFilter(rng, loads);
        const Mode mode = static_cast<Mode>(iteration % 4);
        const CountParameters c = parametersFor(mode, p, loads);
        PartialCount part(c, 1 + iteration % 3);
        part.feed(loads.data(), loads.size());
        std::stringstream first;
        part.write(first);
        PartialCount back = PartialCount::read(first, "piece");
        std::stringstream second;
        back.write(second);
        ASSERT_EQ(first.str(), second.str());
        EXPECT_EQ(back.parameters(), c);
        EXPECT_EQ(back.length(), static_cast<std::int64_t>(loads.size()));
    }
}

namespace {

std::string writtenForm(const CountParameters& c, std::uint64_t piece, const Loads& loads)
{
    PartialCount part(c, piece);
    part.feed(loads.data(), loads.size());
    std::stringstream out;
    part.write(out);
    return out.str();
}

std::string readError(const std::string& bytes)
{
    std::stringstream in(bytes);
    try {
        PartialCount::read(in, "a.part");
    } catch (const PartialCountError& e) {
        return e.what();
    }
    return "read";
}

std::string appendError(PartialCount a, PartialCount b)
{
    try {
        a.append(std::move(b));
    } catch (const PartialCountError& e) {
        return e.what();
    }
    return "merged";
}

} // namespace

TEST(PartialCount, DamagedFilesAreRefused)
{
    const std::string good = writtenForm({}, 2, {0, 5, 2, 4, 1, 6, 3});
    ASSERT_EQ(readError(good), "read");
    EXPECT_EQ(readError("0 5 2 4\n"), "a.part: not a partial count");
    std::string version = good;
    version[8] = 2;
    EXPECT_EQ(readError(version), "a.part: partial count of version 2; this program reads version 1");
    EXPECT_EQ(readError(good.substr(0, good.size() - 30)), "a.part: partial count is cut short");
    std::string flipped = good;
    flipped[good.size() - 20] ^= 0x10;
    EXPECT_EQ(readError(flipped), "a.part: partial count is corrupt (its checksum does not match)");
    EXPECT_EQ(readError(good + "x"), "a.part: partial count is corrupt");
}

TEST(PartialCount, MismatchedOrMisorderedPiecesAreRefused)
{
    const Loads loads{0, 5, 2, 4, 1, 6, 3};
    const auto piece = [&loads](const CountParameters& c, std::uint64_t n) {
        PartialCount part(c, n);
        part.feed(loads.data(), loads.size());
        return part;
    };
    CountParameters other;
    other.filter = 0.5L;
    EXPECT_EQ(appendError(piece({}, 1), piece(other, 2)),
              "The partial counts differ in their filter size: piece 1 and piece 2 cannot be merged");
    other = {};
    other.residue = ResidueMethod::Upward;
    EXPECT_EQ(appendError(piece({}, 1), piece(other, 2)),
              "The partial counts differ in their residue handling: piece 1 and piece 2 cannot be merged");
    other = {};
    other.store = CycleStore::Bins;
    other.binLowest = 0;
    other.binHighest = 6;
    CountParameters bins = other;
    bins.binHighest = 7;
    EXPECT_EQ(appendError(piece(other, 1), piece(bins, 2)),
              "The partial counts differ in their load classes: piece 1 and piece 2 cannot be merged");
    EXPECT_EQ(appendError(piece({}, 2), piece({}, 1)), "Partial counts out of order: piece 1 cannot follow piece 2");
    PartialCount firstTwo = piece({}, 1);
    firstTwo.append(piece({}, 2));
    EXPECT_EQ(appendError(std::move(firstTwo), piece({}, 5)),
              "Partial counts incomplete: pieces 3 to 4 missing between pieces 1 to 2 and piece 5");
    EXPECT_THROW(StreamingCounter(piece({}, 2)), PartialCountError);

    // Classes laid over other extremes than the sequence's would count other cells.
    bins.useLoadBins = true;
    StreamingCounter wide(piece(bins, 1));
    auto run = std::make_unique<TRainflowRun>();
    try {
        wide.finish(*run);
        ADD_FAILURE() << "finished";
    } catch (const PartialCountError& e) {
        EXPECT_STREQ(e.what(), "The load classes were laid from 0.000 to 7.000, but the sequence spans 0.000 to 6.000");
    }
}

// The result asked for on the way leaves the count going on.
TEST(StreamingCounter, ResultOnTheWayLeavesTheCountGoing)
{
    std::mt19937_64 rng(3);
    const Loads loads = randomLoads(rng, 400);
    CountParameters c;
    c.unlimited = true;
    StreamingCounter counter(c);
    Parameters p;
    p.bins = false;
    for (std::size_t at = 0; at < loads.size(); at += 37) {
        const std::size_t n = std::min<std::size_t>(37, loads.size() - at);
        counter.feed(loads.data() + at, n);
        const Loads prefix(loads.begin(), loads.begin() + static_cast<std::ptrdiff_t>(at + n));
        auto run = makeRun(prefix, p);
        const Outcome whole = runInMemory(*run, prefix, RunLimits{true});
        ASSERT_EQ(finish(counter.snapshot()).outcome.entries, whole.entries);
    }
}
