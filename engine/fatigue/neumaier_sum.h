#pragma once
// Compensated summation (Neumaier's variant of Kahan's): adding millions of
// small terms to a large one loses nothing that long double can hold.

#include <cmath>

namespace tessivo::fatigue {

class NeumaierSum {
public:
    void add(long double term)
    {
        const long double t = m_sum + term;
        // The part of the smaller operand that the rounded sum dropped.
        m_compensation += std::fabs(m_sum) >= std::fabs(term) ? (m_sum - t) + term : (term - t) + m_sum;
        m_sum = t;
    }
    // Multiplies the sum so far by factor (for rescaled sums).
    void scale(long double factor)
    {
        m_sum *= factor;
        m_compensation *= factor;
    }
    long double value() const { return m_sum + m_compensation; }

private:
    long double m_sum = 0.0L;
    long double m_compensation = 0.0L;
};

} // namespace tessivo::fatigue
