#pragma once
// The fatigue options of tessivo-count: S-N curve, load measure, mean-stress
// correction with its material values, damage-equivalent loads and the
// duration of the counted sequence.

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/rainflow_matrix.h"

#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

struct FatigueOptions {
    fatigue::FatigueSettings settings;
    std::string curveText; // --sn-curve as given, for the report
    std::optional<long double> delCycles;
    std::optional<long double> delFrequency;
    std::optional<fatigue::MatrixKind> matrix; // the output is this rainflow matrix
    int matrixBins = 32;
    fatigue::MatrixEdges matrixEdges; // --matrix-edges, --matrix-mean-edges
    bool anyGiven = false; // any fatigue option at all

    // A curve, damage-equivalent loads or a matrix asked for: the count is evaluated.
    bool wanted() const { return settings.curve.has_value() || !settings.delExponents.empty() || matrix.has_value(); }
};

// The names of the options that take a value ("--sn-curve", "--del", ...).
const std::vector<std::string>& fatigueOptionNames();

// Takes the value of one of fatigueOptionNames(). Throws std::invalid_argument
// with a one-line message naming the option and the bad value.
void setFatigueOption(FatigueOptions& options, const std::string& name, const std::string& value);

// After all options: checks what belongs together and the curve and material
// values themselves, and sets N_eq. Throws std::invalid_argument naming the
// first problem.
void finishFatigueOptions(FatigueOptions& options);

// "m=3,logA=12.164", "m=5,S=100,N=2e6,knee=haibach,Ncut=1e8", "preset:EC3-71".
// Throws std::invalid_argument naming an unknown key, preset or bad number.
fatigue::SnCurveDefinition parseSnCurve(const std::string& text);

// The lines of the usage text about fatigue, each ending with a line feed.
std::string fatigueUsageText();

} // namespace tessivo::cli
