#include "engine/fatigue/weibull_hours.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace tessivo::fatigue {
namespace {

void requirePositive(long double v, const std::string& what)
{
    if (!std::isfinite(v) || v <= 0.0L)
        throw FatigueError(what + " must be a positive number, not " + fatigueNumberText(v));
}

// The spacing of the sorted distinct centres, equal to a part in 1e9 (the
// centres are decimals, whose differences are rarely exact in binary).
long double evenSpacing(const std::vector<long double>& centres)
{
    if (centres.size() < 2)
        throw FatigueError("One wind-speed bin has no spacing to take its width from: give the bin width");
    const long double spacing = centres[1] - centres[0];
    for (std::size_t i = 2; i < centres.size(); ++i) {
        if (std::fabs((centres[i] - centres[i - 1]) - spacing) > 1e-9L * spacing)
            throw FatigueError("The wind-speed bins are not evenly spaced (" + fatigueNumberText(centres[i - 1])
                               + " to " + fatigueNumberText(centres[i]) + " after a step of "
                               + fatigueNumberText(spacing) + "): give the bin width");
    }
    return spacing;
}

} // namespace

std::vector<long double> weibullHours(std::span<const long double> windSpeeds, const WeibullBins& bins)
{
    requirePositive(bins.shape, "The Weibull shape k");
    requirePositive(bins.scale, "The Weibull scale A");
    if (!std::isfinite(bins.hoursPerYear) || bins.hoursPerYear < 0.0L)
        throw FatigueError("The hours per year must be 0 or more, not " + fatigueNumberText(bins.hoursPerYear));
    std::map<long double, int> rowsOfBin;
    for (long double v : windSpeeds) {
        if (!std::isfinite(v) || v < 0.0L)
            throw FatigueError("A wind speed must be a number of 0 or more, not " + fatigueNumberText(v));
        ++rowsOfBin[v];
    }
    long double width = 0.0L;
    if (bins.binWidth) {
        requirePositive(*bins.binWidth, "The bin width");
        width = *bins.binWidth;
    } else if (!windSpeeds.empty()) {
        std::vector<long double> centres;
        for (const auto& [v, rows] : rowsOfBin)
            centres.push_back(v);
        width = evenSpacing(centres);
    }
    const auto below = [&bins](long double v) {
        return v <= 0.0L ? 0.0L : -std::expm1(-std::pow(v / bins.scale, bins.shape));
    };
    std::vector<long double> hours;
    for (long double v : windSpeeds) {
        const long double share = below(v + width / 2.0L) - below(v - width / 2.0L);
        hours.push_back(bins.hoursPerYear * share / static_cast<long double>(rowsOfBin[v]));
    }
    return hours;
}

} // namespace tessivo::fatigue
