#pragma once
// An S-N (Woehler) curve: the number of cycles N(S) a part survives at the
// constant load S, S being a range or an amplitude as the caller decides.
//
// Above the knee, log N = logA - m log S, given either by logA directly or by
// one point (S, N) on it: N = N_point (S_point / S)^m. Below the knee (at
// cycle numbers beyond N_knee) one of the knee rules applies. Beyond the
// cut-off cycle number, when one is given, a cycle does no damage at all.

#include "engine/fatigue/fatigue_cycle.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tessivo::fatigue {

enum class KneeRule {
    SameSlope,   // the slope m goes on (elementary Miner)
    NoDamage,    // nothing below the knee does damage (original Miner, endurance limit)
    Haibach,     // slope 2m - 1 below the knee
    SecondSlope, // slope m2 below the knee
};

// The curve as a user writes it down. Exactly one of logA and (pointS,
// pointN) gives the upper segment. The knee is at kneeN cycles; without
// kneeN it is at pointN, and a curve given by logA alone has none.
struct SnCurveDefinition {
    long double m = 0.0L;
    std::optional<long double> logA;
    std::optional<long double> pointS;
    std::optional<long double> pointN;
    std::optional<long double> kneeN;
    KneeRule knee = KneeRule::SameSlope;
    long double m2 = 0.0L; // for SecondSlope
    std::optional<long double> cutoffN;
    // What a published curve carries beside its shape: its name, the measure
    // it is written in (none: as the caller says), and the thickness
    // correction (t / tRef)^k of its code (none: the code gives none).
    std::string name;
    std::optional<LoadMeasure> measure;
    std::optional<long double> thicknessRef;
    std::optional<long double> thicknessExponent;
};

// x^m for one m used many times: whether m is whole is decided once.
class Power {
public:
    explicit Power(long double m = 1.0L);
    long double of(long double x) const
    {
        if (m_whole < 0)
            return powOther(x);
        long double result = 1.0L;
        for (unsigned e = static_cast<unsigned>(m_whole); e != 0; e >>= 1, x *= x) {
            if (e & 1U)
                result *= x;
        }
        return result;
    }
    long double exponent() const { return m_m; }
    // x[k] = x[k]^m for k < n (at most kPowerBlock), in double: for ratios
    // from 0 to 1, where double keeps every term to a few units in its last
    // place. `scratch` holds n values. The same steps for every x, so the
    // loops run on vectors.
    static constexpr std::size_t kPowerBlock = 256;
    void ofAll(double* x, double* scratch, std::size_t n) const;

private:
    long double powOther(long double x) const;
    long double m_m;
    int m_whole; // m when whole and up to 64, else -1
};

class SnCurve {
public:
    // Throws FatigueError naming the first bad value: m, m2, S, N, Nknee or
    // Ncut not a finite positive number, logA not finite, neither or both of
    // logA and (S, N), or S without N; and a curve that contradicts itself:
    // the knee or the cut-off below the defining point N, the cut-off below
    // the knee.
    explicit SnCurve(const SnCurveDefinition& definition);

    // Damage of one cycle at load s: 1 / N(s), 0 where the curve gives no
    // damage (s <= 0, below the cut-off, below the knee with NoDamage).
    // Exact powers for whole slopes; no overflow for s up to 1e30 and slopes
    // up to 20 (long double). Does not throw.
    long double damagePerCycle(long double s) const;
    // N(s): 1 / damagePerCycle(s), +infinity where there is no damage.
    long double allowedCycles(long double s) const;
    // The load at which the curve allows n cycles (inverse of allowedCycles on
    // its sloped parts); +infinity is never returned, n must be positive.
    long double loadAt(long double n) const;

    long double slope() const { return m_m; }
    long double slopeBelowKnee() const { return m_mBelow; } // 0 with NoDamage
    long double kneeLoad() const { return m_kneeS; }        // 0 without a knee
    long double kneeCycles() const { return m_kneeN; }      // 0 without a knee
    long double cutoffLoad() const { return m_cutS; }       // 0 without a cut-off
    const SnCurveDefinition& definition() const { return m_definition; }

private:
    SnCurveDefinition m_definition;
    long double m_m = 0.0L;
    long double m_refS = 1.0L; // a point on the upper segment
    long double m_refN = 1.0L;
    long double m_kneeS = 0.0L;
    long double m_kneeN = 0.0L;
    long double m_mBelow = 0.0L;
    long double m_cutS = 0.0L;
    // For the hot path: the slopes as powers and the points' reciprocals.
    Power m_upper;
    Power m_below;
    long double m_invRefS = 1.0L;
    long double m_invRefN = 1.0L;
    long double m_invKneeS = 0.0L;
    long double m_invKneeN = 0.0L;
};

// x^m: repeated squaring for whole m up to 64 (exact to rounding), powl otherwise.
long double powerOf(long double x, long double m);

// Inline: it runs once per cycle, millions of times.
inline long double SnCurve::damagePerCycle(long double s) const
{
    if (!(s > 0.0L) || s < m_cutS)
        return 0.0L;
    if (s >= m_kneeS || m_mBelow == m_m)
        return m_upper.of(s * m_invRefS) * m_invRefN;
    if (m_mBelow == 0.0L)
        return 0.0L;
    return m_below.of(s * m_invKneeS) * m_invKneeN;
}

} // namespace tessivo::fatigue
