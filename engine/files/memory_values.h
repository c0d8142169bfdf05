#pragma once
// Values in memory on the source/sink seam: for the stages of a run without
// work files and for tests.

#include "engine/files/value_stream.h"

#include <cstddef>
#include <vector>

namespace tessivo {

// Gives the values of a vector in order, `rounds` times over. The vector must
// outlive the source. Does not throw.
class VectorSource final : public ValueSource {
public:
    explicit VectorSource(const std::vector<long double>& values, int rounds = 1) : m_values(values), m_rounds(rounds)
    {
    }

    bool next(long double& value) override
    {
        if (m_index == m_values.size()) {
            if (m_values.empty() || ++m_round >= m_rounds)
                return false;
            m_index = 0;
        }
        value = m_values[m_index++];
        return true;
    }
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextBlockByValue(*this, out, max); }

private:
    const std::vector<long double>& m_values;
    int m_rounds;
    int m_round = 0;
    std::size_t m_index = 0;
};

// Collects every value put.
class VectorSink final : public ValueSink {
public:
    void put(long double value) override { values.push_back(value); }
    std::vector<long double> values;
};

} // namespace tessivo
