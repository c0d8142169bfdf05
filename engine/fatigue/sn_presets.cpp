#include "engine/fatigue/sn_presets.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace tessivo::fatigue {
namespace {

// EN 1993-1-9:2005, 7.1 and Figure 7.1 (fatigue strength curves for direct
// stress ranges): the detail category is the reference strength at 2e6
// cycles; slope m = 3 down to the constant amplitude fatigue limit at
// N_D = 5e6, then m = 5 down to the cut-off limit at N_L = 1e8, below which
// nothing does damage.
SnPreset eurocodeCategory(int category)
{
    SnCurveDefinition d;
    d.m = 3.0L;
    d.pointS = category;
    d.pointN = 2.0e6L;
    d.kneeN = 5.0e6L;
    d.knee = KneeRule::SecondSlope;
    d.m2 = 5.0L;
    d.cutoffN = 1.0e8L;
    d.name = "EC3-" + std::to_string(category);
    d.measure = LoadMeasure::Range;
    return {d.name,
            "EN 1993-1-9 detail category " + std::to_string(category) + " (MPa ranges)", d};
}

// DNV-RP-C203 (edition April 2016), Table 2-1, S-N curves in air:
// log N = log a1 - m1 log S for N <= 1e7, and m2 = 5 beyond, continuous at
// 1e7 (the table's log a2 is that continuation, rounded).
SnPreset dnvAirCurve(const char* name, long double m1, long double logA1)
{
    SnCurveDefinition d;
    d.m = m1;
    d.logA = logA1;
    d.kneeN = 1.0e7L;
    d.knee = KneeRule::SecondSlope;
    d.m2 = 5.0L;
    d.name = std::string("DNV-") + name;
    d.measure = LoadMeasure::Range;
    return {d.name, std::string("DNV-RP-C203 curve ") + name + " in air (MPa ranges)", d};
}

std::vector<SnPreset> makePresets()
{
    std::vector<SnPreset> presets;
    for (int category : {160, 140, 125, 112, 100, 90, 80, 71, 63, 56, 50, 45, 40, 36})
        presets.push_back(eurocodeCategory(category));
    presets.push_back(dnvAirCurve("B1", 4.0L, 15.117L));
    presets.push_back(dnvAirCurve("B2", 4.0L, 14.885L));
    presets.push_back(dnvAirCurve("C", 3.0L, 12.592L));
    presets.push_back(dnvAirCurve("C1", 3.0L, 12.449L));
    presets.push_back(dnvAirCurve("C2", 3.0L, 12.301L));
    presets.push_back(dnvAirCurve("D", 3.0L, 12.164L));
    presets.push_back(dnvAirCurve("E", 3.0L, 12.010L));
    presets.push_back(dnvAirCurve("F", 3.0L, 11.855L));
    presets.push_back(dnvAirCurve("F1", 3.0L, 11.699L));
    presets.push_back(dnvAirCurve("F3", 3.0L, 11.546L));
    presets.push_back(dnvAirCurve("G", 3.0L, 11.398L));
    presets.push_back(dnvAirCurve("W1", 3.0L, 11.261L));
    presets.push_back(dnvAirCurve("W2", 3.0L, 11.107L));
    presets.push_back(dnvAirCurve("W3", 3.0L, 10.970L));
    return presets;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::span<const SnPreset> snPresets()
{
    static const std::vector<SnPreset> presets = makePresets();
    return presets;
}

const SnPreset* findSnPreset(std::string_view name)
{
    for (const SnPreset& preset : snPresets()) {
        if (sameName(preset.name, name))
            return &preset;
    }
    return nullptr;
}

} // namespace tessivo::fatigue
