#include "engine/fatigue/fatigue_messages.h"

#include "engine/fatigue/fatigue_number.h"

namespace tessivo::fatigue {
namespace {

std::string measureName(LoadMeasure measure)
{
    return measure == LoadMeasure::Range ? "range" : "amplitude";
}

std::string cycleText(std::size_t row, const FatigueCycle& c)
{
    return "The cycle in row " + std::to_string(row) + " (from " + fatigueNumberText(c.lower) + " to "
           + fatigueNumberText(c.upper) + ")";
}

} // namespace

std::string kneeBeforePointMessage(long double kneeN, long double pointN)
{
    return "S-N curve: the knee Nknee = " + fatigueNumberText(kneeN) + " lies below the defining point N = "
           + fatigueNumberText(pointN) + "; the point would not be on the curve";
}

std::string cutoffBeforeMessage(long double cutoffN, const char* what, long double otherN)
{
    return "S-N curve: the cut-off Ncut = " + fatigueNumberText(cutoffN) + " lies below " + what + " = "
           + fatigueNumberText(otherN) + "; the curve would end before it";
}

std::string measureMismatchMessage(const std::string& preset, LoadMeasure definedOn, LoadMeasure asked)
{
    return "--sn-measure " + measureName(asked) + ": the curve " + preset + " is defined on stress "
           + measureName(definedOn) + "s; give --sn-measure " + measureName(definedOn);
}

std::string damageOverflowMessage(std::size_t row, long double load, long double exponent)
{
    const std::string cycle = row ? "the cycle in row " + std::to_string(row) + " (S = " + fatigueNumberText(load) + ")"
                                  : "the cycles of S = " + fatigueNumberText(load);
    return "The damage of " + cycle + " is beyond the range of numbers: the S-N curve's exponent m = "
           + fatigueNumberText(exponent) + " is too steep for this load";
}

std::string sumOverflowMessage(const std::string& what)
{
    return "The " + what + " is beyond the range of numbers";
}

std::string badCountMessage(std::size_t row, double count)
{
    return "The cycle in row " + std::to_string(row) + " has the count " + fatigueNumberText(count)
           + "; a count must be a finite number, 0 or more";
}

std::string badLoadsMessage(std::size_t row, const FatigueCycle& c)
{
    return "The cycle in row " + std::to_string(row) + " has loads that are not finite numbers (range "
           + fatigueNumberText(c.range) + ", upper " + fatigueNumberText(c.upper) + ", lower "
           + fatigueNumberText(c.lower) + ")";
}

std::string rangeMismatchMessage(std::size_t row, const FatigueCycle& c)
{
    return cycleText(row, c) + " has the range " + fatigueNumberText(c.range) + "; a range must be upper minus lower, "
           + fatigueNumberText(c.upper - c.lower);
}

std::string upperBelowLowerMessage(std::size_t row, const FatigueCycle& c)
{
    return cycleText(row, c) + " has its upper load below its lower load";
}

std::string reachesUltimateMessage(std::size_t row, const FatigueCycle& c, long double ultimate,
                                   const std::string& method)
{
    return "The cycle in row " + std::to_string(row) + " (from " + fatigueNumberText(c.lower) + " to "
           + fatigueNumberText(c.upper) + ", mean " + fatigueNumberText(meanOf(c))
           + ") reaches the ultimate strength Su = " + fatigueNumberText(ultimate) + " with its maximum; the " + method
           + " correction does not hold there";
}

} // namespace tessivo::fatigue
