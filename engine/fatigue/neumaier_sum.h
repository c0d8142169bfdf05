#pragma once
// Compensated summation (Neumaier's variant of Kahan's): adding millions of
// small terms to a large one loses nothing that long double can hold.

namespace tessivo::fatigue {

class NeumaierSum {
public:
    void add(long double term);
    // Multiplies the sum so far by factor (for rescaled sums).
    void scale(long double factor);
    long double value() const { return m_sum + m_compensation; }

private:
    long double m_sum = 0.0L;
    long double m_compensation = 0.0L;
};

} // namespace tessivo::fatigue
