#include "engine/run/count_request.h"

#include "engine/counting/load_classes.h"
#include "engine/record/run_messages.h"

namespace tessivo {

bool CountRequest::sameCount(const CountRequest& other) const
{
    return filter == other.filter && residue == other.residue && loadBins == other.loadBins
           && binCount == other.binCount && binEdges == other.binEdges && span == other.span
           && unlimited == other.unlimited && tableLimit == other.tableLimit;
}

void checkRequest(const CountRequest& request)
{
    if (!(request.filter >= 0))
        throw CountRefused(kNegativeFilterMessage);
    if (!request.binEdges.empty()) {
        if (const auto problem = binEdgesProblem(request.binEdges))
            throw CountRefused(*problem);
        if (request.span)
            throw CountRefused(kSpanWithOwnEdgesMessage);
    } else if (request.binCount < 1 || request.binCount > MatrixSize) {
        throw CountRefused(kBinCountOutOfRangeMessage);
    }
    if (request.span && !(request.span->highest > request.span->lowest))
        throw CountRefused(kSpanReversedMessage);
    if (request.tableLimit < 1 || request.tableLimit > MaxCycles)
        throw CountRefused(kTableLimitOutOfRangeMessage);
}

void applyRequest(const CountRequest& request, TRainflowRun& run)
{
    InitRainflowRun(run);
    run.Normalize = request.normalize;
    run.UseLoadBins = request.loadBins || !request.binEdges.empty();
    run.BinCount = request.binEdges.empty() ? request.binCount : static_cast<std::int32_t>(request.binEdges.size()) - 1;
    run.BinEdges = request.binEdges;
    setResidueMethod(run, request.residue);
    run.FilterSize = request.filter;
}

CountRequest requestOf(const TRainflowRun& run)
{
    CountRequest request;
    request.filter = run.FilterSize;
    request.residue = residueMethodOf(run);
    request.loadBins = run.UseLoadBins;
    request.binCount = run.BinCount;
    request.binEdges = run.BinEdges;
    request.normalize = run.Normalize;
    return request;
}

} // namespace tessivo
