// Every preset against the points that define it in its code, as the codes
// print them: EN 1993-1-9's categories with the ratios of Figure 7.1 and 7.2
// (0.737 at the knee, 0.549 of that at the cut-off; 0.457 for shear), the
// rows of DNV-RP-C203's Tables 2-1, 2-2 and 2-4 with their log a2 and
// fatigue limits at 1e7, the T curve of Table 2-3 and the IIW FAT classes.
// The expected values come from the printed numbers alone; the slack is the
// rounding of the printed numbers.

#include "engine/fatigue/sn_curve.h"
#include "engine/fatigue/sn_presets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

long double log10Allowed(const std::string& preset, long double s)
{
    const SnPreset* p = findSnPreset(preset);
    if (p == nullptr) {
        ADD_FAILURE() << "no preset " << preset;
        return NAN;
    }
    return std::log10(SnCurve(p->definition).allowedCycles(s));
}

const int kCategories[] = {160, 140, 125, 112, 100, 90, 80, 71, 63, 56, 50, 45, 40, 36};

TEST(CurveDefiningPoints, Eurocode3CategoriesKneesAndCutOffs)
{
    for (const int c : kCategories) {
        const std::string name = "EC3-" + std::to_string(c);
        SCOPED_TRACE(name);
        EXPECT_NEAR(log10Allowed(name, c), std::log10(2e6L), 1e-12L);
        const long double knee = 0.737L * c; // delta sigma_D at 5e6, printed to 3 digits
        EXPECT_NEAR(log10Allowed(name, knee), std::log10(5e6L), 1e-3L);
        const long double cutOff = 0.549L * knee; // delta sigma_L at 1e8
        EXPECT_NEAR(log10Allowed(name, cutOff * 1.002L), 8.0L, 5e-3L);
        EXPECT_TRUE(std::isinf(log10Allowed(name, cutOff * 0.998L)));
        // Slope 3 above the knee, 5 between the knee and the cut-off.
        EXPECT_NEAR(log10Allowed(name, 1.2L * c), log10Allowed(name, c) - 3 * std::log10(1.2L), 1e-12L);
        EXPECT_NEAR(log10Allowed(name, 0.45L * c) - log10Allowed(name, 0.7L * c), 5 * std::log10(0.7L / 0.45L), 1e-12L);
    }
    for (const int c : {100, 80}) {
        const std::string name = "EC3-shear-" + std::to_string(c);
        SCOPED_TRACE(name);
        EXPECT_NEAR(log10Allowed(name, c), std::log10(2e6L), 1e-12L);
        EXPECT_NEAR(log10Allowed(name, 0.8L * c) - log10Allowed(name, c), -5 * std::log10(0.8L), 1e-12L);
        const long double cutOff = 0.457L * c; // delta tau_L at 1e8
        EXPECT_NEAR(log10Allowed(name, cutOff * 1.002L), 8.0L, 5e-3L);
        EXPECT_TRUE(std::isinf(log10Allowed(name, cutOff * 0.998L)));
    }
}

struct DnvRow {
    const char* curve;
    long double m1;
    long double logA1Air; // Table 2-1, N up to 1e7
    long double logA1Cp;  // Table 2-2, N up to 1e6
    long double logA2;    // both tables, m2 = 5 beyond the knee
    long double limit;    // the fatigue limit at 1e7 cycles, MPa
    long double logAFree; // Table 2-4, m = 3 throughout
};

// DNV-RP-C203 (April 2016), as printed.
const DnvRow kDnv[] = {
    {"B1", 4, 15.117L, 14.917L, 17.146L, 106.97L, 12.436L}, {"B2", 4, 14.885L, 14.685L, 16.856L, 93.59L, 12.262L},
    {"C", 3, 12.592L, 12.192L, 16.320L, 73.10L, 12.115L},   {"C1", 3, 12.449L, 12.049L, 16.081L, 65.50L, 11.972L},
    {"C2", 3, 12.301L, 11.901L, 15.835L, 58.48L, 11.824L},  {"D", 3, 12.164L, 11.764L, 15.606L, 52.63L, 11.687L},
    {"E", 3, 12.010L, 11.610L, 15.350L, 46.78L, 11.533L},   {"F", 3, 11.855L, 11.455L, 15.091L, 41.52L, 11.378L},
    {"F1", 3, 11.699L, 11.299L, 14.832L, 36.84L, 11.222L},  {"F3", 3, 11.546L, 11.146L, 14.576L, 32.75L, 11.068L},
    {"G", 3, 11.398L, 10.998L, 14.330L, 29.24L, 10.921L},   {"W1", 3, 11.261L, 10.861L, 14.101L, 26.32L, 10.784L},
    {"W2", 3, 11.107L, 10.707L, 13.845L, 23.39L, 10.630L},  {"W3", 3, 10.970L, 10.570L, 13.617L, 21.05L, 10.493L},
};

