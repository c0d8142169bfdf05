#pragma once
// The published S-N curves that engineers use most, by name:
//   "EC3-160" ... "EC3-36": the detail categories of EN 1993-1-9 for direct
//     stress ranges (MPa);
//   "DNV-B1" ... "DNV-W3": the S-N curves in air of DNV-RP-C203 (MPa),
//     without the thickness correction.
// Both are written in stress ranges.

#include "engine/fatigue/sn_curve.h"

#include <span>
#include <string>
#include <string_view>

namespace tessivo::fatigue {

struct SnPreset {
    std::string name;        // "EC3-71"
    std::string description; // one line for lists and reports
    SnCurveDefinition definition;
};

// Every preset, Eurocode 3 first, each set from its strongest curve down.
std::span<const SnPreset> snPresets();

// The preset of that name, compared without regard to case; nullptr if none.
const SnPreset* findSnPreset(std::string_view name);

} // namespace tessivo::fatigue
