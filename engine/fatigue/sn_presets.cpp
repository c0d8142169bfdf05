#include "engine/fatigue/sn_presets.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace tessivo::fatigue {
namespace {

constexpr const char* kEc3MeanStress =
    "EN 1993-1-9, 7.2.1(1): for non-welded or stress-relieved welded details the compressive part of the "
    "range may be reduced to 60 %";
constexpr const char* kDnvMeanStress =
    "DNV-RP-C203, 2.5: for base material and stress-relieved details the compressive part of the range may "
    "be reduced (0.6 and 0.8 of it)";
constexpr const char* kIiwMeanStress =
    "IIW recommendations, 3.5.3: the enhancement factor f(R) for stress-relieved and non-welded details";

SnPreset preset(SnCurveDefinition d, std::string description, const char* meanStressRule)
{
    d.measure = LoadMeasure::Range;
    return {d.name, std::move(description), d, meanStressRule};
}

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
    return preset(d, "EN 1993-1-9 detail category " + std::to_string(category) + " (MPa ranges)", kEc3MeanStress);
}

// EN 1993-1-9, Figure 7.2 (shear stress ranges): m = 5 through the category
// at 2e6 cycles, no constant amplitude limit, cut-off at N_L = 1e8.
SnPreset eurocodeShear(int category)
{
    SnCurveDefinition d;
    d.m = 5.0L;
    d.pointS = category;
    d.pointN = 2.0e6L;
    d.cutoffN = 1.0e8L;
    d.name = "EC3-shear-" + std::to_string(category);
    return preset(d, "EN 1993-1-9 shear detail category " + std::to_string(category) + " (MPa ranges)", kEc3MeanStress);
}

// DNV-RP-C203 (April 2016): log N = log a1 - m1 log S up to the knee, m2 = 5
// beyond it, continuous there (the tables' log a2 is that continuation,
// rounded). In air (Table 2-1) the knee is at 1e7, in seawater with cathodic
// protection (Table 2-2) at 1e6; free corrosion (Table 2-4) has one slope.
// Thickness correction (t / 25 mm)^k with k from the tables.
struct DnvRow {
    const char* name;
    long double m1;
    long double logA1Air;
    long double logA1Cp;
    long double logAFree;
    long double kAir;  // Tables 2-1 and 2-2
    long double kFree; // Table 2-4
};

constexpr std::array<DnvRow, 14> kDnvTable = {{
    {"B1", 4.0L, 15.117L, 14.917L, 12.436L, 0.00L, 0.00L},
    {"B2", 4.0L, 14.885L, 14.685L, 12.262L, 0.00L, 0.00L},
    {"C", 3.0L, 12.592L, 12.192L, 12.115L, 0.05L, 0.15L},
    {"C1", 3.0L, 12.449L, 12.049L, 11.972L, 0.10L, 0.15L},
    {"C2", 3.0L, 12.301L, 11.901L, 11.824L, 0.15L, 0.15L},
    {"D", 3.0L, 12.164L, 11.764L, 11.687L, 0.20L, 0.20L},
    {"E", 3.0L, 12.010L, 11.610L, 11.533L, 0.20L, 0.20L},
    {"F", 3.0L, 11.855L, 11.455L, 11.378L, 0.25L, 0.25L},
    {"F1", 3.0L, 11.699L, 11.299L, 11.222L, 0.25L, 0.25L},
    {"F3", 3.0L, 11.546L, 11.146L, 11.068L, 0.25L, 0.25L},
    {"G", 3.0L, 11.398L, 10.998L, 10.921L, 0.25L, 0.25L},
    {"W1", 3.0L, 11.261L, 10.861L, 10.784L, 0.25L, 0.25L},
    {"W2", 3.0L, 11.107L, 10.707L, 10.630L, 0.25L, 0.25L},
    {"W3", 3.0L, 10.970L, 10.570L, 10.493L, 0.25L, 0.25L},
}};

enum class Environment { Air, CathodicProtection, FreeCorrosion };

