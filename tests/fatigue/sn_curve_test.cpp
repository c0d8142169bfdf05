// S-N curves: the knee rules and cut-off on one hand-computed curve, the
// presets against the values their standards publish, and the messages for
// bad curves.

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_curve.h"
#include "engine/fatigue/sn_presets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

SnCurveDefinition throughPoint(KneeRule knee, long double m2 = 0.0L)
{
    SnCurveDefinition d;
    d.m = 3.0L;
    d.pointS = 100.0L;
    d.pointN = 2.0e6L;
    d.knee = knee;
    d.m2 = m2;
    return d;
}

TEST(SnCurveKnee, EachRuleBelowTheKneeOfTheHandCurve)
{
    // N = 2e6 (100 / S)^3 above the knee at S = 100; at S = 50 the rules
    // differ: (1/2)^3, nothing, (1/2)^(2*3-1), (1/2)^4, each over 2e6.
    struct Case {
        KneeRule knee;
        long double m2;
        long double damageAt50;
    };
    for (const Case& c : {Case{KneeRule::SameSlope, 0, 6.25e-8L}, Case{KneeRule::NoDamage, 0, 0.0L},
                          Case{KneeRule::Haibach, 0, 1.5625e-8L}, Case{KneeRule::SecondSlope, 4, 3.125e-8L}}) {
        const SnCurve curve(throughPoint(c.knee, c.m2));
        EXPECT_NEAR(curve.damagePerCycle(50.0L), c.damageAt50, 1e-22L) << static_cast<int>(c.knee);
        EXPECT_NEAR(curve.damagePerCycle(200.0L), 4.0e-6L, 1e-20L); // 8 / 2e6, the same for all
        EXPECT_EQ(curve.damagePerCycle(0.0L), 0.0L);
    }
    EXPECT_EQ(SnCurve(throughPoint(KneeRule::NoDamage)).allowedCycles(99.0L), INFINITY);
}

TEST(SnCurveKnee, CutOffEndsTheDamageAtItsLoad)
{
    SnCurveDefinition d = throughPoint(KneeRule::Haibach);
    d.cutoffN = 1.0e8L; // 100 (2e6 / 1e8)^(1/5) = 45.73...
    const SnCurve curve(d);
    EXPECT_NEAR(curve.cutoffLoad(), 45.730505192732L, 1e-9L);
    EXPECT_EQ(curve.damagePerCycle(45.7L), 0.0L);
    EXPECT_NEAR(curve.allowedCycles(curve.cutoffLoad()), 1.0e8L, 1e-4L);
}

TEST(SnCurveKnee, SingleSlopeFromLogA)
{
    SnCurveDefinition d;
    d.m = 3.0L;
    d.logA = 12.0L;
    const SnCurve curve(d);
    EXPECT_NEAR(curve.allowedCycles(10.0L), 1.0e9L, 1e-6L);
    EXPECT_NEAR(curve.loadAt(1.0e6L), 100.0L, 1e-15L);
}

