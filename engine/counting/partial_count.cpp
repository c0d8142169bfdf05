#include "engine/counting/partial_count.h"

#include "engine/counting/load_classes.h"
#include "engine/counting/partial_count_state.h"
#include "engine/record/run_messages.h"

#include <algorithm>
#include <sstream>

namespace tessivo {

PartialCount::State::State(const CountParameters& p, std::uint64_t piece)
    : params(p)
    , first(piece)
    , last(piece)
    , anchored(piece == 1)
    , keepRaw(p.store == CycleStore::Exact && !p.unlimited && !p.useLoadBins)
    , run(makeRun(p))
    , tally(run ? *run : unusedRun(), p.store == CycleStore::Bins, table, result)
    , counter(tally)
    , gate(*this)
    , extractor(p.filter, gate)
{
}

TRainflowRun& PartialCount::State::unusedRun()
{
    static TRainflowRun run;
    return run;
}

std::unique_ptr<TRainflowRun> PartialCount::State::makeRun(const CountParameters& p)
{
    // Without classes the tally never touches the run record: spare a piece
    // its quarter of a megabyte.
    if (p.store != CycleStore::Bins)
        return nullptr;
    auto run = std::make_unique<TRainflowRun>();
    run->BinCount = p.binCount;
    run->BinEdges = p.binEdges;
    if (p.store == CycleStore::Bins) {
        run->LowestTrough = p.binLowest;
        run->HighestPeak = p.binHighest;
    }
    return run;
}

void PartialCount::State::Gate::put(long double v)
{
    ++s.emitted;
    if (s.anchored || s.converged)
        s.counter.put(v);
    else if (s.emitted >= kHeadReversals)
        s.converged = true; // the state no longer depends on what came before
}

// Loads equal to the one before, and the inner loads of a monotone run, change
// neither a reversal nor the state of the extraction, whatever state it is in.
void PartialCount::State::recordHead(long double v)
{
    const std::size_t n = head.size();
    if (n > 0 && head[n - 1] == v)
        return;
    if (n > 1 && ((head[n - 2] < head[n - 1] && head[n - 1] < v) || (head[n - 2] > head[n - 1] && head[n - 1] > v))) {
        head[n - 1] = v;
        return;
    }
    head.push_back(v);
}

void PartialCount::State::take(long double v)
{
    if (!anchored && !converged)
        recordHead(v);
    extractor.put(v);
}

void PartialCount::State::feed(const long double* values, std::size_t n)
{
    // As the sequence totals find them: only a strictly larger (smaller) load replaces one before.
    long double high = highest, low = lowest;
    for (std::size_t i = 0; i < n; ++i) {
        const long double v = values[i];
        if (length == 0 || v > high)
            high = v;
        if (length == 0 || v < low)
            low = v;
        ++length;
    }
    highest = high;
    lowest = low;
    std::size_t i = 0;
    for (; i < n && !anchored && !converged; ++i)
        take(values[i]);
    extractor.put(values + i, n - i);
    if (keepRaw) {
        // The loads are kept while the fixed table may still apply (see loadBinsRule).
        if (inLoadBins(loadBinsRule(params.useLoadBins, params.unlimited, length))) {
            keepRaw = false;
            std::vector<long double>().swap(raw);
        } else {
            raw.insert(raw.end(), values, values + n);
        }
    }
}

void PartialCount::State::addCyclesOf(State& next)
{
    if (params.store == CycleStore::Bins) {
        for (std::int32_t r = 1; r <= params.binCount; ++r)
            for (std::int32_t c = 1; c <= params.binCount; ++c)
                run->FromToMatrix[r][c] = saturatedSum(run->FromToMatrix[r][c], next.run->FromToMatrix[r][c]);
        return;
    }
    if (JoinSpilledCycles(table, next.table))
        return;
    forEachCycle(next.table, true, [this](const TCycle& c) { table.AddCycles(c.Upper, c.Lower, c.Count, result); });
}

std::int32_t PartialCount::State::saturatedSum(std::int32_t a, std::int32_t b)
{
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return sum > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(sum);
}

namespace {

std::string piecesText(std::uint64_t first, std::uint64_t last)
{
    constexpr std::uint64_t none = PartialCount::kUnnumbered;
    if (first == none && last == none)
        return "unnumbered pieces";
    if (first == none)
        return "the pieces up to piece " + std::to_string(last);
    if (last == none)
        return "the pieces from piece " + std::to_string(first);
    return first == last ? "piece " + std::to_string(first)
                         : "pieces " + std::to_string(first) + " to " + std::to_string(last);
}

// The first parameter in which a and b differ, in words; empty when none does.
std::string parameterDifference(const CountParameters& a, const CountParameters& b)
{
    if (a.filter != b.filter)
        return "filter size";
    if (a.residue != b.residue)
        return "residue handling";
    if (a.useLoadBins != b.useLoadBins || a.unlimited != b.unlimited)
        return "load bins or limits";
    if (a.binCount != b.binCount || a.store != b.store || a.binLowest != b.binLowest || a.binHighest != b.binHighest
        || a.binEdges != b.binEdges)
        return "load classes";
    return {};
}

} // namespace

PartialCount::PartialCount(const CountParameters& parameters, std::uint64_t piece)
{
    if (parameters.binCount < 1 || parameters.binCount > MatrixSize)
        throw std::invalid_argument(kBinCountOutOfRangeMessage);
    if (!(parameters.filter >= 0))
        throw std::invalid_argument("The filter size must not be negative");
    if (parameters.store == CycleStore::Bins && !(parameters.binHighest > parameters.binLowest))
        throw std::invalid_argument("Load classes need a highest load above the lowest");
    if (!parameters.binEdges.empty()) {
        if (const auto problem = binEdgesProblem(parameters.binEdges))
            throw std::invalid_argument(*problem);
        if (parameters.store != CycleStore::Bins || !parameters.useLoadBins
            || parameters.binCount + 1 != static_cast<std::int32_t>(parameters.binEdges.size())
            || parameters.binLowest != parameters.binEdges.front()
            || parameters.binHighest != parameters.binEdges.back())
            throw std::invalid_argument("Given class edges need load bins counted into them from the start");
    }
    m = std::make_unique<State>(parameters, piece);
}

PartialCount::PartialCount(std::unique_ptr<State> state) : m(std::move(state)) {}
PartialCount::~PartialCount() = default;
PartialCount::PartialCount(PartialCount&&) noexcept = default;
PartialCount& PartialCount::operator=(PartialCount&&) noexcept = default;

const CountParameters& PartialCount::parameters() const
{
    return m->params;
}
std::uint64_t PartialCount::firstPiece() const
{
    return m->first;
}
std::uint64_t PartialCount::lastPiece() const
{
    return m->last;
}
std::int64_t PartialCount::length() const
{
    return m->length;
}
long double PartialCount::highest() const
{
    return m->highest;
}
long double PartialCount::lowest() const
{
    return m->lowest;
}

void PartialCount::setExtremes(long double highest, long double lowest)
{
    if (m->length == 0)
        return;
    m->highest = highest;
    m->lowest = lowest;
}

void PartialCount::feed(const long double* values, std::size_t n)
{
    m->feed(values, n);
}

void PartialCount::append(PartialCount&& next)
{
    State& a = *m;
    State& b = *next.m;
    if (const std::string what = parameterDifference(a.params, b.params); !what.empty())
        throw PartialCountError("The partial counts differ in their " + what + ": " + piecesText(a.first, a.last)
                                + " and " + piecesText(b.first, b.last) + " cannot be merged");
    // Piece 1 was counted as the start of the sequence: nothing comes before it.
    const std::uint64_t aLatest = a.last != kUnnumbered ? a.last : a.first; // the latest number known
    if (b.anchored || (b.first != kUnnumbered && aLatest != kUnnumbered && b.first <= aLatest))
        throw PartialCountError("Partial counts out of order: " + piecesText(b.first, b.last) + " cannot follow "
                                + piecesText(a.first, a.last));
    if (b.first != kUnnumbered && a.last != kUnnumbered && b.first > a.last + 1)
        throw PartialCountError("Partial counts incomplete: " + piecesText(a.last + 1, b.first - 1)
                                + " missing between " + piecesText(a.first, a.last) + " and "
                                + piecesText(b.first, b.last));

    if (!a.anchored && !a.converged) {
        // Nothing was counted yet: start again over both heads.
        std::vector<long double> loads = std::move(a.head);
        loads.insert(loads.end(), b.head.begin(), b.head.end());
        a.head.clear();
        a.emitted = 0;
        a.extractor.restore({});
        for (const long double v : loads)
            a.take(v);
        if (b.converged && !a.converged)
            throw std::logic_error("a piece's head did not settle the state of the extraction");
    } else {
        for (const long double v : b.head)
            a.take(v);
    }
    if (b.converged) {
        a.extractor.restore(b.extractor.state());
        for (const long double v : b.counter.residue())
            a.counter.put(v);
        a.addCyclesOf(b);
        if (b.result != RunResult::Normal)
            a.result = b.result;
    }

    if (b.length > 0) {
        if (a.length == 0 || b.highest > a.highest)
            a.highest = b.highest;
        if (a.length == 0 || b.lowest < a.lowest)
            a.lowest = b.lowest;
    }
    a.length += b.length;
    if (a.keepRaw && b.keepRaw && !inLoadBins(loadBinsRule(a.params.useLoadBins, a.params.unlimited, a.length))) {
        a.raw.insert(a.raw.end(), b.raw.begin(), b.raw.end());
    } else {
        a.keepRaw = false;
        std::vector<long double>().swap(a.raw);
    }
    a.last = b.last;
}

PartialCount PartialCount::clone() const
{
    if (m->table.spilled())
        throw std::logic_error("The count's cycles are in temporary files; its result is given when it ends.");
    std::stringstream buffer;
    const_cast<PartialCount*>(this)->write(buffer); // reads the table in memory only, changing nothing
    return read(buffer, "copy");
}

} // namespace tessivo
