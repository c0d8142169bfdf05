#pragma once
// What is written from a count's result: the format and the fatigue part.
// One request for every route: a plain sequence file, several files, the
// columns of tables, merged partial counts.

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/rainflow_matrix.h"

#include <optional>
#include <string>

namespace tessivo {

enum class OutputFormat { Report, Csv, Json, Cycles };

// The fatigue part: the evaluation on an S-N curve with damage-equivalent
// loads, or a rainflow matrix instead of the table.
struct FatigueRequest {
    fatigue::FatigueSettings settings;
    std::string curveText;                     // the curve as given ("preset:EC3-71", "m=3,logA=12"), for the outputs
    std::optional<fatigue::MatrixKind> matrix; // the output is this rainflow matrix
    int matrixBins = 32;
    fatigue::MatrixEdges matrixEdges;
    // Each counted cycle counts this many times in the evaluation: a
    // recording that stands for a non-whole number of its lengths.
    long double weight = 1.0L;

    // A curve or damage-equivalent loads: the cycles are evaluated.
    bool evaluates() const { return settings.curve.has_value() || !settings.delExponents.empty(); }
    // Anything of the fatigue part at all.
    bool wanted() const { return evaluates() || matrix.has_value(); }
};

struct OutputRequest {
    OutputFormat format = OutputFormat::Report;
    FatigueRequest fatigue;
};

// Settings that contradict each other or that no output would show. The
// engine decides; each front end names the option in its own words.
enum class OutputConflict {
    FatigueOnNormalisedLoads,  // a curve or DELs of loads divided by the peak
    MaterialWithoutMethod,     // a material value that the mean-stress method (or none) does not read
    DelNotShown,               // damage-equivalent loads in an output that has no place for them (csv)
    FatigueWithMatrix,         // a curve or DELs with the rainflow matrix, which shows neither
    SettingsWithoutEvaluation, // mean-stress method, measure, N_eq or duration with nothing that reads them
    FatigueWithListing,        // the listing of every cycle shows no fatigue
};

struct OutputProblem {
    OutputConflict conflict;
    // Which material value or setting (for MaterialWithoutMethod and
    // SettingsWithoutEvaluation): "ultimate", "fatigueStrengthCoefficient",
    // "walkerGamma", "fkmM"; "meanStress", "measure", "equivalentCycles", "duration".
    std::string setting;
};

// The first conflict of the request, if any: a count whose loads are
// normalised cannot be evaluated, and nothing asked for may go unseen.
// `equivalentCyclesGiven`: N_eq was set by the caller rather than left at
// its default.
std::optional<OutputProblem> outputConflict(const OutputRequest& request, bool normalized,
                                            bool equivalentCyclesGiven = false);

// The mean-stress method's own material value ("ultimate", ...), or empty.
std::string materialValueOf(fatigue::MeanStressMethod method);

} // namespace tessivo