TEST(SnCurveErrors, BadCurvesAreNamed)
{
    const auto message = [](SnCurveDefinition d) {
        try {
            SnCurve curve(d);
        } catch (const FatigueError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    SnCurveDefinition zeroM = throughPoint(KneeRule::SameSlope);
    zeroM.m = 0;
    EXPECT_EQ(message(zeroM), "S-N curve: m must be a positive number, not 0");
    SnCurveDefinition negativeS = throughPoint(KneeRule::SameSlope);
    negativeS.pointS = -5;
    EXPECT_EQ(message(negativeS), "S-N curve: S must be a positive number, not -5");
    SnCurveDefinition both = throughPoint(KneeRule::SameSlope);
    both.logA = 12;
    EXPECT_EQ(message(both), "S-N curve: give either logA or the point S, N, not both");
    SnCurveDefinition noM2 = throughPoint(KneeRule::SecondSlope);
    EXPECT_EQ(message(noM2), "S-N curve: m2 must be a positive number, not 0");
    SnCurveDefinition kneeless;
    kneeless.m = 3;
    kneeless.logA = 12;
    kneeless.knee = KneeRule::Haibach;
    EXPECT_EQ(message(kneeless), "S-N curve: a knee rule needs the knee, Nknee");
}

// EN 1993-1-9, Figure 7.1: constant amplitude fatigue limit
// dsD = (2/5)^(1/3) dsC = 0.737 dsC at 5e6 cycles, cut-off limit
// dsL = (5/100)^(1/5) dsD = 0.549 dsD (0.405 dsC) at 1e8 cycles.
TEST(SnPresets, EurocodeCategoriesMatchTheirPublishedLimits)
{
    int seen = 0;
    for (int category : {160, 140, 125, 112, 100, 90, 80, 71, 63, 56, 50, 45, 40, 36}) {
        const SnPreset* preset = findSnPreset("ec3-" + std::to_string(category));
        ASSERT_NE(preset, nullptr) << category;
        const SnCurve curve(preset->definition);
        const long double c = category;
        EXPECT_NEAR(curve.loadAt(2.0e6L) / c, 1.0L, 1e-15L);
        EXPECT_NEAR(curve.kneeLoad() / c, 0.737L, 0.0005L) << category;
        EXPECT_NEAR(curve.cutoffLoad() / curve.kneeLoad(), 0.549L, 0.0005L) << category;
        EXPECT_NEAR(curve.cutoffLoad() / c, 0.405L, 0.001L) << category;
        EXPECT_EQ(curve.damagePerCycle(curve.cutoffLoad() * 0.999L), 0.0L);
        EXPECT_GT(curve.damagePerCycle(curve.cutoffLoad() * 1.001L), 0.0L);
        ++seen;
    }
    EXPECT_EQ(seen, 14);
}

// DNV-RP-C203 (April 2016), Table 2-1, S-N curves in air: log a2 of the
// second slope (m2 = 5) and the fatigue limit, the stress range at 1e7 cycles.
TEST(SnPresets, DnvCurvesInAirMatchTable)
{
    struct Row {
        const char* name;
        long double logA2;
        long double limit;
    };
    const Row table[] = {{"B1", 17.146L, 106.97L}, {"B2", 16.856L, 93.59L}, {"C", 16.320L, 73.10L},
                         {"C1", 16.081L, 65.50L},  {"C2", 15.835L, 58.48L}, {"D", 15.606L, 52.63L},
                         {"E", 15.350L, 46.78L},   {"F", 15.091L, 41.52L},  {"F1", 14.832L, 36.84L},
                         {"F3", 14.576L, 32.75L},  {"G", 14.330L, 29.24L},  {"W1", 14.101L, 26.32L},
                         {"W2", 13.845L, 23.39L},  {"W3", 13.617L, 21.05L}};
    for (const Row& row : table) {
        const SnPreset* preset = findSnPreset(std::string("DNV-") + row.name);
        ASSERT_NE(preset, nullptr) << row.name;
        const SnCurve curve(preset->definition);
        // log a1 is published to 3 decimals: S at 1e7 is fixed to within a
        // factor 10^(0.0005/m1), plus the rounding of the limit itself.
        const long double slack = row.limit * (std::pow(10.0L, 0.0005L / curve.slope()) - 1.0L) + 0.005L;
        EXPECT_NEAR(curve.loadAt(1.0e7L), row.limit, slack) << row.name;
        // On the second slope, log N = log a2 - 5 log S: check it at 1e9 cycles.
        const long double s = curve.loadAt(1.0e9L);
        EXPECT_NEAR(9.0L + 5.0L * std::log10(s), row.logA2, 0.0015L) << row.name;
    }
    EXPECT_EQ(findSnPreset("DNV-X"), nullptr);
}

} // namespace
} // namespace tessivo::fatigue