constexpr long double kTubularRef = 16.0L; // mm, the T curve's reference thickness

SnPreset dnvCurve(const std::string& name, Environment env, long double m1, long double logA, long double kneeN,
                  long double tRef, long double k)
{
    SnCurveDefinition d;
    d.m = m1;
    d.logA = logA;
    if (env != Environment::FreeCorrosion) {
        d.kneeN = kneeN;
        d.knee = KneeRule::SecondSlope;
        d.m2 = 5.0L;
    }
    d.thicknessRef = tRef;
    d.thicknessExponent = k;
    static constexpr const char* kSuffix[] = {"", "-CP", "-FC"};
    static constexpr const char* kWhere[] = {"in air", "in seawater with cathodic protection",
                                             "in seawater, free corrosion"};
    const auto e = static_cast<std::size_t>(env);
    d.name = "DNV-" + name + kSuffix[e];
    return preset(d, "DNV-RP-C203 curve " + name + " " + kWhere[e] + " (MPa ranges)", kDnvMeanStress);
}

// IIW recommendations (Hobbacher, 2016), 3.2: steel, the FAT class at 2e6
// cycles; normal stress m = 3 with the knee at 1e7, shear m = 5 with the
// knee at 1e8; below the knee m = 22 for variable amplitudes.
SnPreset iiwClass(int fat, bool shear)
{
    SnCurveDefinition d;
    d.m = shear ? 5.0L : 3.0L;
    d.pointS = fat;
    d.pointN = 2.0e6L;
    d.kneeN = shear ? 1.0e8L : 1.0e7L;
    d.knee = KneeRule::SecondSlope;
    d.m2 = 22.0L;
    d.name = "IIW-FAT" + std::to_string(fat) + (shear ? "-shear" : "");
    return preset(
        d, "IIW FAT " + std::to_string(fat) + (shear ? " steel, shear" : " steel, normal stress") + " (MPa ranges)",
        kIiwMeanStress);
}

std::vector<SnPreset> makePresets()
{
    std::vector<SnPreset> presets;
    for (int category : {160, 140, 125, 112, 100, 90, 80, 71, 63, 56, 50, 45, 40, 36})
        presets.push_back(eurocodeCategory(category));
    for (int category : {100, 80})
        presets.push_back(eurocodeShear(category));
    for (const DnvRow& r : kDnvTable)
        presets.push_back(dnvCurve(r.name, Environment::Air, r.m1, r.logA1Air, 1.0e7L, 25.0L, r.kAir));
    // The T curve of tubular joints (2.4.7, Table 2-3): its own constants, k = 0.25 (SCF up to 10) and,
    // as this edition has it (2.4.3), t_ref = 16 mm for simple tubular joints; the 32 mm of the editions
    // up to 2012 would understate the thickness effect.
    presets.push_back(dnvCurve("T", Environment::Air, 3.0L, 12.48L, 1.0e7L, kTubularRef, 0.25L));
    for (const DnvRow& r : kDnvTable)
        presets.push_back(dnvCurve(r.name, Environment::CathodicProtection, r.m1, r.logA1Cp, 1.0e6L, 25.0L, r.kAir));
    presets.push_back(dnvCurve("T", Environment::CathodicProtection, 3.0L, 12.18L, 1.8e6L, kTubularRef, 0.25L));
    for (const DnvRow& r : kDnvTable)
        presets.push_back(dnvCurve(r.name, Environment::FreeCorrosion, 3.0L, r.logAFree, 0.0L, 25.0L, r.kFree));
    presets.push_back(dnvCurve("T", Environment::FreeCorrosion, 3.0L, 12.03L, 0.0L, kTubularRef, 0.25L));
    for (int fat : {160, 140, 125, 112, 100, 90, 80, 71, 63, 56, 50, 45, 40, 36})
        presets.push_back(iiwClass(fat, false));
    for (int fat : {100, 80})
        presets.push_back(iiwClass(fat, true));
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
