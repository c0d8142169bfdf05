#include "engine/fatigue/neumaier_sum.h"

#include <cmath>

namespace tessivo::fatigue {

void NeumaierSum::add(long double term)
{
    const long double t = m_sum + term;
    // The part of the smaller operand that the rounded sum dropped.
    if (std::fabs(m_sum) >= std::fabs(term))
        m_compensation += (m_sum - t) + term;
    else
        m_compensation += (term - t) + m_sum;
    m_sum = t;
}

void NeumaierSum::scale(long double factor)
{
    m_sum *= factor;
    m_compensation *= factor;
}

} // namespace tessivo::fatigue
