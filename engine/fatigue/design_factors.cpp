#include "engine/fatigue/design_factors.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <cmath>

namespace tessivo::fatigue {
namespace {

long double positive(long double v, const char* name)
{
    if (!std::isfinite(v) || v <= 0.0L)
        throw FatigueError(std::string(name) + " must be a positive number, not " + fatigueNumberText(v));
    return v;
}

} // namespace

bool DesignSettings::checkAsked() const
{
    return gammaFf != 1.0L || gammaMf != 1.0L || dff != 1.0L || thickness || sizeFactor;
}

DesignFactors resolveDesignFactors(const DesignSettings& s, const SnCurveDefinition* curve)
{
    DesignFactors f;
    f.stress = positive(s.stressFactor, "The stress factor") * positive(s.scf, "The stress concentration factor");
    f.curve = positive(s.gammaFf, "The partial factor gamma_Ff") * positive(s.gammaMf, "The partial factor gamma_Mf");
    positive(s.dff, "The design fatigue factor (DFF)");
    if (s.sizeFactor && !(positive(*s.sizeFactor, "The size factor k_s") <= 1.0L))
        throw FatigueError("The size factor k_s must be at most 1, not " + fatigueNumberText(*s.sizeFactor));
    if (s.sizeFactor)
        f.curve /= *s.sizeFactor;
    if (s.compressiveShare && !(positive(*s.compressiveShare, "The compressive share") <= 1.0L))
        throw FatigueError("The compressive share must be at most 1, not " + fatigueNumberText(*s.compressiveShare));
    if ((s.thicknessRef || s.thicknessExponent) && !s.thickness)
        throw FatigueError("The thickness reference and exponent need the thickness t");
    if (!s.thickness)
        return f;
    const long double t = positive(*s.thickness, "The thickness t");
    const auto ref = s.thicknessRef ? s.thicknessRef : (curve ? curve->thicknessRef : std::nullopt);
    const auto k = s.thicknessExponent ? s.thicknessExponent : (curve ? curve->thicknessExponent : std::nullopt);
    if (!ref || !k)
        throw FatigueError("The thickness t needs the reference thickness and the exponent: the curve "
                           + (curve && !curve->name.empty() ? curve->name + " " : std::string())
                           + "gives none, give them");
    f.thicknessRef = positive(*ref, "The reference thickness t_ref");
    f.thicknessExponent = *k;
    if (!std::isfinite(*k) || *k < 0.0L)
        throw FatigueError("The thickness exponent k must be 0 or more, not " + fatigueNumberText(*k));
    f.thickness = t > f.thicknessRef ? std::pow(t / f.thicknessRef, *k) : 1.0L;
    f.curve *= f.thickness;
    return f;
}

DesignCheck designCheck(long double damage, long double dff)
{
    DesignCheck c;
    c.designDamage = damage * dff;
    c.utilisation = c.designDamage;
    c.passes = c.utilisation <= 1.0L;
    return c;
}

std::optional<long double> curveEquivalentLoad(const SnCurve& curve, long double damage, long double nEq)
{
    if (!(damage > 0.0L))
        return 0.0L;
    const long double n = nEq / damage; // N(S_eq)
    const SnCurveDefinition& d = curve.definition();
    if (d.cutoffN && n > *d.cutoffN)
        return std::nullopt;
    if (curve.slopeBelowKnee() == 0.0L && curve.kneeCycles() > 0.0L && n > curve.kneeCycles())
        return std::nullopt;
    return curve.loadAt(n);
}

} // namespace tessivo::fatigue
