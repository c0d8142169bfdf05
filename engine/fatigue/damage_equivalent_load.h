#pragma once
// Damage-equivalent loads: DEL_m = (sum n_i S_i^m / N_eq)^(1/m), the single
// load whose N_eq cycles do the same damage as the spectrum on a curve of
// slope m. The sums are kept relative to the largest load so far, so that no
// power overflows or underflows whatever the loads and slopes.

#include "engine/fatigue/neumaier_sum.h"
#include "engine/fatigue/sn_curve.h"

#include <cstddef>
#include <vector>

namespace tessivo::fatigue {

struct DelValue {
    long double m = 0.0L;
    long double value = 0.0L;
};

class DelSum {
public:
    // Throws FatigueError when an exponent is not a finite positive number.
    explicit DelSum(std::vector<long double> exponents);

    // A cycle of load s (>= 0) counted `count` times.
    void add(long double s, long double count);
    // add() for n loads at once: one exponent at a time over all of them,
    // which keeps the powers' loops predictable and several sums in flight.
    void addAll(const long double* loads, const long double* counts, std::size_t n);

    // One value per exponent, in the order given. nEq must be positive.
    std::vector<DelValue> values(long double nEq) const;
    bool empty() const { return m_exponents.empty(); }

private:
    std::vector<long double> m_exponents;
    std::vector<Power> m_powers;
    std::vector<NeumaierSum> m_sums; // of n (s / m_largest)^m
    long double m_largest = 0.0L;
    long double m_invLargest = 0.0L;
};

// N_eq from a frequency and a duration (1 Hz over 600 s is 600); throws
// FatigueError naming a value that is not finite and positive.
long double equivalentCycles(long double frequency, long double duration);

} // namespace tessivo::fatigue
