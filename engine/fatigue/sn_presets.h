#pragma once
// The published S-N curves that engineers use most, by name:
//   "EC3-160" ... "EC3-36": the detail categories of EN 1993-1-9 for direct
//     stress ranges (MPa); "EC3-shear-100", "EC3-shear-80" for shear;
//   "DNV-B1" ... "DNV-W3", "DNV-T": the S-N curves of DNV-RP-C203 (MPa) in
//     air; with "-CP" in seawater with cathodic protection, with "-FC" in
//     seawater under free corrosion; each with its thickness reference and
//     exponent (applied when a thickness is given);
//   "IIW-FAT160" ... "IIW-FAT36", "IIW-FAT100-shear", "IIW-FAT80-shear":
//     the FAT classes of the IIW recommendations for steel.
// All are written in stress ranges (their definitions say so).

#include "engine/fatigue/sn_curve.h"

#include <span>
#include <string>
#include <string_view>

namespace tessivo::fatigue {

struct SnPreset {
    std::string name;        // "EC3-71"
    std::string description; // one line for lists and reports
    SnCurveDefinition definition;
    std::string meanStressRule; // the code's own rule for mean stress, for the output and the manual
};

// Every preset, Eurocode 3 first, each set from its strongest curve down.
std::span<const SnPreset> snPresets();

// The preset of that name, compared without regard to case; nullptr if none.
const SnPreset* findSnPreset(std::string_view name);

} // namespace tessivo::fatigue
