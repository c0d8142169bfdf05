// Counting in pieces: a sequence cut anywhere, its pieces counted apart and
// their partial counts merged in order, must give the count of the whole
// sequence in one go, entry for entry, whatever the parameters.

#include "piece_support.h"

using namespace tessivo;
using namespace tessivo::test;
using namespace tessivo::test::pieces;

TEST(PartialCount, PiecesMergedInOrderEqualTheCountInOneGo)
{
    expectPiecesCountAsOne(16, 150, 10, 400, 60);
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
        PartialCount part(c, iteration % 3); // 0: unnumbered
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
    version[8] = 3;
    EXPECT_EQ(readError(version), "a.part: partial count of version 3; this program reads versions 1 and 2");
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
    constexpr std::uint64_t none = PartialCount::kUnnumbered;
    EXPECT_EQ(appendError(piece({}, none), piece({}, 1)),
              "Partial counts out of order: piece 1 cannot follow unnumbered pieces");
    EXPECT_EQ(appendError(piece({}, none), piece({}, none)), "merged");
    PartialCount fromTwo = piece({}, 2);
    fromTwo.append(piece({}, none));
    EXPECT_EQ(appendError(std::move(fromTwo), piece({}, 2)),
              "Partial counts out of order: piece 2 cannot follow the pieces from piece 2");

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
