#pragma once
// Inside the run area: the slots of a count's inputs in the run record and
// the combined sequence read from them. Only count.cpp, piece_count.cpp and
// other_count.cpp include this.

#include "engine/run/count.h"

#include <memory>
#include <optional>
#include <string>

namespace tessivo {

// Fills the slots of `run` from file or column inputs: scanned, or copied to
// their work files in workDir when one is given; then the totals. Throws
// CountRefused naming a file that is not a proper sequence, TableFormatError
// for a column without numbers.
void loadSlots(TRainflowRun& run, CountInputs& inputs, const std::optional<std::string>& workDir);

// The combined sequence of the slots loaded from file or column inputs,
// straight from the users' files. The run record must outlive it.
std::unique_ptr<ValueSource> combinedSource(const TRainflowRun& run, CountInputs& inputs);

struct SlotsSource {
    std::unique_ptr<ValueSource> source;
};
// loadSlots without a work folder, then combinedSource.
inline SlotsSource slotsOf(TRainflowRun& run, CountInputs& inputs, const std::optional<std::string>& workDir)
{
    loadSlots(run, inputs, workDir);
    return SlotsSource{combinedSource(run, inputs)};
}

} // namespace tessivo
