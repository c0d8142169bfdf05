#include "engine/fatigue/lifetime_damage.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/fatigue/neumaier_sum.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

long double positive(long double v, const std::string& what)
{
    if (!std::isfinite(v) || v <= 0.0L)
        throw FatigueError(what + " must be a positive number, not " + fatigueNumberText(v));
    return v;
}

// (sum f_i u_i^m / nEq)^(1/m), relative to the largest u_i so that no power
// overflows whatever the loads and exponents.
long double lifetimeDel(std::span<const LifetimeShare> shares, std::span<const long double> repetitions, std::size_t k,
                        long double nEq)
{
    const long double m = shares.front().unitDel[k].m;
    long double largest = 0.0L;
    for (const LifetimeShare& s : shares)
        largest = std::max(largest, s.unitDel[k].value);
    if (!(largest > 0.0L))
        return 0.0L;
    NeumaierSum sum;
    for (std::size_t i = 0; i < shares.size(); ++i)
        sum.add(repetitions[i] * std::pow(shares[i].unitDel[k].value / largest, m));
    return largest * std::pow(sum.value() / nEq, 1.0L / m);
}

} // namespace

long double lifetimeRepetitions(const LifetimeShare& share, long double designLife)
{
    return designLife * share.hoursPerYear * 3600.0L / share.duration;
}

LifetimeTotals combineLifetime(const LifetimeSettings& settings, std::span<const LifetimeShare> shares,
                               const SnCurve* curve, long double curveFactor)
{
    LifetimeTotals t;
    t.designLife = positive(settings.designLife, "The design life");
    positive(settings.dff, "The design fatigue factor (DFF)");
    std::vector<long double> repetitions;
    NeumaierSum damage;
    NeumaierSum hours;
    for (const LifetimeShare& s : shares) {
        positive(s.duration, "The duration of a recording");
        if (!std::isfinite(s.hoursPerYear) || s.hoursPerYear < 0.0L)
            throw FatigueError("The hours per year of a recording must be 0 or more, not "
                               + fatigueNumberText(s.hoursPerYear));
        if (s.unitDel.size() != shares.front().unitDel.size())
            throw FatigueError("The recordings of a lifetime need the same damage-equivalent exponents");
        repetitions.push_back(lifetimeRepetitions(s, t.designLife));
        damage.add(repetitions.back() * s.damage);
        hours.add(s.hoursPerYear);
    }
    t.seconds = t.designLife * hours.value() * 3600.0L;
    if (settings.equivalentCycles)
        t.equivalentCycles = positive(*settings.equivalentCycles, "The number of equivalent cycles N_eq");
    else if (settings.delFrequency)
        t.equivalentCycles = positive(*settings.delFrequency, "The frequency of the equivalent cycles")
                             * positive(t.seconds, "The lifetime's seconds (design life x hours per year)");
    else
        t.equivalentCycles = 1.0e7L;
    t.damage = damage.value();
    if (!std::isfinite(t.damage))
        throw FatigueError("The lifetime damage is beyond the range of numbers");
    t.check = designCheck(t.damage, settings.dff);
    if (!shares.empty()) {
        for (std::size_t k = 0; k < shares.front().unitDel.size(); ++k)
            t.del.push_back({shares.front().unitDel[k].m, lifetimeDel(shares, repetitions, k, t.equivalentCycles)});
    }
    if (curve) {
        t.curveDelAsked = true;
        if (const auto s = curveEquivalentLoad(*curve, t.damage, t.equivalentCycles))
            t.curveDel = *s / curveFactor;
    }
    return t;
}

} // namespace tessivo::fatigue
