#pragma once
// What the signal plot shows of the last count: the combined sequence that
// it counted, reduced to a min/max pyramid in one pass over its work file;
// the reversals that the filter kept, with their positions; the class edges
// of a count in load bins; and the cycles marked for the selected report row.
// The sequence itself stays in its work file: a narrow window reads its raw
// values back from there.

#include "engine/run/desktop_plots.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {
class WorkFileRange;
struct TRainflowRun;
} // namespace tessivo

// The count that the plot belongs to.
struct SignalSource {
    std::string sequenceFile;   // the combined sequence the count read
    std::int64_t length = 0;    // its number of values
    long double highest = 0.0L; // its extremes
    long double lowest = 0.0L;
    long double filterSize = 0.0L;
    bool decomposition = true;
    bool halfCycles = false;    // without decomposition: the residue's half cycles count 0.5
    long double divisor = 1.0L; // the report's loads are the sequence's divided by this
    // Load bins: the span that the classes cut, in loads; binCount 0 without.
    std::int32_t binCount = 0;
    long double lowestLoad = 0.0L;
    long double highestLoad = 0.0L;
    // The time of each position, when the sequence is a table's column with
    // a time column beside it (engine/tables/time_column.h); else null.
    std::shared_ptr<const std::vector<long double>> times;
    std::string timeUnit; // of the times, empty when unknown
    std::string loadUnit; // of the loads, empty when unknown
};

// The combined sequence in workDir that the last count of `run` read.
SignalSource signalSourceOf(const tessivo::TRainflowRun& run, const std::string& workDir, bool usedLoadBins);

struct SignalReversal {
    std::int64_t position = 0;
    double load = 0.0;
};

// Where one cycle happened: the positions of its two points.
struct CycleMark {
    std::int64_t start = 0;
    std::int64_t end = 0;
    double from = 0.0;
    double to = 0.0;
};

class SignalData {
public:
    // More reversals than this are not kept for marking (16 bytes each).
    static constexpr std::size_t kMaxReversals = std::size_t{1} << 22;

    SignalData();
    ~SignalData();
    SignalData(SignalData&&) noexcept;
    SignalData& operator=(SignalData&&) noexcept;

    // Reads the sequence once. Throws IoError when its file cannot be read.
    static SignalData load(const SignalSource& source,
                           std::int64_t maxFinestBlocks = tessivo::MinMaxPyramid::kFinestBlocks);

    bool empty() const { return m_pyramid.empty(); }
    const SignalSource& source() const { return m_source; }
    const tessivo::MinMaxPyramid& pyramid() const { return m_pyramid; }
    // The pyramid's reduction, with raw values from the work file when needed.
    std::vector<tessivo::ColumnExtremes> reduce(std::int64_t first, std::int64_t end, int columns) const;

    // The kept reversals in order; reversalsComplete() is false when there
    // were too many to keep and none are marked.
    const std::vector<SignalReversal>& reversals() const { return m_reversals; }
    bool reversalsComplete() const { return m_reversalsComplete; }
    // Class edges 0..binCount in loads, empty without load bins.
    std::vector<double> classEdges() const;

    const std::vector<CycleMark>& marks() const { return m_marks; }
    void setMarks(std::vector<CycleMark> marks) { m_marks = std::move(marks); }

private:
    SignalSource m_source;
    tessivo::MinMaxPyramid m_pyramid{2};
    std::unique_ptr<tessivo::WorkFileRange> m_file;
    std::vector<SignalReversal> m_reversals;
    bool m_reversalsComplete = true;
    std::vector<CycleMark> m_marks;
};
