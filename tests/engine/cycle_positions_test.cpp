// Cycles with the positions where they happened, against a model that finds
// each reversal's position by searching the sequence for its load.
#include "engine/counting/cycle_positions.h"
#include "engine/files/memory_values.h"
#include "rainflow_model.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace tessivo {
namespace {

using Loads = std::vector<long double>;

struct Positioned {
    long double load;
    std::int64_t at;
};

// A reversal that is an input value is the first one after the previous
// reversal with its load (the filter's band keeps every value before it
// short of it); the mean of a flat sequence stands at position 0.
std::vector<Positioned> modelReversals(const Loads& loads, long double filter)
{
    std::vector<Positioned> out;
    std::int64_t from = 0;
    for (const long double r : test::model::reversals(loads, filter)) {
        std::int64_t at = from;
        while (at < static_cast<std::int64_t>(loads.size()) && loads[static_cast<std::size_t>(at)] != r)
            ++at;
        if (at == static_cast<std::int64_t>(loads.size()))
            at = 0; // the mean
        out.push_back({r, at});
        from = at + 1;
    }
    return out;
}

using Listed = std::tuple<long double, long double, std::int64_t, std::int64_t, bool>;

std::vector<Listed> modelCycles(const Loads& loads, const CycleListingParameters& p)
{
    std::vector<Listed> cycles;
    const auto fourPoint = [&cycles](const std::vector<Positioned>& reversals) {
        std::vector<Positioned> stack;
        for (const Positioned& r : reversals) {
            stack.push_back(r);
            while (stack.size() >= 4) {
                const auto k = stack.size();
                const long double s1 = stack[k - 4].load, s2 = stack[k - 3].load, s3 = stack[k - 2].load,
                                  s4 = stack[k - 1].load;
                if (!((s1 < s2 && s3 >= s1 && s4 >= s2) || (s1 > s2 && s3 <= s1 && s4 <= s2)))
                    break;
                cycles.emplace_back(s2, s3, stack[k - 3].at, stack[k - 2].at, false);
                stack.erase(stack.end() - 3, stack.end() - 1);
            }
        }
        return stack;
    };
    const std::vector<Positioned> residue = fourPoint(modelReversals(loads, p.filterSize));
    if (p.decomposition) {
        Loads doubled;
        for (int round = 0; round < 2; ++round)
            for (const Positioned& r : residue)
                doubled.push_back(r.load);
        std::vector<Positioned> again =
            doubled.empty() ? std::vector<Positioned>{} : modelReversals(doubled, p.filterSize);
        for (Positioned& r : again)
            r.at = residue[static_cast<std::size_t>(r.at) % residue.size()].at;
        fourPoint(again);
    } else {
        for (std::size_t j = 1; j < residue.size(); ++j)
            if (p.binsInEffect || residue[j].load > residue[j - 1].load)
                cycles.emplace_back(residue[j - 1].load, residue[j].load, residue[j - 1].at, residue[j].at,
                                    p.binsInEffect);
    }
    return cycles;
}

struct Collect final : CycleListener {
    std::vector<Listed> cycles;
    void cycle(const PositionedCycle& c) override { cycles.emplace_back(c.from, c.to, c.fromAt, c.toAt, c.half); }
};

TEST(CycleListing, PositionsAgreeWithTheModelForEveryResidueMethodAndFilter)
{
    std::mt19937_64 rng(1818);
    for (int round = 0; round < 400; ++round) {
        const auto n = std::uniform_int_distribution<int>(1, 200)(rng);
        Loads loads;
        long double v = 0.0L;
        for (int i = 0; i < n; ++i)
            loads.push_back(v += std::uniform_int_distribution<int>(-6, 6)(rng)); // steps of 0 make ties
        for (const long double filter : {0.0L, 2.5L, 7.0L})
            for (const bool decomposition : {true, false})
                for (const bool bins : {false, true}) {
                    const CycleListingParameters p{filter, decomposition, bins};
                    SCOPED_TRACE(testing::Message() << "round " << round << " filter " << static_cast<double>(filter)
                                                    << " decomposition " << decomposition << " bins " << bins);
                    VectorSource source(loads);
                    Collect listed;
                    listCycles(source, n, p, listed);
                    ASSERT_EQ(listed.cycles, modelCycles(loads, p));
                    for (const auto& [from, to, fromAt, toAt, half] : listed.cycles) {
                        ASSERT_GE(fromAt, 0);
                        ASSERT_LT(toAt, n);
                    }
                }
    }
}

TEST(CycleListing, RepeatedSequencePositionsCountThroughEveryRepetition)
{
    const Loads once{0, 5, 1, 4, 0};
    VectorSource source(once, 3);
    Collect listed;
    listCycles(source, 15, CycleListingParameters{}, listed);
    Loads joined;
    for (int r = 0; r < 3; ++r)
        joined.insert(joined.end(), once.begin(), once.end());
    ASSERT_EQ(listed.cycles, modelCycles(joined, CycleListingParameters{}));
    ASSERT_FALSE(listed.cycles.empty());
    EXPECT_GE(std::get<3>(listed.cycles.back()), 5); // beyond the first repetition
}

} // namespace
} // namespace tessivo
