#pragma once
// Rainflow matrices of counted cycles: counts by class of range and mean, or
// by class of maximum ("from", where the cycle turns down) and minimum ("to",
// where it turns back up). Classes are equal parts of the span of the
// cycles' values, or lie between edges that the user gives; a value on the
// upper end falls into the last class.

#include "engine/fatigue/fatigue_cycle.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tessivo::fatigue {

enum class MatrixKind {
    RangeMean, // rows: range classes, columns: mean classes
    FromTo,    // rows: classes of the maximum, columns: classes of the minimum
};

struct RainflowMatrix {
    MatrixKind kind = MatrixKind::RangeMean;
    std::vector<long double> rowEdges;    // bins + 1 edges, ascending
    std::vector<long double> columnEdges; // bins + 1 edges, ascending
    std::vector<long double> counts;      // row by row
    double outside = 0.0;                 // cycles beyond the given edges, in no cell

    std::size_t rows() const { return rowEdges.empty() ? 0 : rowEdges.size() - 1; }
    std::size_t columns() const { return columnEdges.empty() ? 0 : columnEdges.size() - 1; }
    long double count(std::size_t row, std::size_t column) const { return counts[row * columns() + column]; }
};

// Edges given for an axis (at least 2, finite, strictly ascending): class k
// holds values from edge k up to below edge k+1, the last one up to its upper
// edge included. An empty list: `bins` equal classes over the cycles' span.
// A from-to matrix has one load axis: its columns take the rows' edges.
struct MatrixEdges {
    std::vector<long double> rows;    // range classes, or load classes of a from-to matrix
    std::vector<long double> columns; // mean classes (range-mean only)
};

// Throws FatigueError naming the first edge that is not finite or not above
// the one before, or too few edges; `what` names the list in the message.
void checkMatrixEdges(const std::vector<long double>& edges, const std::string& what);

// `bins` classes per axis (1 or more) where no edges are given; no cycles
// give empty equal classes, given edges stay. Throws FatigueError for bins
// below 1, for bad edges (checkMatrixEdges), and for mean edges with a
// from-to matrix.
RainflowMatrix rainflowMatrix(std::span<const FatigueCycle> cycles, MatrixKind kind, int bins,
                              const MatrixEdges& edges = {});

} // namespace tessivo::fatigue