TEST(CurveDefiningPoints, DnvTablesRowByRow)
{
    for (const DnvRow& r : kDnv) {
        const std::string air = std::string("DNV-") + r.curve;
        SCOPED_TRACE(air);
        // In air: the first slope above the fatigue limit, which lies at 1e7, then log a2.
        EXPECT_NEAR(log10Allowed(air, 2 * r.limit), r.logA1Air - r.m1 * std::log10(2 * r.limit), 1e-12L);
        EXPECT_NEAR(log10Allowed(air, r.limit), 7.0L, 1e-3L);
        EXPECT_NEAR(log10Allowed(air, 0.7L * r.limit), r.logA2 - 5 * std::log10(0.7L * r.limit), 2e-3L);
        // With cathodic protection: the knee at 1e6, the same log a2 and limit beyond it.
        const long double kneeCp = std::pow(10.0L, (r.logA1Cp - 6) / r.m1);
        EXPECT_NEAR(log10Allowed(air + "-CP", 1.2L * kneeCp), r.logA1Cp - r.m1 * std::log10(1.2L * kneeCp), 1e-12L);
        EXPECT_NEAR(log10Allowed(air + "-CP", r.limit), 7.0L, 1e-3L);
        EXPECT_NEAR(log10Allowed(air + "-CP", 0.5L * r.limit), r.logA2 - 5 * std::log10(0.5L * r.limit), 2e-3L);
        // Free corrosion: one slope of 3, no limit.
        for (const long double s : {200.0L, 10.0L})
            EXPECT_NEAR(log10Allowed(air + "-FC", s), r.logAFree - 3 * std::log10(s), 1e-12L);
    }
}

TEST(CurveDefiningPoints, DnvTubularJointCurve)
{
    // Table 2-3: in air 12.48 to 1e7, with cathodic protection 12.18 to 1.8e6, then 16.13 with m = 5
    // (printed to two decimals); free corrosion 12.03.
    EXPECT_NEAR(log10Allowed("DNV-T", 150), 12.48L - 3 * std::log10(150.0L), 1e-12L);
    EXPECT_NEAR(log10Allowed("DNV-T", 30), 16.13L - 5 * std::log10(30.0L), 5e-3L);
    const long double kneeCp = std::pow(10.0L, (12.18L - std::log10(1.8e6L)) / 3);
    EXPECT_NEAR(log10Allowed("DNV-T-CP", 1.1L * kneeCp), 12.18L - 3 * std::log10(1.1L * kneeCp), 1e-12L);
    EXPECT_NEAR(log10Allowed("DNV-T-CP", 0.9L * kneeCp), 16.13L - 5 * std::log10(0.9L * kneeCp), 5e-3L);
    EXPECT_NEAR(log10Allowed("DNV-T-FC", 20), 12.03L - 3 * std::log10(20.0L), 1e-12L);
}

TEST(CurveDefiningPoints, IiwFatClasses)
{
    for (const int fat : kCategories) {
        const std::string name = "IIW-FAT" + std::to_string(fat);
        SCOPED_TRACE(name);
        EXPECT_NEAR(log10Allowed(name, fat), std::log10(2e6L), 1e-12L);
        const long double knee = fat * std::cbrt(0.2L); // m = 3 from 2e6 to 1e7
        EXPECT_NEAR(log10Allowed(name, knee), 7.0L, 1e-12L);
        EXPECT_NEAR(log10Allowed(name, 0.9L * knee), 7.0L - 22 * std::log10(0.9L), 1e-12L);
    }
    for (const int fat : {100, 80}) {
        const std::string name = "IIW-FAT" + std::to_string(fat) + "-shear";
        SCOPED_TRACE(name);
        EXPECT_NEAR(log10Allowed(name, fat), std::log10(2e6L), 1e-12L);
        const long double knee = fat * std::pow(0.02L, 0.2L); // m = 5 from 2e6 to 1e8
        EXPECT_NEAR(log10Allowed(name, knee), 8.0L, 1e-12L);
        EXPECT_NEAR(log10Allowed(name, 0.95L * knee), 8.0L - 22 * std::log10(0.95L), 1e-12L);
    }
}

} // namespace
} // namespace tessivo::fatigue
