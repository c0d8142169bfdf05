#pragma once
// The input of every fatigue computation: counted cycles as plain values,
// independent of how the count stored them. Counts are floating point so
// that a half cycle counts 0.5.

namespace tessivo::fatigue {

struct FatigueCycle {
    long double range = 0.0L; // upper - lower
    long double upper = 0.0L;
    long double lower = 0.0L;
    double count = 0.0;
};

// Which size of a cycle a curve or a damage-equivalent load is written in.
enum class LoadMeasure {
    Range,     // upper - lower (the default)
    Amplitude, // half the range
};

inline long double amplitudeOf(const FatigueCycle& c)
{
    return (c.upper - c.lower) / 2.0L;
}
inline long double meanOf(const FatigueCycle& c)
{
    return (c.upper + c.lower) / 2.0L;
}

} // namespace tessivo::fatigue
