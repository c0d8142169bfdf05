#pragma once
// Four-point rainflow counting and the ways of handling its residue.
// Counted cycles go either to the cycle table (exact loads) or to the run's
// from-to matrix (load classes), depending on whether load bins are in effect.

#include "engine/counting/cycle_table.h"
#include "engine/counting/load_classes.h"
#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <vector>

namespace tessivo {

// Where full cycles go.
class CycleSink {
public:
    virtual ~CycleSink() = default;
    virtual void fullCycle(long double a, long double b) = 0;
};

// Routes cycles to the table (AddCycle, which may set result to TableFull) or,
// with bins in effect, to run.FromToMatrix in the run's load classes.
class CycleTally final : public CycleSink {
public:
    CycleTally(TRainflowRun& run, bool binsInEffect, TCycleTable& table, RunResult& result);
    void fullCycle(long double a, long double b) override;
    // A half cycle of the residue: with bins every direction enters the
    // matrix; without, each counts half a cycle when run.HalfCycles is set,
    // else only an upward one counts, as a complete cycle.
    void residueHalfCycle(long double from, long double to);

private:
    TRainflowRun& m_run;
    bool m_bins;
    TCycleTable& m_table;
    RunResult& m_result;
    LoadClasses m_classes;
};

// The four-point rule on a stack of points whose load is load(point): while
// the newest four points S1..S4 enclose the range S2-S3 (S1 < S2, S3 >= S1,
// S4 >= S2, or the mirror image; ties count), S2 and S3 are a full cycle,
// given to closed(S2, S3), and leave the stack. Call after each push.
template <class Point, class Load, class Closed>
void closeFourPointCycles(std::vector<Point>& stack, Load load, Closed closed)
{
    std::size_t k = stack.size();
    while (k >= 4) {
        const long double s1 = load(stack[k - 4]);
        const long double s2 = load(stack[k - 3]);
        const long double s3 = load(stack[k - 2]);
        const long double s4 = load(stack[k - 1]);
        if (!((s1 < s2 && s3 >= s1 && s4 >= s2) || (s1 > s2 && s3 <= s1 && s4 <= s2)))
            break;
        closed(stack[k - 3], stack[k - 2]);
        stack[k - 3] = stack[k - 1];
        stack.resize(k - 2);
        k -= 2;
    }
}

// Push form of the four-point rule (closeFourPointCycles). Each reversal is
// pushed on a stack; what stays is the residue. The stack grows with the
// residue only, never with the number of reversals.
class FourPointCounter final : public ValueSink {
public:
    explicit FourPointCounter(CycleSink& cycles);
    void put(long double v) override;
    const std::vector<long double>& residue() const { return m_stack; }

private:
    CycleSink& m_cycles;
    std::vector<long double> m_stack;
};

} // namespace tessivo
