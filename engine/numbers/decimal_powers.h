#pragma once
// Powers of ten and five for exact decimal conversions. Every entry is exact:
// 10^19 and 5^27 fit in 64 bits, and long double holds 10^n exactly up to
// n = 27 (5^27 < 2^64).

#include <cstdint>

namespace tessivo {

constexpr int kMaxExactPowerOfTen = 27;

namespace detail {
template <std::uint64_t Base, int Count>
struct PowerTable {
    std::uint64_t p[Count];
    constexpr PowerTable() : p()
    {
        p[0] = 1;
        for (int i = 1; i < Count; ++i)
            p[i] = p[i - 1] * Base;
    }
};
inline constexpr PowerTable<10, 20> kPowersOfTen;
inline constexpr PowerTable<5, 28> kPowersOfFive;
} // namespace detail

// 10^n as an integer, 0 <= n <= 19.
constexpr std::uint64_t powerOfTen(int n)
{
    return detail::kPowersOfTen.p[n];
}
// 5^n as an integer, 0 <= n <= 27.
constexpr std::uint64_t powerOfFive(int n)
{
    return detail::kPowersOfFive.p[n];
}

namespace detail {
struct ExactPowers {
    long double p[kMaxExactPowerOfTen + 1];
    constexpr ExactPowers() : p()
    {
        // 10^19..10^27 exceed 64 bits; 5^n times 2^n is exact all the same.
        for (int n = 0; n <= kMaxExactPowerOfTen; ++n)
            p[n] = static_cast<long double>(PowerTable<5, 28>().p[n]) * static_cast<long double>(std::uint64_t{1} << n);
    }
};
inline constexpr ExactPowers kExactPowersOfTen;
} // namespace detail

// 10^n as a long double, exact, 0 <= n <= kMaxExactPowerOfTen.
inline long double exactPowerOfTen(int n)
{
    return detail::kExactPowersOfTen.p[n];
}

// The number of decimal digits of m > 0.
inline int decimalDigitCount(std::uint64_t m)
{
    const int bits = 64 - __builtin_clzll(m | 1);
    const int guess = (bits * 1233) >> 12; // floor(bits * log10(2)) <= 19
    return guess + (m < powerOfTen(guess) ? 0 : 1);
}

} // namespace tessivo
