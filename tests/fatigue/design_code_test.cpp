// The published curves at a few points of each family, written from the
// codes' constants in their own form (log N = log a - m log S, or the
// category's point and knee), and the factors of a code check: partial
// factors, thickness, DFF, and the equivalent load on a two-slope curve.

#include "engine/fatigue/design_factors.h"
#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_presets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

// log10 N from a segment log N = logA - m log10(S).
long double logN(long double logA, long double m, long double s)
{
    return logA - m * std::log10(s);
}

// log10 N on a category curve: N = nRef (category / S)^m.
long double logNCategory(long double category, long double nRef, long double m, long double s)
{
    return std::log10(nRef) + m * std::log10(category / s);
}

TEST(PublishedCurves, WorkedValuesOfEachFamily)
{
    // EC3-71: knee at 5e6, 52.32 MPa; the second slope from there.
    const long double ec3Knee = 71.0L * std::cbrt(2.0L / 5.0L);
    // IIW FAT 90: knee at 1e7, 52.63 MPa, then m = 22.
    const long double iiwKnee = 90.0L * std::cbrt(2.0e6L / 1.0e7L);
    struct Point {
        const char* preset;
        long double s;
        long double log10N; // from the code's constants; INFINITY: no damage
        long double slack;  // in log10 N: the tables' rounding of log a2
    };
    const Point table[] = {
        {"EC3-71", 100.0L, logNCategory(71, 2e6L, 3, 100), 1e-12L},
        {"EC3-71", 40.0L, std::log10(5e6L) + 5 * std::log10(ec3Knee / 40), 1e-12L},
        {"EC3-71", 28.0L, INFINITY, 0}, // below the cut-off 0.405 x 71 = 28.76
        {"EC3-shear-100", 150.0L, logNCategory(100, 2e6L, 5, 150), 1e-12L},
        {"EC3-shear-80", 50.0L, logNCategory(80, 2e6L, 5, 50), 1e-12L},
        {"EC3-shear-100", 45.0L, INFINITY, 0}, // cut-off at 1e8: 45.73
        {"DNV-D", 100.0L, logN(12.164L, 3, 100), 1e-12L},
        {"DNV-D", 40.0L, logN(15.606L, 5, 40), 0.002L},
        {"DNV-B1", 200.0L, logN(15.117L, 4, 200), 1e-12L},
        {"DNV-D-CP", 100.0L, logN(11.764L, 3, 100), 1e-12L},
        {"DNV-D-CP", 60.0L, logN(15.606L, 5, 60), 0.002L},
        {"DNV-B1-CP", 150.0L, logN(17.146L, 5, 150), 0.002L},
        {"DNV-W3-CP", 80.0L, logN(10.570L, 3, 80), 1e-12L},
        {"DNV-D-FC", 30.0L, logN(11.687L, 3, 30), 1e-12L},
        {"DNV-B1-FC", 300.0L, logN(12.436L, 3, 300), 1e-12L},
        {"DNV-T", 100.0L, logN(12.48L, 3, 100), 1e-12L},
        {"DNV-T", 40.0L, logN(16.13L, 5, 40), 0.004L}, // log a2 to 2 decimals: 16.133
        {"DNV-T-CP", 200.0L, logN(12.18L, 3, 200), 1e-12L},
        {"DNV-T-CP", 50.0L, logN(16.13L, 5, 50), 0.004L},
        {"DNV-T-FC", 100.0L, logN(12.03L, 3, 100), 1e-12L},
        {"IIW-FAT90", 100.0L, logNCategory(90, 2e6L, 3, 100), 1e-12L},
        {"IIW-FAT90", 40.0L, 7.0L + 22 * std::log10(iiwKnee / 40), 1e-12L},
        {"IIW-FAT80-shear", 60.0L, logNCategory(80, 2e6L, 5, 60), 1e-12L},
    };
    for (const Point& p : table) {
        const SnPreset* preset = findSnPreset(p.preset);
        ASSERT_NE(preset, nullptr) << p.preset;
        EXPECT_EQ(preset->definition.measure, LoadMeasure::Range) << p.preset;
        const long double n = SnCurve(preset->definition).allowedCycles(p.s);
        if (std::isinf(p.log10N))
            EXPECT_TRUE(std::isinf(n)) << p.preset << " at " << static_cast<double>(p.s);
        else
            EXPECT_NEAR(std::log10(n), p.log10N, p.slack + 1e-15L) << p.preset << " at " << static_cast<double>(p.s);
    }
}

