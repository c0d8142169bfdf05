#pragma once
// Rainflow matrices of counted cycles: counts by class of range and mean, or
// by class of maximum ("from", where the cycle turns down) and minimum ("to",
// where it turns back up). Classes are equal parts of the span of the
// cycles' values; a value on the upper end falls into the last class.

#include "engine/fatigue/fatigue_cycle.h"

#include <cstddef>
#include <span>
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

    std::size_t rows() const { return rowEdges.empty() ? 0 : rowEdges.size() - 1; }
    std::size_t columns() const { return columnEdges.empty() ? 0 : columnEdges.size() - 1; }
    long double count(std::size_t row, std::size_t column) const { return counts[row * columns() + column]; }
};

// `bins` classes per axis (1 or more); no cycles give empty edges. Throws
// FatigueError for bins below 1.
RainflowMatrix rainflowMatrix(std::span<const FatigueCycle> cycles, MatrixKind kind, int bins);

} // namespace tessivo::fatigue
