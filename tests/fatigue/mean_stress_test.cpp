// Each mean-stress correction against a value worked by hand, the FKM
// regimes meeting at their borders, and the limits of the material.

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/mean_stress.h"

#include <gtest/gtest.h>

#include <string>

namespace tessivo::fatigue {
namespace {

MaterialValues material()
{
    MaterialValues m;
    m.ultimate = 400.0L;
    m.fatigueStrengthCoefficient = 500.0L;
    m.walkerGamma = 0.75L;
    m.fkmM = 0.3L;
    return m;
}

long double corrected(MeanStressMethod method, long double sa, long double sm)
{
    return *MeanStressCorrection(method, material()).equivalentAmplitude(sa, sm);
}

TEST(MeanStress, EachFormulaAgainstAHandValue)
{
    struct Case {
        MeanStressMethod method;
        long double sa, sm, expected;
    };
    const Case cases[] = {
        {MeanStressMethod::Goodman, 100, 50, 800.0L / 7.0L},   // 100 / (1 - 1/8)
        {MeanStressMethod::Gerber, 100, 100, 1600.0L / 15.0L}, // 100 / (1 - 1/16)
        {MeanStressMethod::Gerber, 100, -100, 1600.0L / 15.0L},
        {MeanStressMethod::Morrow, 100, 50, 1000.0L / 9.0L}, // 100 / (1 - 1/10)
        {MeanStressMethod::Swt, 10, 150, 40.0L},             // sqrt(160 * 10)
        {MeanStressMethod::Swt, 10, -10, 0.0L},              // Smax = 0: no damage
        {MeanStressMethod::Walker, 10, 150, 20.0L},          // 160^0.25 10^0.75 = 160000^0.25
        {MeanStressMethod::Walker, 10, -20, 0.0L},
        {MeanStressMethod::Fkm, 10, -50, 7.0L},          // R > 1: 10 (1 - 0.3)
        {MeanStressMethod::Fkm, 10, 5, 11.5L},           // R <= 0: 10 + 0.3 * 5
        {MeanStressMethod::Fkm, 10, 20, 156.0L / 11.0L}, // R = 1/3: 1.3/1.1 (10 + 0.1 * 20)
        {MeanStressMethod::Fkm, 10, 40, 169.0L / 11.0L}, // R = 0.6: 10 * 3 * 1.69 / 3.3
        {MeanStressMethod::None, 10, 40, 10.0L},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(corrected(c.method, c.sa, c.sm), c.expected, 1e-15L)
            << meanStressName(c.method) << " Sa " << static_cast<double>(c.sa) << " Sm " << static_cast<double>(c.sm);
}

TEST(MeanStress, FkmRegimesMeetAtTheirBorders)
{
    // Borders at Smax = 0 (Sm = -Sa), Smin = 0 (Sm = Sa) and R = 0.5 (Sm = 3 Sa).
    for (long double border : {-1.0L, 1.0L, 3.0L}) {
        const long double sa = 7.0L, sm = border * sa;
        const long double below = corrected(MeanStressMethod::Fkm, sa, sm - 1e-9L);
        const long double above = corrected(MeanStressMethod::Fkm, sa, sm + 1e-9L);
        EXPECT_NEAR(below, above, 1e-8L) << static_cast<double>(border);
    }
}

TEST(MeanStress, CyclesBeyondTheLimitAreNamedNeverDamaged)
{
    const MeanStressCorrection goodman(MeanStressMethod::Goodman, material());
    EXPECT_FALSE(goodman.equivalentAmplitude(10, 400).has_value());
    EXPECT_FALSE(MeanStressCorrection(MeanStressMethod::Gerber, material()).equivalentAmplitude(10, -400));
    EXPECT_FALSE(MeanStressCorrection(MeanStressMethod::Morrow, material()).equivalentAmplitude(10, 600));

    FatigueSettings settings;
    settings.meanStress = MeanStressMethod::Goodman;
    settings.material.ultimate = 400.0L;
    FatigueAnalysis analysis(settings);
    analysis.add({20, 60, 40, 1});
    try {
        analysis.add({100, 470, 370, 1});
        FAIL() << "a cycle past the ultimate strength was evaluated";
    } catch (const FatigueError& e) {
        EXPECT_STREQ(e.what(), "The cycle in row 2 (from 370 to 470, mean 420) reaches the ultimate strength "
                               "Su = 400 with its maximum; the goodman correction does not hold there");
    }
}

TEST(MeanStress, MissingOrBadMaterialValuesAreNamed)
{
    const auto message = [](MeanStressMethod method, MaterialValues values) {
        try {
            MeanStressCorrection correction(method, values);
        } catch (const FatigueError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message(MeanStressMethod::Goodman, {}),
              "The goodman mean-stress correction needs the ultimate strength (Su)");
    MaterialValues bad = material();
    bad.walkerGamma = 1.5L;
    bad.fkmM = 1.0L;
    bad.ultimate = -1.0L;
    EXPECT_EQ(message(MeanStressMethod::Walker, bad),
              "The Walker exponent (gamma) must be above 0 and at most 1, not 1.5");
    EXPECT_EQ(message(MeanStressMethod::Fkm, bad),
              "The mean-stress sensitivity (M) must be at least 0 and below 1, not 1");
    EXPECT_EQ(message(MeanStressMethod::Gerber, bad), "The ultimate strength (Su) must be positive, not -1");
    EXPECT_EQ(message(MeanStressMethod::Swt, {}), "accepted");
}

} // namespace
} // namespace tessivo::fatigue
