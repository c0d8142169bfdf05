#include "engine/numbers/exact_decimal.h"
#include "engine/numbers/thread_scratch.h"

#include <bit>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessivo {
namespace {

// An unsigned integer as 32-bit limbs, least significant first, no leading zero limb.
using Big = std::vector<std::uint32_t>;

void trim(Big& a)
{
    while (!a.empty() && a.back() == 0)
        a.pop_back();
}

void multiplyAdd(Big& a, std::uint32_t factor, std::uint32_t add)
{
    std::uint64_t carry = add;
    for (std::uint32_t& limb : a) {
        const std::uint64_t t = static_cast<std::uint64_t>(limb) * factor + carry;
        limb = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    if (carry != 0)
        a.push_back(static_cast<std::uint32_t>(carry));
}

Big product(const Big& a, const Big& b)
{
    Big out(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const std::uint64_t t = static_cast<std::uint64_t>(a[i]) * b[j] + out[i + j] + carry;
            out[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        out[i + b.size()] = static_cast<std::uint32_t>(carry);
    }
    trim(out);
    return out;
}

// 5^k: the other factor of 10^k is a power of two, left to the binary
// exponent. Powers 5^(256 j) are kept, so that a long exponent costs one
// product rather than hundreds of passes.
void multiplyByPowerOfFive(Big& a, std::int64_t k)
{
    constexpr std::int64_t kStep = 256;
    std::vector<Big>& steps = threadScratch<std::vector<Big>>();
    if (steps.empty())
        steps.push_back(Big{1});
    const auto j = static_cast<std::size_t>(k / kStep);
    while (steps.size() <= j) {
        Big next = steps.back();
        for (int i = 0; i < kStep / 8; ++i)
            multiplyAdd(next, 390'625u, 0); // 5^8
        steps.push_back(std::move(next));
    }
    if (j > 0)
        a = product(a, steps[j]);
    for (k %= kStep; k >= 13; k -= 13)
        multiplyAdd(a, 1'220'703'125u, 0); // 5^13, the largest that fits 32 bits
    std::uint32_t rest = 1;
    for (; k > 0; --k)
        rest *= 5;
    multiplyAdd(a, rest, 0);
}

Big shifted(const Big& a, std::int64_t bits)
{
    if (a.empty() || bits <= 0)
        return a;
    const auto limbs = static_cast<std::size_t>(bits / 32);
    const unsigned rest = static_cast<unsigned>(bits % 32);
    Big out(limbs, 0);
    out.reserve(limbs + a.size() + 1);
    std::uint32_t carry = 0;
    for (std::uint32_t limb : a) {
        out.push_back(rest == 0 ? limb : (limb << rest) | carry);
        carry = rest == 0 ? 0 : limb >> (32 - rest);
    }
    if (carry != 0)
        out.push_back(carry);
    return out;
}

int compare(const Big& a, const Big& b);
void subtract(Big& a, const Big& b);
std::int64_t bitLength(const Big& a);

Big shiftedRight(const Big& a, std::int64_t bits)
{
    const auto limbs = static_cast<std::size_t>(bits / 32);
    if (limbs >= a.size())
        return {};
    const unsigned rest = static_cast<unsigned>(bits % 32);
    Big out(a.begin() + static_cast<std::ptrdiff_t>(limbs), a.end());
    if (rest != 0) {
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = (out[i] >> rest) | (i + 1 < out.size() ? out[i + 1] << (32 - rest) : 0);
        trim(out);
    }
    return out;
}

unsigned __int128 low128(const Big& a)
{
    unsigned __int128 v = 0;
    for (std::size_t i = std::min<std::size_t>(a.size(), 4); i-- > 0;)
        v = (v << 32) | a[i];
    return v;
}

Big times(const Big& a, std::uint64_t factor)
{
    Big out;
    out.reserve(a.size() + 3);
    unsigned __int128 carry = 0;
    for (std::uint32_t limb : a) {
        carry += static_cast<unsigned __int128>(limb) * factor;
        out.push_back(static_cast<std::uint32_t>(carry));
        carry >>= 32;
    }
    for (; carry != 0; carry >>= 32)
        out.push_back(static_cast<std::uint32_t>(carry));
    trim(out);
    return out;
}

// floor(a / b) when it is below 2^64; a becomes the remainder. The top 128
// bits of a over the top 64 of b overshoot by at most two.
std::uint64_t divide(Big& a, const Big& b)
{
    const std::int64_t k = std::max<std::int64_t>(bitLength(b) - 64, 0);
    const unsigned __int128 estimate = low128(shiftedRight(a, k)) / low128(shiftedRight(b, k));
    std::uint64_t q = estimate > ~std::uint64_t{0} ? ~std::uint64_t{0} : static_cast<std::uint64_t>(estimate);
    Big product = times(b, q);
    while (compare(product, a) > 0) {
        --q;
        subtract(product, b);
    }
    subtract(a, product);
    return q;
}

std::int64_t bitLength(const Big& a)
{
    if (a.empty())
        return 0;
    return static_cast<std::int64_t>(a.size() - 1) * 32 + (32 - std::countl_zero(a.back()));
}

int compare(const Big& a, const Big& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

void subtract(Big& a, const Big& b) // a >= b
{
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::int64_t t = static_cast<std::int64_t>(a[i]) - borrow - (i < b.size() ? b[i] : 0);
        borrow = t < 0;
        a[i] = static_cast<std::uint32_t>(t + (borrow << 32));
    }
    trim(a);
}

Big fromDigits(std::string_view digits)
{
    Big a;
    for (std::size_t at = 0; at < digits.size(); at += 9) {
        const std::size_t n = std::min<std::size_t>(9, digits.size() - at);
        std::uint32_t chunk = 0, scale = 1;
        for (std::size_t i = 0; i < n; ++i) {
            chunk = chunk * 10 + static_cast<std::uint32_t>(digits[at + i] - '0');
            scale *= 10;
        }
        multiplyAdd(a, scale, chunk);
    }
    trim(a);
    return a;
}

// The smallest subnormal is 2^-16445; normal numbers keep 64 bits.
constexpr std::int64_t kSubnormalScale = 16445;
constexpr std::int64_t kMaxBinaryExponent = 16383;

} // namespace

bool exactDecimalToExtended(std::string_view digits, std::int64_t exponent, long double& value)
{
    // value = N / M x 2^scale exactly (10^scale split into 5^scale and 2^scale).
    const std::int64_t scale = exponent - static_cast<std::int64_t>(digits.size());
    Big n = fromDigits(digits);
    if (n.empty()) {
        value = 0.0L;
        return true;
    }
    Big m{1};
    multiplyByPowerOfFive(scale >= 0 ? n : m, scale >= 0 ? scale : -scale);

    // 2^e <= N/M < 2^(e+1), then 2^(e+scale) <= value.
    std::int64_t e = bitLength(n) - bitLength(m);
    if (compare(shifted(n, -e), shifted(m, e)) < 0)
        --e;
    e += scale;
    if (e > kMaxBinaryExponent)
        return false;

    // q = floor(value x 2^s) has 64 bits for a normal result, fewer below.
    const std::int64_t s = std::min<std::int64_t>(63 - e, kSubnormalScale);
    Big rest = shifted(n, s + scale);
    const Big divisor = shifted(m, -(s + scale));
    const std::uint64_t q = divide(rest, divisor);
    const int half = compare(shifted(rest, 1), divisor);
    const bool up = half > 0 || (half == 0 && (q & 1) != 0);
    if (up && q == ~std::uint64_t{0})
        value = std::ldexp(1.0L, static_cast<int>(64 - s));
    else
        value = std::ldexp(static_cast<long double>(q + (up ? 1 : 0)), static_cast<int>(-s));
    return !std::isinf(value);
}

} // namespace tessivo
