#pragma once
// What the spectrum plots show of one count, taken from the cycle table and
// the run record when the report is written, so that the plots keep showing
// that report whatever later runs do to the table or the matrix.

#include "engine/run/record.h"

#include <QString>
#include <cstdint>
#include <vector>

// One line of the report's table of load cycles.
struct SpectrumStep {
    long double range = 0.0L; // as reported: normalised when the run normalised
    // Cycles, a half cycle of the half-cycle residue counting 0.5 (exact:
    // counts stay far below 2^52).
    double count = 0;
    double cumulative = 0; // cycles of this and every larger range
};

struct SpectrumPlotData {
    bool normalized = false;
    QString loadUnit;                // of the ranges when not normalised; empty when unknown
    std::vector<SpectrumStep> steps; // table order: descending range

    // The from-to matrix of a count in load classes, else binCount 0 and no
    // cells. Cells row by row, binCount x binCount: row r holds the
    // transitions from class r + 1, column c those to class c + 1.
    std::int32_t binCount = 0;
    std::vector<std::int32_t> matrix;
    // The span that the classes cut into equal parts, in the units of the
    // ranges (divided by the highest peak when the run normalised).
    double lowestLoad = 0.0;
    double highestLoad = 0.0;

    bool hasMatrix() const { return binCount > 0; }
    std::int32_t cell(std::int32_t fromClass, std::int32_t toClass) const
    {
        return matrix[static_cast<std::size_t>((fromClass - 1) * binCount + (toClass - 1))];
    }
    double totalCycles() const { return steps.empty() ? 0 : steps.back().cumulative; }
    long double largestRange() const { return steps.empty() ? 0.0L : steps.front().range; }
};

// Entries 1..cycleCount of the table (already sorted and, when asked,
// normalised) and, when usedLoadBins, the cells 1..BinCount of the run's
// from-to matrix with the run's load span.
SpectrumPlotData buildSpectrumPlotData(const tessivo::TRainflowRun& run, const tessivo::TCycleTable& table,
                                       std::int32_t cycleCount, bool usedLoadBins);
