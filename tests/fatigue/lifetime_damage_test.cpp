// The lifetime of recordings: shares combined by their repetitions over the
// design life, DELs that neither overflow nor lose small shares, the N_eq of
// the lifetime, and the values that are refused.

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/lifetime_damage.h"
#include "engine/fatigue/sn_curve_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tessivo::fatigue {
namespace {

LifetimeShare share(long double hours, long double seconds, long double damage, std::vector<DelValue> unitDel)
{
    return LifetimeShare{hours, seconds, damage, std::move(unitDel)};
}

TEST(LifetimeDamage, SharesCombineByTheirRepetitions)
{
    // 10 years: 100 h a year of a 600 s recording is 6000 repetitions, 50 h of
    // a 60 s one 30000. N_eq = 2 Hz x 10 x 150 x 3600 s.
    LifetimeSettings s;
    s.designLife = 10.0L;
    s.dff = 3.0L;
    s.delFrequency = 2.0L;
    const std::vector<LifetimeShare> shares = {
        share(100.0L, 600.0L, 1e-6L, {{3.0L, 50.0L}, {5.0L, 20.0L}}),
        share(50.0L, 60.0L, 4e-7L, {{3.0L, 10.0L}, {5.0L, 8.0L}}),
        share(0.0L, 30.0L, 1.0L, {{3.0L, 1e6L}, {5.0L, 1e6L}}), // no hours: no share
    };
    const LifetimeTotals t = combineLifetime(s, shares);
    EXPECT_NEAR(t.damage, 6000.0L * 1e-6L + 30000.0L * 4e-7L, 1e-18L);
    EXPECT_EQ(t.seconds, 10.0L * 150.0L * 3600.0L);
    EXPECT_EQ(t.equivalentCycles, 2.0L * t.seconds);
    EXPECT_NEAR(t.check.utilisation, 3.0L * t.damage, 1e-18L);
    EXPECT_EQ(t.check.passes, 3.0L * t.damage <= 1.0L);
    ASSERT_EQ(t.del.size(), 2U);
    const long double del3 = std::cbrt((6000.0L * 125000.0L + 30000.0L * 1000.0L) / t.equivalentCycles);
    EXPECT_NEAR(t.del[0].value / del3, 1.0L, 1e-17L);
    const long double del5 =
        std::pow((6000.0L * std::pow(20.0L, 5.0L) + 30000.0L * std::pow(8.0L, 5.0L)) / t.equivalentCycles, 0.2L);
    EXPECT_NEAR(t.del[1].value / del5, 1.0L, 1e-17L);
}

TEST(LifetimeDamage, DelsOfExtremeLoadsAndSlopes)
{
    // Loads whose 20th power is beyond long double: two equal shares give
    // DEL = u (sum f / N_eq)^(1/m), whatever u.
    LifetimeSettings s;
    s.designLife = 1.0L;
    s.equivalentCycles = 7200.0L;
    for (const long double u : {1e-300L, 1.0L, 1e300L, 1e1000L}) {
        const std::vector<LifetimeShare> shares = {share(1.0L, 3600.0L, 0.0L, {{20.0L, u}}),
                                                   share(1.0L, 1800.0L, 0.0L, {{20.0L, u}})};
        const LifetimeTotals t = combineLifetime(s, shares);
        EXPECT_NEAR(t.del[0].value / (u * std::pow(3.0L / 7200.0L, 1.0L / 20.0L)), 1.0L, 1e-17L) << u;
    }
}

TEST(LifetimeDamage, CurveDelOnOneSlopeIsThatSlopesDel)
{
    const SnCurve curve(parseSnCurveText("m=3,logA=12"));
    LifetimeSettings s;
    s.designLife = 20.0L;
    // One pass: cycles of 6, 4 and 2 do 288e-12 and sum n S^3 = 288.
    const std::vector<LifetimeShare> shares = {share(10.0L, 36.0L, 288e-12L, {{3.0L, std::cbrt(288.0L)}})};
    const LifetimeTotals t = combineLifetime(s, shares, &curve);
    ASSERT_TRUE(t.curveDel);
    EXPECT_NEAR(*t.curveDel / t.del[0].value, 1.0L, 1e-15L);
    EXPECT_EQ(t.equivalentCycles, 1e7L);
}

TEST(LifetimeDamage, RefusedValuesAreNamed)
{
    struct Case {
        LifetimeSettings settings;
        std::vector<LifetimeShare> shares;
        std::string message;
    };
    const auto settings = [](long double years, long double dff = 1.0L) {
        LifetimeSettings s;
        s.designLife = years;
        s.dff = dff;
        return s;
    };
    LifetimeSettings frequency = settings(20.0L);
    frequency.delFrequency = 1.0L;
    const std::vector<Case> cases = {
        {settings(0.0L), {}, "The design life must be a positive number, not 0"},
        {settings(20.0L, -1.0L), {}, "The design fatigue factor (DFF) must be a positive number, not -1"},
        {settings(20.0L), {share(-1.0L, 60.0L, 0.0L, {})}, "hours per year of a recording must be 0 or more, not -1"},
        {settings(20.0L), {share(1.0L, 0.0L, 0.0L, {})}, "The duration of a recording must be a positive number"},
        {settings(20.0L),
         {share(1.0L, 60.0L, 0.0L, {{3.0L, 1.0L}}), share(1.0L, 60.0L, 0.0L, {})},
         "the same damage-equivalent exponents"},
        {frequency, {share(0.0L, 60.0L, 0.0L, {})}, "The lifetime's seconds"},
    };
    for (const Case& c : cases) {
        try {
            combineLifetime(c.settings, c.shares);
            ADD_FAILURE() << "not refused: " << c.message;
        } catch (const FatigueError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace tessivo::fatigue