// DNV-RP-C203, Tables 2-1, 2-2, 2-4 and 2.4.3: the thickness reference and exponent per curve
// (16 mm for the T curve of simple tubular joints).
TEST(PublishedCurves, ThicknessExponentsOfTheTables)
{
    struct Row {
        const char* preset;
        long double ref;
        long double k;
    };
    const Row table[] = {{"DNV-B1", 25, 0.0L},    {"DNV-C", 25, 0.05L},     {"DNV-C1-CP", 25, 0.10L},
                         {"DNV-C2", 25, 0.15L},   {"DNV-D", 25, 0.20L},     {"DNV-F-CP", 25, 0.25L},
                         {"DNV-C-FC", 25, 0.15L}, {"DNV-W3-FC", 25, 0.25L}, {"DNV-T", 16, 0.25L}};
    for (const Row& r : table) {
        const SnCurveDefinition& d = findSnPreset(r.preset)->definition;
        EXPECT_EQ(d.thicknessRef, r.ref) << r.preset;
        EXPECT_EQ(d.thicknessExponent, r.k) << r.preset;
    }
    EXPECT_FALSE(findSnPreset("EC3-71")->definition.thicknessExponent.has_value());
}

FatigueResult evaluate(const std::string& preset, const DesignSettings& design, long double s, double count)
{
    FatigueSettings settings;
    settings.curve = findSnPreset(preset)->definition;
    settings.design = design;
    const FatigueCycle cycles[] = {{s, s, 0, count}};
    return analyseFatigue(cycles, settings);
}

TEST(DesignCheck, FactorsScaleTheStressOnTheCurveAndTheDamage)
{
    struct Case {
        const char* name;
        const char* preset;
        DesignSettings design;
        long double load;
        long double log10N; // of the one cycle, from the code's form
        long double designDamage;
    };
    DesignSettings gammas;
    gammas.gammaFf = 1.0L;
    gammas.gammaMf = 1.35L; // Table 3.1: safe life, high consequence
    DesignSettings thick;
    thick.thickness = 50.0L; // (50 / 25)^0.2 on DNV-D
    DesignSettings thin = thick;
    thin.thickness = 16.0L; // below t_ref: no correction
    DesignSettings tubular;
    tubular.thickness = 64.0L; // (64 / 16)^0.25 on DNV-T
    DesignSettings dff;
    dff.dff = 3.0L;
    DesignSettings stress;
    stress.stressFactor = 2.0L; // MPa per kN
    stress.scf = 1.5L;
    DesignSettings size;
    size.sizeFactor = 0.8L; // k_s: category 71 becomes 56.8
    const Case table[] = {
        {"gamma_Mf", "EC3-71", gammas, 100, logNCategory(71, 2e6L, 3, 135), 0},
        {"thickness", "DNV-D", thick, 100, logN(12.164L, 3, 100 * std::pow(2.0L, 0.2L)), 0},
        {"thin", "DNV-D", thin, 100, logN(12.164L, 3, 100), 0},
        {"T curve", "DNV-T", tubular, 100, logN(12.48L, 3, 100 * std::pow(4.0L, 0.25L)), 0},
        {"DFF", "DNV-D", dff, 100, logN(12.164L, 3, 100), 0},
        {"stress and SCF", "DNV-D-FC", stress, 10, logN(11.687L, 3, 30), 0},
        {"size factor", "EC3-71", size, 100, logNCategory(71 * 0.8L, 2e6L, 3, 100), 0},
    };
    for (const Case& c : table) {
        const FatigueResult r = evaluate(c.preset, c.design, c.load, 1000);
        const long double damage = 1000 / std::pow(10.0L, c.log10N);
        EXPECT_NEAR(r.totals.damage / damage, 1.0L, 1e-12L) << c.name;
        ASSERT_TRUE(r.totals.check.has_value()) << c.name;
        EXPECT_NEAR(r.totals.check->designDamage / (damage * c.design.dff), 1.0L, 1e-12L) << c.name;
        EXPECT_EQ(r.totals.check->utilisation, r.totals.check->designDamage) << c.name;
        EXPECT_EQ(r.totals.check->passes, r.totals.check->utilisation <= 1.0L) << c.name;
    }
    // 1000 cycles of 100 MPa on DNV-D: D = 1000 / 10^6.164 = 6.85e-4; with DFF 3
    // still far from 1; 1e6 cycles pass no longer.
    EXPECT_TRUE(evaluate("DNV-D", dff, 100, 1000).totals.check->passes);
    EXPECT_FALSE(evaluate("DNV-D", dff, 100, 1e6).totals.check->passes);
}

