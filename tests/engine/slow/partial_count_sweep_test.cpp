// The slow sweep of counting in pieces: many more and longer sequences, and
// the lengths at which the matrix and the files of the unlimited table come in.

#include "../piece_support.h"

using namespace tessivo;
using namespace tessivo::test;
using namespace tessivo::test::pieces;

TEST(PartialCountSweep, LongerSequencesInPiecesEqualTheCountInOneGo)
{
    std::mt19937_64 rng(1616);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        const Loads loads = randomLoads(rng, iteration % 4 == 0 ? 2000 : 120);
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
TEST(PartialCountSweep, LongSequencesSwitchToTheMatrixOrSpillAsInOneGo)
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

