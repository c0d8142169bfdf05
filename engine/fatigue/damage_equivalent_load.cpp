#include "engine/fatigue/damage_equivalent_load.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/fatigue/sn_curve.h"

#include <algorithm>
#include <cmath>

namespace tessivo::fatigue {
namespace {

void requirePositive(long double v, const std::string& what)
{
    if (!std::isfinite(v) || v <= 0.0L)
        throw FatigueError(what + " must be a positive number, not " + fatigueNumberText(v));
}

} // namespace

DelSum::DelSum(std::vector<long double> exponents) : m_exponents(std::move(exponents)), m_sums(m_exponents.size())
{
    for (long double m : m_exponents) {
        requirePositive(m, "A damage-equivalent load's exponent m");
        m_powers.emplace_back(m);
    }
}

void DelSum::add(long double s, long double count)
{
    if (!(s > 0.0L) || count == 0.0L)
        return;
    if (s > m_largest) {
        for (std::size_t i = 0; i < m_sums.size() && m_largest > 0.0L; ++i)
            m_sums[i].scale(m_powers[i].of(m_largest / s));
        m_largest = s;
        m_invLargest = 1.0L / s;
    }
    const long double ratio = s == m_largest ? 1.0L : s * m_invLargest;
    for (std::size_t i = 0; i < m_sums.size(); ++i)
        m_sums[i].add(count * m_powers[i].of(ratio));
}

void DelSum::addAll(const long double* loads, const long double* counts, std::size_t n)
{
    if (m_sums.empty())
        return;
    long double top = m_largest;
    for (std::size_t k = 0; k < n; ++k)
        if (loads[k] > top && counts[k] != 0.0L)
            top = loads[k];
    if (top > m_largest) {
        for (std::size_t i = 0; i < m_sums.size() && m_largest > 0.0L; ++i)
            m_sums[i].scale(m_powers[i].of(m_largest / top));
        m_largest = top;
        m_invLargest = 1.0L / top;
    }
    // The terms of a block are powers of ratios up to 1 in double, added in
    // long double; the blocks' sums go into the compensated sums.
    constexpr std::size_t kBlock = Power::kPowerBlock;
    double ratios[kBlock];
    double weights[kBlock];
    double terms[kBlock];
    double scratch[kBlock];
    for (std::size_t from = 0; from < n; from += kBlock) {
        const std::size_t size = std::min(kBlock, n - from);
        std::size_t kept = 0;
        for (std::size_t k = from; k < from + size; ++k) {
            const long double s = loads[k];
            if (!(s > 0.0L) || counts[k] == 0.0L)
                continue;
            ratios[kept] = s == m_largest ? 1.0 : static_cast<double>(s * m_invLargest);
            weights[kept++] = static_cast<double>(counts[k]); // whole or half counts: exact
        }
        for (std::size_t i = 0; i < m_sums.size(); ++i) {
            std::copy(ratios, ratios + kept, terms);
            m_powers[i].ofAll(terms, scratch, kept);
            long double block = 0.0L;
            for (std::size_t k = 0; k < kept; ++k)
                block += static_cast<long double>(weights[k]) * terms[k];
            m_sums[i].add(block);
        }
    }
}

std::vector<DelValue> DelSum::values(long double nEq) const
{
    requirePositive(nEq, "The number of equivalent cycles N_eq");
    std::vector<DelValue> result;
    for (std::size_t i = 0; i < m_exponents.size(); ++i) {
        const long double m = m_exponents[i];
        const long double value = m_largest > 0.0L ? m_largest * std::pow(m_sums[i].value() / nEq, 1.0L / m) : 0.0L;
        result.push_back({m, value});
    }
    return result;
}

long double equivalentCycles(long double frequency, long double duration)
{
    requirePositive(frequency, "The frequency of the equivalent cycles");
    requirePositive(duration, "The duration");
    return frequency * duration;
}

} // namespace tessivo::fatigue
