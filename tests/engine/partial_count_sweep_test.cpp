// The slow sweep of counting in pieces: many more and longer sequences, and
// the lengths at which the matrix and the files of the unlimited table come in.

#include "piece_support.h"

#include <cstdlib>

using namespace tessivo;
using namespace tessivo::test;
using namespace tessivo::test::pieces;

// The sanitizer build runs fewer sequences (TESSIVO_SWEEP_SEQUENCES): it is
// ten to twenty times slower and looks for other faults.
static int sweepSequences()
{
    const char* text = std::getenv("TESSIVO_SWEEP_SEQUENCES");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 4000;
}

TEST(PartialCountSweepSlow, LongerSequencesInPiecesEqualTheCountInOneGo)
{
    expectPiecesCountAsOne(1616, sweepSequences(), 4, 2000, 120);
}

// 40000 values or more go to the matrix unless the table is unlimited; an
// unlimited table past the cycles it holds in memory goes to files.
TEST(PartialCountSweepSlow, LongSequencesSwitchToTheMatrixOrSpillAsInOneGo)
{
    std::mt19937_64 rng(40000);
    Loads loads;
    long double walk = 0;
    for (int i = 0; i < 300000; ++i) {
        walk += std::uniform_int_distribution<int>(-1000, 1000)(rng) / 8.0L;
        loads.push_back(walk);
    }
    // decomposition, upward half cycles as complete ones, half cycles as 0.5
    for (const auto& [decomposition, halfCycles] : {std::pair{true, false}, {false, false}, {false, true}}) {
        Parameters p;
        p.decomposition = decomposition;
        p.halfCycles = halfCycles;
        for (const Mode mode : {Mode::FixedTable, Mode::Unlimited, Mode::BinsGiven}) {
            SCOPED_TRACE(static_cast<int>(mode));
            expectSameCount(rng, mode, loads, p);
        }
    }
}
