#include "engine/record/run_record.h"

namespace tessivo {

void InitRainflowRun(TRainflowRun& run)
{
    run.SeqLength = 0;
    run.SeqCount = 0;
    run.TotalWeight = 0.0L;
    run.Normalize = false;
    run.FilterSize = 0.0L;
    run.BinCount = 32;
    run.UseLoadBins = false;
    run.Decomposition = true;
    run.HalfCycles = false;
}

} // namespace tessivo
