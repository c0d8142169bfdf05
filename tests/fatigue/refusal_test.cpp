// What the fatigue area refuses, with the text the user reads: curves that
// contradict themselves, a curve of a code asked with the other measure,
// damage beyond the range of numbers, cycles no count gives, and cycles
// whose maximum reaches the ultimate strength.

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_curve_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tessivo::fatigue {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

struct Refusal {
    const char* name;
    std::string curve;
    LoadMeasure measure;
    MeanStressMethod meanStress;
    std::vector<FatigueCycle> cycles;
    std::string message; // "" for accepted
};

// Runs the whole evaluation as the row route does: settings, each cycle, totals.
std::string outcome(const Refusal& r)
{
    try {
        FatigueSettings s;
        s.curve = parseSnCurveText(r.curve);
        s.measure = r.measure;
        s.meanStress = r.meanStress;
        s.material.ultimate = 400.0L;
        s.delExponents = {3.0L};
        FatigueAnalysis analysis(s);
        for (const FatigueCycle& c : r.cycles)
            analysis.add(c);
        const FatigueTotals t = analysis.totals();
        EXPECT_TRUE(std::isfinite(t.damage)) << r.name;
        return "";
    } catch (const FatigueError& e) {
        return e.what();
    }
}

TEST(FatigueRefusals, EachIsNamedWithItsReason)
{
    const auto range = LoadMeasure::Range;
    const auto none = MeanStressMethod::None;
    const std::vector<FatigueCycle> fine = {{100, 150, 50, 1}, {20, 30, 10, 0.5}};
    const Refusal table[] = {
        {"knee below the point", "m=3,S=71,N=2e6,Nknee=1e6,knee=cutoff", range, none, fine,
         "S-N curve: the knee Nknee = 1e+06 lies below the defining point N = 2e+06; the point would not be on "
         "the curve"},
        {"knee at the point", "m=3,S=71,N=2e6,Nknee=2e6,knee=cutoff", range, none, fine, ""},
        {"cut-off below the point", "m=3,S=71,N=2e6,Ncut=1e6", range, none, fine,
         "S-N curve: the cut-off Ncut = 1e+06 lies below the defining point N = 2e+06; the curve would end "
         "before it"},
        {"cut-off below the knee", "m=3,S=71,N=2e6,Nknee=5e6,m2=5,Ncut=3e6", range, none, fine,
         "S-N curve: the cut-off Ncut = 3e+06 lies below the knee Nknee = 5e+06; the curve would end before it"},
        {"cut-off below the knee of logA", "m=3,logA=12,Nknee=1e7,knee=haibach,Ncut=1e6", range, none, fine,
         "S-N curve: the cut-off Ncut = 1e+06 lies below the knee Nknee = 1e+07; the curve would end before it"},
        {"range preset asked with amplitudes", "preset:EC3-71", LoadMeasure::Amplitude, none, fine,
         "--sn-measure amplitude: the curve EC3-71 is defined on stress ranges; give --sn-measure range"},
        {"own curve with amplitudes", "m=3,logA=12", LoadMeasure::Amplitude, none, fine, ""},
        {"power overflows",
         "m=5000,S=71,N=2e6",
         range,
         none,
         {{20, 30, 10, 1}, {7100, 7100, 0, 1}},
         "The damage of the cycle in row 2 (S = 7100) is beyond the range of numbers: the S-N curve's exponent "
         "m = 5000 is too steep for this load"},
        {"sum overflows",
         "m=1,logA=-4632",
         range,
         none,
         {{1, 1, 0, 1e300}, {1.0000001L, 1.0000001L, 0, 1e300}},
         "The damage sum (Miner) is beyond the range of numbers"},
        {"negative count",
         "m=3,logA=12",
         range,
         none,
         {{10, 10, 0, 1}, {10, 10, 0, -1}},
         "The cycle in row 2 has the count -1; a count must be a finite number, 0 or more"},
        {"nan count",
         "m=3,logA=12",
         range,
         none,
         {{10, 10, 0, kNan}},
         "The cycle in row 1 has the count nan; a count must be a finite number, 0 or more"},
        {"infinite load",
         "m=3,logA=12",
         range,
         none,
         {{kInf, kInf, 0, 1}},
         "The cycle in row 1 has loads that are not finite numbers (range inf, upper inf, lower 0)"},
        {"range not upper minus lower",
         "m=3,logA=12",
         range,
         none,
         {{10, 10, 0, 1}, {12, 10, 0, 1}},
         "The cycle in row 2 (from 0 to 10) has the range 12; a range must be upper minus lower, 10"},
        {"upper below lower",
         "m=3,logA=12",
         range,
         none,
         {{-10, 0, 10, 1}},
         "The cycle in row 1 (from 10 to 0) has its upper load below its lower load"},
        {"range to the rounding of float", "m=3,logA=12", range, none, {{100.000001L, 150, 50, 1}}, ""},
        {"maximum reaches Su",
         "m=3,logA=12",
         range,
         MeanStressMethod::Goodman,
         {{10, 30, 20, 1}, {300, 400, 100, 1}},
         "The cycle in row 2 (from 100 to 400, mean 250) reaches the ultimate strength Su = 400 with its maximum; "
         "the goodman correction does not hold there"},
        {"maximum reaches Su with swt",
         "m=3,logA=12",
         range,
         MeanStressMethod::Swt,
         {{500, 450, -50, 1}},
         "The cycle in row 1 (from -50 to 450, mean 200) reaches the ultimate strength Su = 400 with its maximum; "
         "the swt correction does not hold there"},
        {"maximum below Su", "m=3,logA=12", range, MeanStressMethod::Goodman, {{300, 399, 99, 1}}, ""},
        {"maximum beyond Su without a correction", "m=3,logA=12", range, none, {{300, 500, 200, 1}}, ""},
    };
    for (const Refusal& r : table)
        EXPECT_EQ(outcome(r), r.message) << r.name;
}

// The totals' route (a count's own cycles) trusts their ranges but not a
// negative count, and names an overflow by the load of the summed cycles.
TEST(FatigueRefusals, TotalsRouteChecksCountsAndOverflows)
{
    FatigueSettings s;
    s.curve = parseSnCurveText("m=5000,S=71,N=2e6");
    FatigueAnalysis analysis(s);
    analysis.accumulate({10, 10, 0, 1});
    analysis.accumulate({7100, 7100, 0, 1});
    try {
        analysis.totals();
        ADD_FAILURE() << "an overflowing damage was summed";
    } catch (const FatigueError& e) {
        EXPECT_STREQ(e.what(), "The damage of the cycles of S = 7100 is beyond the range of numbers: the S-N curve's "
                               "exponent m = 5000 is too steep for this load");
    }
    EXPECT_THROW(analysis.accumulate({10, 10, 0, -2}), FatigueError);
}

} // namespace
} // namespace tessivo::fatigue
