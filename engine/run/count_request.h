#pragma once
// One request for one count: everything a count needs to know, whatever the
// input and however it is counted. The command line, the desktop program and
// the Python module fill it; count() (count.h) checks it once and chooses
// how to count.

#include "engine/counting/cycle_table.h"
#include "engine/counting/residue_method.h"
#include "engine/files/sequence_loading.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessivo {

// The extremes of a whole sequence, known before its pieces are counted.
struct LoadSpan {
    long double lowest = 0.0L;
    long double highest = 0.0L;
    bool operator==(const LoadSpan&) const = default;
};

struct CountRequest {
    long double filter = 0.0L;
    ResidueMethod residue = ResidueMethod::Decomposition;

    // The load classes. Exact loads unless loadBins; binCount equal classes
    // over the sequence's extremes (also those of the switch to the matrix
    // at MatrixThreshold values, see loadBinsRule); or the classes between
    // own edges (setOwnEdges). `span`: the extremes of the whole sequence,
    // known beforehand, so that a piece counts into equal classes at once
    // (only for a count that ends in load bins; the whole sequence must then
    // have exactly these extremes).
    bool loadBins = false;
    std::int32_t binCount = 32;
    std::vector<long double> binEdges;
    std::optional<LoadSpan> span;

    bool normalize = false;              // the result's loads are divided by the highest peak
    bool unlimited = false;              // exact loads at any length, a cycle table without limit
    std::int32_t tableLimit = MaxCycles; // entries of the fixed table (without unlimited)
    // The work folder: the work files are written there and kept. None: no file is written.
    std::optional<std::string> workDir;
    // Every cycle with the positions of its two points in the combined
    // sequence, in the order the count closes them, instead of the table.
    bool positions = false;

    // How, never what: the result is the same either way.
    bool readAhead = true;                // a second core may read ahead (off on the workers of a cluster)
    std::uint64_t splitFrom = kSplitFrom; // a single file this large or larger is counted in two halves at once

    void setEqualClasses(std::int32_t count)
    {
        loadBins = true;
        binCount = count;
        binEdges.clear();
    }
    void setOwnEdges(std::vector<long double> edges)
    {
        loadBins = true;
        binCount = static_cast<std::int32_t>(edges.size()) - 1;
        binEdges = std::move(edges);
    }
    // The same count: every field that changes the cycles (not normalize,
    // workDir, positions or how it is counted).
    bool sameCount(const CountRequest& other) const;
};

// A count refused before it began: a request that makes no sense, a failed
// parameter check against the input, an input that is not a sequence.
// what() is the message for the user; path() names the file it is about,
// when it is about one.
class CountRefused : public std::invalid_argument {
public:
    explicit CountRefused(const std::string& message, std::string path = {})
        : std::invalid_argument(message)
        , m_path(std::move(path))
    {
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// The checks of the request itself, made once by count() and by the partial
// counts: throws CountRefused with the message of the first that fails (a
// negative filter; own edges that cannot bound classes; a bin count outside
// 1..MatrixSize; a span whose highest is not above its lowest, or one given
// with own edges; a table limit outside 1..MaxCycles).
void checkRequest(const CountRequest& request);

// A run record holding the request's parameters (no slot, no totals).
void applyRequest(const CountRequest& request, TRainflowRun& run);

// The request the parameters of a run record make (the desktop's controls).
CountRequest requestOf(const TRainflowRun& run);

} // namespace tessivo
