#pragma once
// The whole fatigue evaluation of a count: damage by Miner's rule on an S-N
// curve, life, and damage-equivalent loads, from one set of settings. Used by
// the command line and the desktop program alike.
//
// Conventions: loads are taken as the cycles give them (the count's loads as
// read and scaled; class edges when counted in load bins); S is the range
// unless the measure says amplitude; the mean-stress correction, when chosen,
// changes S for both the damage and the damage-equivalent loads.

#include "engine/fatigue/damage_equivalent_load.h"
#include "engine/fatigue/design_factors.h"
#include "engine/fatigue/fatigue_cycle.h"
#include "engine/fatigue/mean_stress.h"
#include "engine/fatigue/miner_damage.h"
#include "engine/fatigue/sn_curve.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace tessivo::fatigue {

inline constexpr long double kDefaultEquivalentCycles = 1.0e7L;

struct FatigueSettings {
    std::optional<SnCurveDefinition> curve; // none: no damage, only the loads
    LoadMeasure measure = LoadMeasure::Range;
    MeanStressMethod meanStress = MeanStressMethod::None;
    MaterialValues material;
    std::vector<long double> delExponents; // none: no damage-equivalent loads
    long double equivalentCycles = kDefaultEquivalentCycles;
    std::optional<long double> duration; // seconds that the counted sequence lasts
    DesignSettings design;               // stresses from loads, partial factors, thickness, DFF
    bool delOnCurve = false;             // the equivalent load on the curve as well (needs a curve)
};

struct FatigueRow {
    FatigueCycle cycle;
    long double load = 0.0L;    // S: the stress range or amplitude (after the mean-stress correction)
    long double allowed = 0.0L; // N of S times the curve's factors; +infinity where the curve does no damage
    long double damage = 0.0L;  // count / N(S)
};

struct FatigueTotals {
    long double damage = 0.0L;
    long double life = 0.0L;              // repetitions of the counted sequence; +infinity for D = 0
    std::optional<long double> lifeHours; // with a duration
    long double cycles = 0.0L;
    std::vector<DelValue> del;
    std::optional<DesignCheck> check;    // with a curve
    std::optional<long double> curveDel; // delOnCurve: S_eq in stresses; none where no load does D
    bool curveDelAsked = false;
};

class FatigueAnalysis {
public:
    // Checks every setting; throws FatigueError naming the first bad one,
    // also a curve of a code asked with the other measure than its own.
    explicit FatigueAnalysis(const FatigueSettings& settings);

    // Evaluates the next cycle (rows are numbered from 1 in the order given)
    // and adds it to the totals. Throws FatigueError naming a cycle that no
    // count gives (plausibleCycle), a cycle beyond the material's limit or
    // one whose damage is beyond the range of numbers.
    FatigueRow add(const FatigueCycle& cycle);
    // add() for the totals alone, without the row, for the cycles of a count
    // (tableCycles, fatigueCycleOf): their ranges are upper minus lower by
    // construction, so only the count is checked, which keeps this path as
    // fast as the sums. Cycles from elsewhere go through add().
    void accumulate(const FatigueCycle& cycle);
    // Throws FatigueError when a cycle's damage or a sum is beyond the range of numbers.
    FatigueTotals totals() const;

    bool hasCurve() const { return m_curve.has_value(); }
    const std::optional<SnCurve>& curve() const { return m_curve; }
    const FatigueSettings& settings() const { return m_settings; }
    const DesignFactors& factors() const { return m_factors; }

private:
    // Cycles of one load (the rows of one range, without a mean-stress
    // correction, follow each other in report order) are summed as one.
    void addLoad(long double load, double count);
    // Loads and their counts wait in a batch, evaluated together (drain).
    struct Batch {
        static constexpr std::size_t kSize = 512;
        std::vector<long double> loads;
        std::vector<long double> counts;
    };
    void drain(Batch& batch, MinerSum& miner, DelSum& del) const;
    FatigueCycle stressOf(const FatigueCycle& cycle) const;
    // Out of line, so that the common path of accumulate() stays small.
    [[gnu::noinline]] long double scaledLoad(const FatigueCycle& cycle) const;

    FatigueSettings m_settings;
    std::optional<SnCurve> m_curve;
    DesignFactors m_factors;
    bool m_scaled = false; // a stress factor or SCF other than 1
    LoadModel m_loads;
    MinerSum m_miner;
    DelSum m_del;
    std::size_t m_rows = 0;
    long double m_pendingLoad = -1.0L;
    long double m_pendingCount = 0.0L;
    Batch m_batch;
};

struct FatigueResult {
    FatigueTotals totals;
    std::vector<FatigueRow> rows; // one per cycle, in the order given
};

// All cycles at once, keeping the rows.
FatigueResult analyseFatigue(std::span<const FatigueCycle> cycles, const FatigueSettings& settings);

} // namespace tessivo::fatigue
