#include "engine/fatigue/fatigue_number.h"

#include "engine/numbers/work_notation.h"

#include <charconv>
#include <cmath>

namespace tessivo::fatigue {
namespace {

const char* nonFinite(long double v)
{
    if (std::isnan(v))
        return "nan";
    return v > 0 ? "inf" : "-inf";
}

} // namespace

std::string fatigueNumberText(long double v)
{
    if (!std::isfinite(v))
        return nonFinite(v);
    char text[64];
    return std::string(text, formatShortest(v, text));
}

std::string fatigueNumberText(long double v, int digits)
{
    if (!std::isfinite(v))
        return nonFinite(v);
    char text[80];
    const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits);
    return std::string(text, result.ptr);
}

} // namespace tessivo::fatigue
