#pragma once
// Inside the run area: the slots of a count's inputs in the run record and
// the combined sequence read from them, whatever their format. Only
// count.cpp, piece_count.cpp and other_count.cpp include this.

#include "engine/files/combined_sequence.h"
#include "engine/run/count.h"

#include <optional>
#include <string>
#include <vector>

namespace tessivo {

// The slots of file or column inputs; std::logic_error for the other kinds.
std::vector<SlotInput>& slotInputs(CountInputs& inputs);

// True when every slot's statistics are at hand without reading its file.
bool slotsScanned(const std::vector<SlotInput>& slots);

// Fills slots 1..n of `run` from the inputs (their statistics, Repetitions,
// Scale and Weight): scanned, or copied to their work files in workDir when
// one is given; then SeqCount and the totals. Throws the input's refusal
// (SlotInput::refuse) for one that holds no sequence, std::out_of_range for
// more than MaxSequences, and what the formats throw.
void loadSlots(TRainflowRun& run, const std::vector<SlotInput>& slots, const std::optional<std::string>& workDir);

// The combined sequence of the slots loaded from `slots`, straight from the
// users' files. The run record must outlive it.
CombinedSequence combinedSource(const TRainflowRun& run, const std::vector<SlotInput>& slots);

} // namespace tessivo
