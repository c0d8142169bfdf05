#pragma once
// The damage of a design life from recordings that each stand for a share
// of it (MLife-style load calculations of wind turbines): recording i, of
// duration T_i seconds, occurs h_i hours a year, so over Y years it is
// repeated f_i = Y x h_i x 3600 / T_i times and
//   D_life   = sum f_i D_i
//   DEL_m    = (sum f_i sum_i n S^m / N_eq)^(1/m)
// with N_eq the lifetime's reference number of cycles: as given, or a
// frequency times the lifetime's seconds Y x sum h_i x 3600 (as
// --del-frequency with --duration defines it for one recording), or 1e7.

#include "engine/fatigue/damage_equivalent_load.h"
#include "engine/fatigue/design_factors.h"
#include "engine/fatigue/sn_curve.h"

#include <optional>
#include <span>
#include <vector>

namespace tessivo::fatigue {

// One recording's part: its own fatigue totals, counted once.
struct LifetimeShare {
    long double hoursPerYear = 0.0L;
    long double duration = 0.0L; // seconds the recording lasts
    long double damage = 0.0L;   // D of one pass (0 without a curve)
    // The damage-equivalent loads of one pass for N_eq = 1, (sum n S^m)^(1/m),
    // in the order of the exponents.
    std::vector<DelValue> unitDel;
};

struct LifetimeSettings {
    long double designLife = 0.0L; // years
    long double dff = 1.0L;
    std::optional<long double> equivalentCycles; // N_eq of the lifetime as given
    std::optional<long double> delFrequency;     // else N_eq = frequency x lifetime seconds
};

struct LifetimeTotals {
    long double designLife = 0.0L;
    long double seconds = 0.0L;          // Y x sum h_i x 3600
    long double equivalentCycles = 0.0L; // N_eq of the DELs
    long double damage = 0.0L;
    DesignCheck check;                   // D_life x DFF against 1
    std::vector<DelValue> del;           // lifetime DELs, in the order of the exponents
    std::optional<long double> curveDel; // with a curve asked for: the DEL on it
    bool curveDelAsked = false;
};

// The repetitions f_i of a share over the design life.
long double lifetimeRepetitions(const LifetimeShare& share, long double designLife);

// Throws FatigueError naming a design life, duration, hours per year or N_eq
// that is not a finite number above 0 (hours may be 0), or shares whose
// exponents differ. `curve` with `curveFactor` (the design factors on the
// curve) gives the DEL on the curve.
LifetimeTotals combineLifetime(const LifetimeSettings& settings, std::span<const LifetimeShare> shares,
                               const SnCurve* curve = nullptr, long double curveFactor = 1.0L);

} // namespace tessivo::fatigue
