#include "engine/fatigue/sn_curve.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_messages.h"
#include "engine/fatigue/fatigue_number.h"

#include <cmath>
#include <limits>
#include <string>

namespace tessivo::fatigue {
namespace {

long double positive(const std::optional<long double>& v, const char* name)
{
    if (!v || !std::isfinite(*v) || *v <= 0.0L)
        throw FatigueError(std::string("S-N curve: ") + name + " must be a positive number"
                           + (v ? ", not " + fatigueNumberText(*v) : std::string()));
    return *v;
}

} // namespace

Power::Power(long double m) : m_m(m), m_whole(-1)
{
    if (m >= 0.0L && m <= 64.0L && m == std::floor(m))
        m_whole = static_cast<int>(m);
}

long double Power::powOther(long double x) const
{
    return std::pow(x, m_m);
}

void Power::ofAll(double* x, double* scratch, std::size_t n) const
{
    if (m_whole < 0) {
        const auto m = static_cast<double>(m_m);
        for (std::size_t k = 0; k < n; ++k)
            x[k] = std::pow(x[k], m);
        return;
    }
    double* result = scratch;
    for (std::size_t k = 0; k < n; ++k)
        result[k] = 1.0;
    for (unsigned e = static_cast<unsigned>(m_whole); e != 0; e >>= 1) {
        if (e & 1U)
            for (std::size_t k = 0; k < n; ++k)
                result[k] *= x[k];
        if (e > 1)
            for (std::size_t k = 0; k < n; ++k)
                x[k] *= x[k];
    }
    for (std::size_t k = 0; k < n; ++k)
        x[k] = result[k];
}

long double powerOf(long double x, long double m)
{
    return Power(m).of(x);
}

SnCurve::SnCurve(const SnCurveDefinition& d) : m_definition(d)
{
    m_m = positive(d.m, "m");
    if (d.logA && (d.pointS || d.pointN))
        throw FatigueError("S-N curve: give either logA or the point S, N, not both");
    if (d.logA) {
        if (!std::isfinite(*d.logA))
            throw FatigueError("S-N curve: logA must be a finite number");
        m_refS = 1.0L;
        m_refN = std::pow(10.0L, *d.logA);
        if (!(m_refN > 0.0L) || !std::isfinite(m_refN))
            throw FatigueError("S-N curve: logA out of range, " + fatigueNumberText(*d.logA));
    } else {
        if (!d.pointS && !d.pointN)
            throw FatigueError("S-N curve: give logA or a point S, N");
        m_refS = positive(d.pointS, "S");
        m_refN = positive(d.pointN, "N");
    }
    std::optional<long double> kneeN = d.kneeN ? d.kneeN : (d.logA ? std::nullopt : d.pointN);
    if (d.kneeN)
        positive(d.kneeN, "Nknee");
    if (d.kneeN && d.pointN && *d.kneeN < *d.pointN)
        throw FatigueError(kneeBeforePointMessage(*d.kneeN, *d.pointN));
    if (kneeN) {
        m_kneeN = *kneeN;
        m_kneeS = m_refS * std::pow(m_refN / m_kneeN, 1.0L / m_m);
    }
    switch (d.knee) {
    case KneeRule::SameSlope:
        m_mBelow = m_m;
        break;
    case KneeRule::NoDamage:
        m_mBelow = 0.0L;
        break;
    case KneeRule::Haibach:
        m_mBelow = 2.0L * m_m - 1.0L;
        break;
    case KneeRule::SecondSlope:
        m_mBelow = positive(d.m2, "m2");
        break;
    }
    if (d.knee != KneeRule::SameSlope && !kneeN)
        throw FatigueError("S-N curve: a knee rule needs the knee, Nknee");
    if (d.cutoffN) {
        const long double cutoffN = positive(d.cutoffN, "Ncut");
        if (d.pointN && cutoffN < *d.pointN)
            throw FatigueError(cutoffBeforeMessage(cutoffN, "the defining point N", *d.pointN));
        if (kneeN && cutoffN < *kneeN)
            throw FatigueError(cutoffBeforeMessage(cutoffN, "the knee Nknee", *kneeN));
        m_cutS = loadAt(cutoffN);
    }
    m_upper = Power(m_m);
    m_below = Power(m_mBelow);
    m_invRefS = 1.0L / m_refS;
    m_invRefN = 1.0L / m_refN;
    if (m_kneeS > 0.0L) {
        m_invKneeS = 1.0L / m_kneeS;
        m_invKneeN = 1.0L / m_kneeN;
    }
}

long double SnCurve::allowedCycles(long double s) const
{
    const long double d = damagePerCycle(s);
    return d > 0.0L ? 1.0L / d : std::numeric_limits<long double>::infinity();
}

long double SnCurve::loadAt(long double n) const
{
    if (m_kneeN == 0.0L || n <= m_kneeN || m_mBelow == m_m)
        return m_refS * std::pow(m_refN / n, 1.0L / m_m);
    if (m_mBelow == 0.0L)
        return m_kneeS; // the horizontal line of an endurance limit
    return m_kneeS * std::pow(m_kneeN / n, 1.0L / m_mBelow);
}

} // namespace tessivo::fatigue
