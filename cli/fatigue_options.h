#pragma once
// The fatigue options of tessivo-count: S-N curve, load measure, mean-stress
// correction with its material values, damage-equivalent loads and the
// duration of the counted sequence, and the rainflow matrix. They fill the
// fatigue part of the output request.

#include "engine/run/outputs/output_request.h"

#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

// How the fatigue options were given, beyond what they set in the request.
struct FatigueOptions {
    std::optional<long double> delCycles;
    std::optional<long double> delFrequency;
    bool anyGiven = false; // any fatigue option at all
};

// The names of the options that take a value ("--sn-curve", "--del", ...).
const std::vector<std::string>& fatigueOptionNames();

// Takes the value of one of fatigueOptionNames(). Throws std::invalid_argument
// with a one-line message naming the option and the bad value.
void setFatigueOption(FatigueRequest& request, FatigueOptions& given, const std::string& name,
                      const std::string& value);

// After all options: checks what belongs together and the curve and material
// values themselves, and sets N_eq. Throws std::invalid_argument naming the
// first problem.
void finishFatigueOptions(FatigueRequest& request, const FatigueOptions& given);

// "m=3,logA=12.164", "m=5,S=100,N=2e6,knee=haibach,Ncut=1e8", "preset:EC3-71".
// Throws std::invalid_argument naming an unknown key, preset or bad number.
fatigue::SnCurveDefinition parseSnCurve(const std::string& text);

// The lines of the usage text about fatigue, each ending with a line feed.
std::string fatigueUsageText();

} // namespace tessivo::cli
