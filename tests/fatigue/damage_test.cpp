// Miner sums and damage-equivalent loads: hand-computed values for counted
// sequences, the published ASTM E1049-85 example with its half cycles, the
// defining property of the damage-equivalent load, and sums that must not
// overflow or lose small terms.

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/rainflow_matrix.h"
#include "engine/fatigue/table_cycles.h"

#include "tests/engine/pipeline_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace tessivo::fatigue {
namespace {

// N = 1e12 / S^3: each cycle does S^3 / 1e12.
FatigueSettings cubicCurve(std::vector<long double> del = {})
{
    FatigueSettings s;
    SnCurveDefinition d;
    d.m = 3.0L;
    d.logA = 12.0L;
    s.curve = d;
    s.delExponents = std::move(del);
    return s;
}

FatigueResult countAndAnalyse(const std::vector<long double>& loads, bool decomposition, const FatigueSettings& s,
                              bool halfCycles = false)
{
    test::Parameters p;
    p.decomposition = decomposition;
    p.halfCycles = halfCycles;
    auto run = test::makeRun(loads, p);
    TCycleTable table;
    VectorSource source(loads);
    return analyseFatigue(tableCycles(table, RunRainflow(table, *run, source).cycleCount), s);
}

TEST(MinerDamage, HandSumsOfACountedSequenceForEachResidueMethod)
{
    // 3 5 1 9 0 is all residue. Decomposition counts 9..0 and 5..1:
    // D = (9^3 + 4^3) / 1e12 = 793e-12. Upward half cycles count 1..9 and
    // 3..5: D = (8^3 + 2^3) / 1e12 = 520e-12. DEL_3 with N_eq = 10 is the
    // cube root of the sum of S^3 over 10.
    const std::vector<long double> loads = {3, 5, 1, 9, 0};
    FatigueSettings s = cubicCurve({3.0L});
    s.equivalentCycles = 10.0L;
    s.duration = 36.0L; // the sequence lasts 36 s: life in hours = life / 100
    const FatigueResult decomposed = countAndAnalyse(loads, true, s);
    EXPECT_NEAR(decomposed.totals.damage, 793e-12L, 1e-25L);
    EXPECT_NEAR(decomposed.totals.life, 1.0L / 793e-12L, 1e-3L);
    EXPECT_NEAR(*decomposed.totals.lifeHours, decomposed.totals.life / 100.0L, 1e-6L);
    EXPECT_NEAR(decomposed.totals.del.at(0).value, std::cbrt(79.3L), 1e-15L);
    ASSERT_EQ(decomposed.rows.size(), 2u);
    EXPECT_NEAR(decomposed.rows[0].allowed, 1e12L / 729.0L, 1e-6L);

    const FatigueResult upward = countAndAnalyse(loads, false, s);
    EXPECT_NEAR(upward.totals.damage, 520e-12L, 1e-25L);
    EXPECT_NEAR(upward.totals.del.at(0).value, std::cbrt(52.0L), 1e-15L);
    EXPECT_EQ(upward.totals.cycles, 2.0L);

    // Half cycles: 3..5, 5..1, 1..9, 9..0 at 0.5 each: D = (8 + 64 + 512 + 729) / 2e12.
    const FatigueResult half = countAndAnalyse(loads, false, s, true);
    EXPECT_NEAR(half.totals.damage, 656.5e-12L, 1e-25L);
    EXPECT_NEAR(half.totals.del.at(0).value, std::cbrt(65.65L), 1e-15L);
    EXPECT_EQ(half.totals.cycles, 2.0L);
}

TEST(MinerDamage, AstmExampleWithHalfCycles)
{
    // ASTM E1049-85, 5.4.4: the published count of -2 1 -3 5 -1 3 -4 4 -2 by
    // range: 3 x0.5, 4 x1.5, 6 x0.5, 8 x1, 9 x0.5. Sum of n S^3 = 13.5 + 96 +
    // 108 + 512 + 364.5 = 1094, over 4 cycles in all.
    const std::vector<long double> loads = {-2, 1, -3, 5, -1, 3, -4, 4, -2};
    const std::map<long double, double> published = {{3, 0.5}, {4, 1.5}, {6, 0.5}, {8, 1.0}, {9, 0.5}};
    test::Parameters p;
    p.decomposition = false;
    p.halfCycles = true;
    auto run = test::makeRun(loads, p);
    TCycleTable table;
    VectorSource source(loads);
    const std::int32_t n = RunRainflow(table, *run, source, {}, {}).cycleCount;
    const std::vector<FatigueCycle> cycles = tableCycles(table, n);
    std::map<long double, double> byRange;
    for (const FatigueCycle& c : cycles)
        byRange[c.range] += c.count;
    EXPECT_EQ(byRange, published);

    FatigueSettings s = cubicCurve({3.0L});
    s.equivalentCycles = 1.0L;
    const FatigueResult result = analyseFatigue(cycles, s);
    EXPECT_NEAR(result.totals.damage, 1094e-12L, 1e-25L);
    EXPECT_EQ(result.totals.cycles, 4.0L);
    EXPECT_NEAR(result.rows.back().damage, 13.5e-12L, 1e-26L); // 3 x0.5, the smallest range
    EXPECT_NEAR(result.totals.del[0].value, std::cbrt(1094.0L), 1e-15L);

    // Amplitudes on the same curve: each term is (S/2)^3, an eighth.
    s.measure = LoadMeasure::Amplitude;
    EXPECT_NEAR(analyseFatigue(cycles, s).totals.damage, 1094e-12L / 8, 1e-25L);
}

TEST(DamageEquivalentLoad, DoesTheSpectrumsDamageInNeqCycles)
{
    // DEL_m is the one range whose N_eq cycles do on a slope-m curve the
    // damage that the whole spectrum does.
    std::mt19937_64 random(14);
    std::uniform_real_distribution<double> load(0.01, 500.0);
    std::uniform_int_distribution<int> count(1, 50);
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<FatigueCycle> cycles(1 + trial * 7);
        for (FatigueCycle& c : cycles) {
            c.lower = load(random);
            c.upper = c.lower + load(random);
            c.range = c.upper - c.lower;
            c.count = count(random) / 2.0;
        }
        const long double m = 1.0L + trial % 12 + (trial % 3) * 0.25L;
        FatigueSettings s;
        s.curve = SnCurveDefinition{};
        s.curve->m = m;
        s.curve->pointS = 100.0L;
        s.curve->pointN = 1.0e6L;
        s.delExponents = {m};
        s.equivalentCycles = 1.0e7L;
        const FatigueResult spectrum = analyseFatigue(cycles, s);
        const long double del = spectrum.totals.del.at(0).value;
        const SnCurve curve(*s.curve);
        EXPECT_NEAR(s.equivalentCycles * curve.damagePerCycle(del) / spectrum.totals.damage, 1.0L, 1e-15L)
            << "trial " << trial;
    }
}

