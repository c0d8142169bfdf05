#pragma once
// The run record: the parameters of a count and the characteristics of the
// loaded sequences. One instance lives as long as the program; it is large
// (the from-to matrix alone is 256 KiB), so hold it in static or heap storage.

#include <array>
#include <vector>
#include <cstdint>
#include <string>

namespace tessivo {

constexpr std::int32_t MaxSequences = 100;
constexpr std::int32_t MatrixSize = 256;
constexpr std::int32_t MatrixThreshold = 40000;
constexpr std::int32_t SeqFileError = 794;

// Sentinels of the extremes while nothing has been read or nothing is active.
constexpr long double NoPeak = -1.0E32L;
constexpr long double NoTrough = 1.0E32L;

// Result codes of a run; the numbers are visible to callers and pinned.
enum class RunResult : std::int32_t {
    Normal = 0,
    TableFull = 2,
    MatrixApplied = 769,
};

// One loaded-sequence slot. A slot that was never loaded is all zero and inactive.
struct TSequence {
    std::string FileName; // full path, never cut
    bool Active = false;
    std::int32_t Repetitions = 0;
    std::int32_t Points = 0;
    long double HighestPeak = 0.0L;
    long double LowestTrough = 0.0L;
    long double Scale = 0.0L;
    long double Weight = 0.0L;
};

// Cells [r][c] are used from 1 to BinCount in both dimensions; index 0 is unused.
using TFromToMatrix = std::array<std::array<std::int32_t, MatrixSize + 1>, MatrixSize + 1>;

struct TRainflowRun {
    std::int32_t SeqLength = 0;
    std::int32_t SeqCount = 0;
    long double HighestPeak = 0.0L;
    long double LowestTrough = 0.0L;
    long double TotalWeight = 0.0L;
    TFromToMatrix FromToMatrix{};
    bool Normalize = false;
    bool UseLoadBins = false;
    bool Decomposition = false;
    bool HalfCycles = false; // without Decomposition: every half cycle of the residue counts 0.5
    std::int32_t BinCount = 0;
    // The load classes' edges 0..BinCount when the user gave them (ascending);
    // empty: BinCount equal classes from LowestTrough to HighestPeak.
    std::vector<long double> BinEdges;
    long double FilterSize = 0.0L;
    std::array<TSequence, MaxSequences + 1> Sequences{}; // slots 1..100; 0 unused
};

// Sets the parameter defaults and clears the counters; leaves the extremes,
// the slots and the matrix untouched.
void InitRainflowRun(TRainflowRun& run);

} // namespace tessivo
