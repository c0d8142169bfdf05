#pragma once
// The checks a count's parameters must pass against the loaded sequences.

#include "engine/record/run_record.h"

#include <optional>
#include <string>

namespace tessivo {

// Checks, in this order, and returns the message of the first that fails:
// a negative FilterSize; no active sequence (TotalWeight not above 0, or a
// combined sequence without values); FilterSize not below HighestPeak -
// LowestTrough; Normalize with HighestPeak not above 0. Nothing when all
// pass. Reads the totals as UpdateSequenceTotals last left them.
std::optional<std::string> checkParameters(const TRainflowRun& run);

} // namespace tessivo
