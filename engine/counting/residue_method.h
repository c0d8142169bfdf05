#pragma once
// How a count handles the residue that the four-point rule leaves. The numbers
// are stored in partial-count files.

#include "engine/record/run_record.h"

#include <cstdint>

namespace tessivo {

enum class ResidueMethod : std::uint8_t {
    Decomposition = 1, // the residue twice in a row, counted again
    Upward = 2,        // upward half cycles of the residue as complete cycles
    Half = 3,          // every half cycle of the residue counts 0.5
};

// The run record keeps the method as two flags.
inline void setResidueMethod(TRainflowRun& run, ResidueMethod method)
{
    run.Decomposition = method == ResidueMethod::Decomposition;
    run.HalfCycles = method == ResidueMethod::Half;
}

inline ResidueMethod residueMethodOf(const TRainflowRun& run)
{
    return run.Decomposition ? ResidueMethod::Decomposition
           : run.HalfCycles  ? ResidueMethod::Half
                             : ResidueMethod::Upward;
}

} // namespace tessivo
