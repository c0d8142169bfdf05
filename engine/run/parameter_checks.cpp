#include "engine/run/parameter_checks.h"

#include "engine/numbers/load_format.h"
#include "engine/record/run_messages.h"

namespace tessivo {

std::optional<std::string> checkParameters(const TRainflowRun& run)
{
    if (run.FilterSize < 0)
        return kNegativeFilterMessage;
    // A combined sequence without values would be counted as nothing at all.
    if (!(run.TotalWeight > 0) || run.SeqLength < 1)
        return kNoActiveSequenceMessage;
    if (!(run.FilterSize < run.HighestPeak - run.LowestTrough))
        return kFilterTooLargeMessage;
    if (run.Normalize && !(run.HighestPeak > 0))
        return kNegativeLoadsMessage;
    // Loads beyond given class edges would be counted as if on the end edges.
    if (!run.BinEdges.empty() && (run.LowestTrough < run.BinEdges.front() || run.HighestPeak > run.BinEdges.back()))
        return "The loads run from " + formatLoad(run.LowestTrough) + " to " + formatLoad(run.HighestPeak)
               + ", beyond the class edges " + formatLoad(run.BinEdges.front()) + " to "
               + formatLoad(run.BinEdges.back());
    return std::nullopt;
}

} // namespace tessivo
