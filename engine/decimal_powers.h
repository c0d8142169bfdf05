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
constexpr std::uint64_t powerOfTen(int n) { return detail::kPowersOfTen.p[n]; }
// 5^n as an integer, 0 <= n <= 27.
constexpr std::uint64_t powerOfFive(int n) { return detail::kPowersOfFive.p[n]; }

// 10^n as a long double, exact, 0 <= n <= kMaxExactPowerOfTen.
inline long double exactPowerOfTen(int n)
{
    // 10^19..10^27 exceed 64 bits; 5^n times 2^n is exact all the same.
    return static_cast<long double>(powerOfFive(n)) * static_cast<long double>(std::uint64_t{1} << n);
}

} // namespace tessivo