TEST(DamageEquivalentLoad, HugeLoadsAndSteepSlopesDoNotOverflow)
{
    // 1e30^20 is 1e600, beyond double but not beyond the sums. Four cycles of
    // 1e30 over N_eq 1e7 give 1e30 (4e-7)^(1/20).
    FatigueSettings s;
    s.delExponents = {20.0L, 3.0L};
    const std::vector<FatigueCycle> cycles = {{1e30L, 1e30L, 0, 3}, {1e10L, 1e10L, 0, 1e6}, {1e30L, 2e30L, 1e30L, 1}};
    const FatigueResult result = analyseFatigue(cycles, s);
    EXPECT_NEAR(result.totals.del[0].value / (1e30L * std::pow(4e-7L, 0.05L)), 1.0L, 1e-17L);
    EXPECT_NEAR(result.totals.del[1].value / std::cbrt(4e90L / 1e7L + 1e36L / 1e7L), 1.0L, 1e-17L);
}

TEST(MinerDamage, ManySmallTermsAreNotLost)
{
    // D = 1 + 1e5 * 4e-20: each term is below half a unit in the last place
    // of 1, so plain long double addition would stay at 1.
    FatigueSettings s;
    s.curve = SnCurveDefinition{};
    s.curve->m = 1.0L;
    s.curve->logA = 0.0L;
    std::vector<FatigueCycle> cycles(100001, FatigueCycle{4e-20L, 4e-20L, 0, 1});
    cycles[0] = {1, 1, 0, 1};
    EXPECT_NEAR(analyseFatigue(cycles, s).totals.damage - 1.0L, 4e-15L, 1e-19L);
}

} // namespace
} // namespace tessivo::fatigue

namespace tessivo::fatigue {
namespace {

TEST(RainflowMatrix, CellsAndEdgesOfTheWorkedExample)
{
    // Cycles 6..0, 5..1, 4..2. By range (0 to 6 in two classes) and mean (all 3).
    const std::vector<FatigueCycle> cycles = {{6, 6, 0, 1}, {4, 5, 1, 1}, {2, 4, 2, 0.5}};
    const RainflowMatrix rangeMean = rainflowMatrix(cycles, MatrixKind::RangeMean, 2);
    EXPECT_EQ(rangeMean.rowEdges, (std::vector<long double>{0, 3, 6}));
    EXPECT_EQ(rangeMean.count(0, 0), 0.5L);
    EXPECT_EQ(rangeMean.count(1, 0), 2.0L);
    // Maximum and minimum on one axis from 0 to 6 in three classes: the
    // maxima 6, 5 and 4 in the top class (4 on its lower edge), the minima 0
    // and 1 in the first, 2 in the second.
    const RainflowMatrix fromTo = rainflowMatrix(cycles, MatrixKind::FromTo, 3);
    EXPECT_EQ(fromTo.columnEdges, (std::vector<long double>{0, 2, 4, 6}));
    EXPECT_EQ(fromTo.count(2, 0), 2.0L);
    EXPECT_EQ(fromTo.count(2, 1), 0.5L);
    long double total = 0;
    for (long double c : fromTo.counts)
        total += c;
    EXPECT_EQ(total, 2.5L);

    // Own edges: ranges [0, 3) [3, 5] and means [3, 3.5) [3.5, 4]; the last
    // edge belongs to the last class, and 6..0 (range 6) lies beyond.
    const RainflowMatrix own = rainflowMatrix(cycles, MatrixKind::RangeMean, 32, {{0, 3, 5}, {3, 3.5, 4}});
    EXPECT_EQ(own.columnEdges, (std::vector<long double>{3, 3.5, 4}));
    EXPECT_EQ(own.count(0, 0), 0.5L);
    EXPECT_EQ(own.count(1, 0), 1.0L);
    EXPECT_EQ(own.outside, 1.0);
    EXPECT_EQ(rainflowMatrix(cycles, MatrixKind::FromTo, 32, {{4, 6}, {}}).outside, 2.5);
}

} // namespace
} // namespace tessivo::fatigue
