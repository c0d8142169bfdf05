#pragma once
// The 80-bit x87 extended format of long double, for code that reads a
// value's bits: hashing, ordering, and storing values in binary files.

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tessivo {

static_assert(std::numeric_limits<long double>::is_iec559 && std::numeric_limits<long double>::digits == 64
                  && LDBL_MAX_EXP == 16384 && sizeof(long double) >= 10,
              "long double must be the x87 80-bit extended format (64-bit mantissa with explicit integer bit)");

// The ten significant bytes of an extended value: a 64-bit mantissa with the
// integer bit explicit, then the sign bit and 15 exponent bits.
struct ExtendedBits {
    std::uint64_t mantissa = 0;
    std::uint16_t signExponent = 0;

    bool negative() const { return (signExponent & 0x8000) != 0; }
    int biasedExponent() const { return signExponent & 0x7FFF; }
};

constexpr int kExtendedBias = 16383;
constexpr std::size_t kExtendedBytes = 10;

inline ExtendedBits extendedBits(long double v)
{
    ExtendedBits b;
    std::memcpy(&b.mantissa, &v, 8);
    std::memcpy(&b.signExponent, reinterpret_cast<const char*>(&v) + 8, 2);
    return b;
}

// Writes the ten significant bytes of v to out (the padding is not stored).
inline void storeExtended(long double v, char* out)
{
    std::memcpy(out, &v, kExtendedBytes);
}

// Reads a value stored by storeExtended.
inline long double loadExtended(const char* in)
{
    long double v = 0.0L;
    std::memcpy(&v, in, kExtendedBytes);
    return v;
}

} // namespace tessivo
