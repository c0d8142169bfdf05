#include "engine/counting/cycle_positions.h"

#include "engine/counting/rainflow_counting.h"
#include "engine/counting/reversal_extraction.h"

#include <vector>

namespace tessivo {
namespace {

struct Point {
    long double load;
    std::int64_t at;
};

long double loadOf(const Point& p)
{
    return p.load;
}

// The four-point rule over positioned reversals; `atOf` maps the extractor's
// position to a position in the combined sequence.
template <class PositionOf>
class PositionedCounter final : public ReversalPositionSink {
public:
    PositionedCounter(CycleListener& out, PositionOf atOf) : m_out(out), m_atOf(atOf) {}
    void reversal(std::int64_t position, long double load) override
    {
        m_stack.push_back({load, m_atOf(position)});
        closeFourPointCycles(m_stack, loadOf, [this](const Point& a, const Point& b) {
            m_out.cycle({a.load, b.load, a.at, b.at, false});
        });
    }
    std::vector<Point>& residue() { return m_stack; }

private:
    CycleListener& m_out;
    PositionOf m_atOf;
    std::vector<Point> m_stack;
};

void decomposeResidue(const std::vector<Point>& residue, long double filterSize, CycleListener& out)
{
    // The residue twice in a row, extracted and counted again, as the run does.
    const auto length = static_cast<std::int64_t>(residue.size());
    auto atOf = [&residue, length](std::int64_t i) { return residue[static_cast<std::size_t>(i % length)].at; };
    PositionedCounter<decltype(atOf)> counter(out, atOf);
    PositionedReversalExtractor extractor(filterSize, counter);
    for (int round = 0; round < 2; ++round)
        for (const Point& p : residue)
            extractor.put(p.load);
    extractor.finish();
}

void upwardResidue(const std::vector<Point>& residue, bool everyHalf, CycleListener& out)
{
    for (std::size_t j = 1; j < residue.size(); ++j) {
        const Point& a = residue[j - 1];
        const Point& b = residue[j];
        if (everyHalf)
            out.cycle({a.load, b.load, a.at, b.at, true});
        else if (b.load > a.load)
            out.cycle({a.load, b.load, a.at, b.at, false});
    }
}

} // namespace

void listCycles(ValueSource& sequence, std::int64_t length, const CycleListingParameters& parameters,
                CycleListener& out)
{
    auto same = [](std::int64_t i) { return i; };
    PositionedCounter<decltype(same)> counter(out, same);
    PositionedReversalExtractor extractor(parameters.filterSize, counter);
    long double block[512];
    for (std::int64_t taken = 0; taken < length;) {
        const std::size_t got =
            sequence.nextBlock(block, static_cast<std::size_t>(std::min<std::int64_t>(512, length - taken)));
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got; ++i)
            extractor.put(block[i]);
        taken += static_cast<std::int64_t>(got);
    }
    extractor.finish();
    if (parameters.decomposition) {
        if (!counter.residue().empty())
            decomposeResidue(counter.residue(), parameters.filterSize, out);
    } else {
        upwardResidue(counter.residue(), parameters.binsInEffect || parameters.halfCycles, out);
    }
}

} // namespace tessivo
