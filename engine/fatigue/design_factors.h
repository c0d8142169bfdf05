#pragma once
// The factors of a fatigue check to a design code, as plain values:
//   loads to stresses   S = load x stressFactor x SCF (before the mean-stress
//                       correction, so Su and the DELs are in stresses);
//   on the curve        S x gammaFf x gammaMf x (t / tRef)^k / k_s: the
//                       partial factors on the loads and the resistance
//                       (EN 1993-1-9, 3 and Table 3.1), the thickness
//                       correction (DNV-RP-C203, 2.4.3; t below tRef counts
//                       as tRef) and the size factor of EN 1993-1-9 (k_s
//                       scales the detail category down);
//   on the damage       D x DFF, the design fatigue factor of DNV-RP-C203:
//                       the check passes while the utilisation D x DFF is at
//                       most 1.

#include "engine/fatigue/sn_curve.h"

#include <optional>
#include <string>

namespace tessivo::fatigue {

struct DesignSettings {
    long double stressFactor = 1.0L; // stress per unit of load
    long double scf = 1.0L;          // stress concentration factor
    long double gammaFf = 1.0L;
    long double gammaMf = 1.0L;
    long double dff = 1.0L;
    std::optional<long double> thickness;         // t; none: no thickness correction
    std::optional<long double> thicknessRef;      // overrides the curve's tRef
    std::optional<long double> thicknessExponent; // overrides the curve's k
    std::optional<long double> sizeFactor;        // k_s in (0, 1]
    // The codes' rule for non-welded and stress-relieved details: the part
    // of a range below zero counts this share (EN 1993-1-9, 7.2.1: 0.6).
    // Not with a mean-stress correction.
    std::optional<long double> compressiveShare;

    // Whether any factor of a code check is given (the output then shows the check).
    bool checkAsked() const;
};

// The factors resolved against a curve, each checked.
struct DesignFactors {
    long double stress = 1.0L;            // stressFactor x SCF, on the cycles' loads
    long double curve = 1.0L;             // gammaFf x gammaMf x thickness / k_s, on S before the curve
    long double thickness = 1.0L;         // (t / tRef)^k, 1 for t <= tRef
    long double thicknessRef = 0.0L;      // used, 0 without a thickness
    long double thicknessExponent = 0.0L; // used
};

// Throws FatigueError naming the first value that is not a finite positive
// number (k_s and the compressive share also at most 1, the exponent 0 or more), or a thickness
// without a reference or exponent from the curve or the settings.
DesignFactors resolveDesignFactors(const DesignSettings& settings, const SnCurveDefinition* curve);

struct DesignCheck {
    long double designDamage = 0.0L; // D x DFF
    long double utilisation = 0.0L;  // designDamage against the limit 1
    bool passes = true;
};

DesignCheck designCheck(long double damage, long double dff);

// The load S_eq whose nEq cycles do the damage D on the curve: the
// damage-equivalent load that follows the curve's slopes, knee and cut-off.
// 0 for D = 0; none where nEq cycles at any load would do more damage than
// D or none at all (beyond the cut-off, below an endurance limit).
std::optional<long double> curveEquivalentLoad(const SnCurve& curve, long double damage, long double nEq);

} // namespace tessivo::fatigue
