// Seeded random sequences: properties that hold whatever the loads, and the
// engine against the plain model.

#include "engine/counting/rainflow_counting.h"
#include "rainflow_model.h"
#include "engine/counting/reversal_extraction.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace tessivo;
using namespace tessivo::test;

namespace {

using Loads = std::vector<long double>;

// Short sequences rich in ties and plateaus, or with 15-digit decimals.
Loads randomLoads(std::mt19937_64& rng)
{
    const int length = std::uniform_int_distribution<int>(1, 48)(rng);
    const int kind = std::uniform_int_distribution<int>(0, 2)(rng);
    Loads loads;
    long double walk = 0;
    for (int i = 0; i < length; ++i) {
        if (kind == 0) {
            walk += std::uniform_int_distribution<int>(-3, 3)(rng);
            loads.push_back(walk);
        } else if (kind == 1) {
            loads.push_back(std::uniform_int_distribution<int>(0, 4)(rng));
        } else {
            loads.push_back(roundToWorkPrecision(std::uniform_real_distribution<double>(-500.0, 500.0)(rng) / 7.0L));
        }
    }
    return loads;
}

long double randomFilter(std::mt19937_64& rng, const Loads& loads)
{
    const long double span =
        *std::max_element(loads.begin(), loads.end()) - *std::min_element(loads.begin(), loads.end());
    switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
    case 0:
        return 0.0L;
    case 1:
        return 1.0L;
    case 2:
        return span / 3;
    default:
        return std::nextafter(span, -1.0L);
    }
}

Loads extract(const Loads& loads, long double filter)
{
    VectorSource in(loads);
    VectorSink out;
    extractReversalsN(in, static_cast<std::int64_t>(loads.size()), filter, out);
    return out.values;
}

struct Recorder final : CycleSink {
    void fullCycle(long double a, long double b) override { cycles.emplace_back(a, b); }
    std::vector<std::pair<long double, long double>> cycles;
};

std::map<std::pair<long double, long double>, int> asMap(const std::vector<Entry>& entries)
{
    std::map<std::pair<long double, long double>, int> m;
    for (const Entry& e : entries)
        m[{e.upper, e.lower}] += e.count;
    return m;
}

} // namespace

TEST(RainflowRandom, ReversalsAlternateAndEveryOneIsCountedOrResidue)
{
    std::mt19937_64 rng(1);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        const Loads loads = randomLoads(rng);
        const long double filter = randomFilter(rng, loads);
        const Loads revs = extract(loads, filter);
        ASSERT_FALSE(revs.empty());
        for (std::size_t i = 1; i < revs.size(); ++i) {
            ASSERT_GT(std::fabs(revs[i] - revs[i - 1]), filter) << iteration;
            if (i >= 2) {
                ASSERT_NE(revs[i] > revs[i - 1], revs[i - 1] > revs[i - 2]) << iteration;
            }
        }

        Recorder recorder;
        FourPointCounter counter(recorder);
        for (const long double v : revs)
            counter.put(v);
        Loads accounted = counter.residue();
        for (const auto& [a, b] : recorder.cycles) {
            accounted.push_back(a);
            accounted.push_back(b);
        }
        Loads sortedRevs = revs;
        std::sort(sortedRevs.begin(), sortedRevs.end());
        std::sort(accounted.begin(), accounted.end());
        ASSERT_EQ(accounted, sortedRevs) << iteration;
    }
}

TEST(RainflowRandomSlow, AgreesWithTheModelAndWithItself)
{
    std::mt19937_64 rng(2);
    TempDir dir;
    for (int iteration = 0; iteration < 2000; ++iteration) {
        const Loads loads = randomLoads(rng);
        Parameters p;
        p.filter = randomFilter(rng, loads);
        p.bins = iteration % 2 == 1;
        p.decomposition = iteration % 4 < 2;
        p.halfCycles = iteration % 4 == 3;
        p.binCount = iteration % 3 == 0 ? 32 : 100;
        auto run = makeRun(loads, p);
        if (!(p.filter < run->HighestPeak - run->LowestTrough))
            continue; // the run control rejects it
        const Outcome memory = runInMemory(*run, loads);
        ASSERT_EQ(memory.entries, model::count(loads, p)) << iteration;
        ASSERT_EQ(runInMemory(*run, loads).entries, memory.entries) << iteration;
        if (iteration % 10 == 0) {
            ASSERT_EQ(runWithFiles(*run, dir, loads).entries, memory.entries) << iteration;
        }
    }
}

TEST(RainflowRandom, ResidueMethodsAgreeOnTheFirstPass)
{
    std::mt19937_64 rng(3);
    for (int iteration = 0; iteration < 1000; ++iteration) {
        const Loads loads = randomLoads(rng);
        const long double filter = randomFilter(rng, loads);
        auto run = makeRun(loads, {filter, false, true, 32});
        if (!(filter < run->HighestPeak - run->LowestTrough))
            continue;
        auto decomposed = asMap(runInMemory(*run, loads).entries);
        run->Decomposition = false;
        auto upward = asMap(runInMemory(*run, loads).entries);

        // Take away what each residue method added; the first pass remains.
        const auto [cycles, residue] = model::fourPoint(extract(loads, filter));
        Loads doubled = residue;
        doubled.insert(doubled.end(), residue.begin(), residue.end());
        for (const auto& [a, b] : model::fourPoint(extract(doubled, filter)).first)
            --decomposed[{std::max(a, b), std::min(a, b)}];
        for (std::size_t j = 1; j < residue.size(); ++j)
            if (residue[j] > residue[j - 1])
                --upward[{residue[j], residue[j - 1]}];
        std::erase_if(decomposed, [](const auto& kv) { return kv.second == 0; });
        std::erase_if(upward, [](const auto& kv) { return kv.second == 0; });
        ASSERT_EQ(decomposed, upward) << iteration;
        int firstPass = 0;
        for (const auto& [loadsPair, n] : upward) {
            ASSERT_GT(n, 0);
            firstPass += n;
        }
        ASSERT_EQ(firstPass, static_cast<int>(cycles.size())) << iteration;
    }
}

TEST(RainflowRandom, ResidueLongerThanTheOldFixedArrays)
{
    // Ranges that only grow, then only shrink: all 25001 points stay residue.
    Loads loads;
    for (int i = 1; i <= 12500; ++i)
        loads.push_back(i % 2 ? i : -i);
    for (int i = 12501; i >= 1; --i)
        loads.push_back(i % 2 ? i : -i);
    TempDir dir;
    for (const bool decomposition : {true, false}) {
        const Parameters p{0.0L, false, decomposition, 32};
        auto run = makeRun(loads, p);
        const Outcome files = runWithFiles(*run, dir, loads);
        EXPECT_EQ(files.entries, model::count(loads, p));
        EXPECT_EQ(runInMemory(*run, loads).entries, files.entries);
        EXPECT_EQ(workLines(dir.file(kRedRevFile)).size(), decomposition ? 0u : 2 * loads.size());
    }
}
