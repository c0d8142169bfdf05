#pragma once
// Load classes and the from-to (Markov) matrix. The load span from the run's
// LowestTrough to its HighestPeak is cut into BinCount equal classes; counted
// cycles become transitions between classes, and the upper triangle of the
// matrix becomes cycle-table entries whose loads are class edges.

#include "engine/counting/cycle_table.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

// The 40000-value rule, decided here and nowhere else: whether a count of
// `length` values goes through the load classes (the from-to matrix). It does
// when load bins were asked for; otherwise, unless the limits were lifted
// (unlimited), from MatrixThreshold values on, and the count then reports
// MatrixApplied. Below that a count keeps exact loads in the fixed table.
enum class LoadBinsRule : std::uint8_t {
    Exact,    // exact loads
    Asked,    // load bins asked for
    Switched, // MatrixThreshold values or more: load bins all the same (MatrixApplied)
};
inline LoadBinsRule loadBinsRule(bool loadBins, bool unlimited, std::int64_t length)
{
    if (loadBins)
        return LoadBinsRule::Asked;
    return !unlimited && length >= MatrixThreshold ? LoadBinsRule::Switched : LoadBinsRule::Exact;
}
inline bool inLoadBins(LoadBinsRule rule)
{
    return rule != LoadBinsRule::Exact;
}

// Class width (highest - lowest) / binCount. When the span overflows (loads
// near the limits of long double) the width is highest/binCount -
// lowest/binCount instead, which stays finite.
long double ClassWidth(long double lowest, long double highest, std::int32_t binCount);

// The load at k class widths above lowest, as the conversion of the matrix
// computes it: k * (highest - lowest) / binCount + lowest (multiply, divide,
// then add). When that overflows, the edge is interpolated between the two
// ends so that it stays finite; edge 0 is lowest and edge binCount is highest.
long double ClassEdge(std::int32_t k, long double lowest, long double highest, std::int32_t binCount);

// The class (1..binCount) of load x. The edges are advanced by repeated
// addition of the class width from lowest, so a load on an edge follows that
// accumulated sum; an inner edge belongs to the upper class, loads outside the
// span (and NaN) fall into the nearest end class. At most binCount + 1 steps,
// so it ends even when the width is too small to move the edge at all.
std::int32_t ClassIndex(long double x, long double lowest, long double highest, std::int32_t binCount);

// ClassIndex with the accumulated edges computed once: the same result for
// every load, found from a guess by the class width and checked against the
// edges. For the counting of long sequences.
class LoadClasses {
public:
    LoadClasses(long double lowest, long double highest, std::int32_t binCount);
    // Classes between given edges (see binEdgesProblem): class k runs from
    // edges[k - 1] to edges[k]; an inner edge belongs to the upper class and
    // loads outside fall into the nearest end class, as with equal classes.
    explicit LoadClasses(std::vector<long double> edges);
    // The classes of the run: its BinEdges when given, else BinCount equal
    // classes over its extremes.
    static LoadClasses ofRun(const TRainflowRun& run);
    std::int32_t classOf(long double x) const;

private:
    long double m_lowest;
    long double m_highest;
    std::int32_t m_binCount;
    std::vector<long double> m_edges; // edges 0..binCount as ClassIndex accumulates them
    bool m_sorted = false;            // false for degenerate bounds: fall back to ClassIndex
    double m_edgesPerLoad = 0.0;      // for the guess only: binCount over the span of the edges
};

// Why edges cannot bound load classes, in a sentence for the user; nullopt
// when they can: at least two, finite, strictly ascending, at most
// MatrixSize + 1 of them.
std::optional<std::string> binEdgesProblem(const std::vector<long double>& edges);

// Edge k (0..BinCount) of the run's classes: BinEdges[k] when given, else ClassEdge.
long double RunClassEdge(const TRainflowRun& run, std::int32_t k);

// Sets cells [1..binCount][1..binCount] to 0; the rest is never read.
void ClearFromToMatrix(TFromToMatrix& matrix, std::int32_t binCount);

// Makes one entry per upper-triangle cell (row r < column c) with a positive
// count: Upper the upper edge of class c, Lower the lower edge of class r
// (RunClassEdge), Range Upper - Lower, Count the cell. With run.HalfCycles
// every transition is half a cycle: the entry holds the cell and its mirror cell (c, r) as
// half cycles, which gives a full cycle (one count in each) its whole count
// and a half cycle of the residue 0.5. The table must be empty; entries are
// written from 1, row by row, then sorted with SortCycles, which sets n. A
// table too small for every cell (only possible above 200 classes) keeps the
// cells that fit and reports false.
bool MatrixToCycles(const TRainflowRun& run, TCycleTable& table, std::int32_t& n);

} // namespace tessivo
