#include "engine/counting/run_ending.h"

#include "engine/counting/load_classes.h"
#include "engine/counting/reversal_extraction.h"
#include "engine/files/memory_values.h"

#include <algorithm>

namespace tessivo {

void countResidue(CycleTally& tally, const std::vector<long double>& residue, bool decomposition, long double filter)
{
    if (decomposition) {
        VectorSource doubled(residue, 2);
        FourPointCounter secondPass(tally);
        extractReversalsN(doubled, 2 * static_cast<std::int64_t>(residue.size()), filter, secondPass);
    } else {
        for (std::size_t j = 1; j < residue.size(); ++j)
            tally.residueHalfCycle(residue[j - 1], residue[j]);
    }
}

std::int32_t matrixToTable(const TRainflowRun& run, TCycleTable& table, RunResult& result)
{
    const std::int32_t cells = run.BinCount * (run.BinCount - 1) / 2;
    TCycleTable local(std::max(MaxCycles, cells));
    std::int32_t n = 0;
    MatrixToCycles(run, local, n);
    if (n > table.capacity()) {
        n = table.capacity();
        result = RunResult::TableFull;
    }
    for (std::int32_t i = 1; i <= n; ++i)
        table.entry(i) = local[i];
    return n;
}

} // namespace tessivo
