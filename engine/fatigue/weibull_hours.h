#pragma once
// The hours a year of wind-speed bins from a Weibull distribution of the
// wind speed, F(v) = 1 - exp(-(v/A)^k): a bin of centre v and width W
// occurs H x (F(v + W/2) - F(v - W/2)) hours a year (F = 0 below 0 m/s),
// shared equally among the recordings that stand for it.

#include <optional>
#include <span>
#include <vector>

namespace tessivo::fatigue {

inline constexpr long double kHoursPerYear = 8766.0L; // 365.25 days

struct WeibullBins {
    long double shape = 0.0L;            // k
    long double scale = 0.0L;            // A, in the unit of the wind speeds
    std::optional<long double> binWidth; // else the spacing of the bins' centres
    long double hoursPerYear = kHoursPerYear;
};

// The hours a year of each row, in the order given: its bin's hours divided
// by the rows of the same centre. Without a bin width the distinct centres
// must lie evenly apart. Throws FatigueError naming a shape, scale, width or
// hours that is not a finite number above 0 (hours may be 0), a wind speed
// that is not a number of 0 or more, centres that are not evenly spaced or
// a single centre without a width.
std::vector<long double> weibullHours(std::span<const long double> windSpeeds, const WeibullBins& bins);

} // namespace tessivo::fatigue
