#pragma once
// Numbers in fatigue messages and outputs, locale-free.

#include <string>

namespace tessivo::fatigue {

// The shortest text that reads back to v ("2.5", "1e+07"); "inf", "-inf", "nan" for those.
std::string fatigueNumberText(long double v);

// v with `digits` significant digits, general notation ("0.0123457", "1.5e+12").
std::string fatigueNumberText(long double v, int digits);

} // namespace tessivo::fatigue