// EN 1993-1-9, 7.2.1: tensile part plus 60 % of the compressive part.
TEST(DesignCheck, CompressiveShareReducesThePartBelowZero)
{
    FatigueSettings settings;
    settings.design.compressiveShare = 0.6L;
    const FatigueCycle cycles[] = {{150, 50, -100, 1}, {80, -20, -100, 1}, {80, 100, 20, 1}, {100, 0, -100, 1}};
    const FatigueResult r = analyseFatigue(cycles, settings);
    const long double want[] = {50 + 60, 48, 80, 60};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(r.rows[i].load, want[i], 1e-15L) << i;
    settings.meanStress = MeanStressMethod::Swt;
    EXPECT_THROW(FatigueAnalysis{settings}, FatigueError);
}

TEST(DesignCheck, BadFactorsAreNamed)
{
    const auto message = [](DesignSettings d, const char* preset) {
        try {
            resolveDesignFactors(d, preset ? &findSnPreset(preset)->definition : nullptr);
        } catch (const FatigueError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    DesignSettings d;
    d.dff = 0;
    EXPECT_EQ(message(d, nullptr), "The design fatigue factor (DFF) must be a positive number, not 0");
    d = {};
    d.scf = -1;
    EXPECT_EQ(message(d, nullptr), "The stress concentration factor must be a positive number, not -1");
    d = {};
    d.sizeFactor = 1.2L;
    EXPECT_EQ(message(d, nullptr), "The size factor k_s must be at most 1, not 1.2");
    d = {};
    d.compressiveShare = 1.5L;
    EXPECT_EQ(message(d, nullptr), "The compressive share must be at most 1, not 1.5");
    d = {};
    d.thickness = 40;
    EXPECT_EQ(message(d, "EC3-71"),
              "The thickness t needs the reference thickness and the exponent: the curve EC3-71 gives none, give them");
    d.thicknessRef = 25;
    d.thicknessExponent = 0.2L;
    EXPECT_EQ(message(d, "EC3-71"), "accepted");
    d = {};
    d.thicknessExponent = 0.3L;
    EXPECT_EQ(message(d, "DNV-T"), "The thickness reference and exponent need the thickness t");
}

// The equivalent load on the curve does, in N_eq cycles, the damage of the
// spectrum on that very curve, on either slope; beyond the cut-off there is none.
TEST(CurveEquivalentLoad, DoesTheDamageOnTheCurve)
{
    const SnCurve curve(findSnPreset("EC3-71")->definition);
    struct Case {
        long double damage;
        long double nEq;
    };
    for (const Case& c : {Case{1e-3L, 1e3L}, Case{0.1L, 1e6L}, Case{0.5L, 1e7L}}) {
        const auto s = curveEquivalentLoad(curve, c.damage, c.nEq);
        ASSERT_TRUE(s.has_value());
        EXPECT_NEAR(c.nEq * curve.damagePerCycle(*s) / c.damage, 1.0L, 1e-12L) << static_cast<double>(c.nEq);
    }
    EXPECT_FALSE(curveEquivalentLoad(curve, 1e-3L, 1e8L).has_value()); // N = 1e11 is beyond the cut-off
    EXPECT_EQ(curveEquivalentLoad(curve, 0.0L, 1e7L), 0.0L);

    // On a single slope it is the DEL of that slope.
    FatigueSettings settings;
    settings.curve = SnCurveDefinition{};
    settings.curve->m = 3.0L;
    settings.curve->logA = 12.0L;
    settings.delExponents = {3.0L};
    settings.delOnCurve = true;
    const FatigueCycle cycles[] = {{100, 100, 0, 10}, {40, 50, 10, 200}, {7, 8, 1, 5000}};
    const FatigueTotals t = analyseFatigue(cycles, settings).totals;
    ASSERT_TRUE(t.curveDel.has_value());
    EXPECT_NEAR(*t.curveDel / t.del[0].value, 1.0L, 1e-15L);
}

} // namespace
} // namespace tessivo::fatigue
