#include "engine/fatigue/fatigue_analysis.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_messages.h"
#include "engine/fatigue/fatigue_number.h"

#include <cmath>
#include <limits>

namespace tessivo::fatigue {
namespace {

std::optional<SnCurve> curveOf(const FatigueSettings& settings)
{
    if (!settings.curve)
        return std::nullopt;
    const SnCurveDefinition& d = *settings.curve;
    if (d.measure && *d.measure != settings.measure)
        throw FatigueError(measureMismatchMessage(d.name.empty() ? "given" : d.name, *d.measure, settings.measure));
    return SnCurve(d);
}

// Su for the check of every cycle's maximum, with any mean-stress correction.
std::optional<long double> ultimateOf(const FatigueSettings& settings)
{
    const auto& su = settings.material.ultimate;
    if (settings.meanStress == MeanStressMethod::None || !su)
        return std::nullopt;
    if (!std::isfinite(*su) || *su <= 0.0L)
        throw FatigueError("The ultimate strength (Su) must be positive, not " + fatigueNumberText(*su));
    return su;
}

long double slopeAt(const SnCurve& curve, long double load)
{
    return load >= curve.kneeLoad() ? curve.slope() : curve.slopeBelowKnee();
}

} // namespace

FatigueAnalysis::FatigueAnalysis(const FatigueSettings& settings)
    : m_settings(settings)
    , m_curve(curveOf(settings))
    , m_factors(resolveDesignFactors(settings.design, settings.curve ? &*settings.curve : nullptr))
    , m_loads(settings.measure, MeanStressCorrection(settings.meanStress, settings.material), ultimateOf(settings),
              settings.design.compressiveShare.value_or(1.0L))
    , m_del(settings.delExponents)
{
    m_batch.loads.reserve(Batch::kSize);
    m_batch.counts.reserve(Batch::kSize);
    m_scaled = m_factors.stress != 1.0L;
    if (!std::isfinite(settings.equivalentCycles) || settings.equivalentCycles <= 0.0L)
        throw FatigueError("The number of equivalent cycles N_eq must be positive, not "
                           + fatigueNumberText(settings.equivalentCycles));
    if (settings.duration && (!std::isfinite(*settings.duration) || *settings.duration <= 0.0L))
        throw FatigueError("The duration must be a positive number of seconds, not "
                           + fatigueNumberText(*settings.duration));
    if (settings.delOnCurve && !settings.curve)
        throw FatigueError("The damage-equivalent load on the curve needs an S-N curve");
    if (settings.design.compressiveShare && settings.meanStress != MeanStressMethod::None)
        throw FatigueError("The compressive share does not go with a mean-stress correction, which has its own "
                           "rule for compression");
    if (settings.design.checkAsked() && !settings.curve)
        throw FatigueError("The factors of a code check (gamma_Ff, gamma_Mf, DFF, thickness, size factor) need "
                           "an S-N curve");
}

FatigueCycle FatigueAnalysis::stressOf(const FatigueCycle& c) const
{
    const long double k = m_factors.stress;
    return k == 1.0L ? c : FatigueCycle{c.range * k, c.upper * k, c.lower * k, c.count};
}

void FatigueAnalysis::addLoad(long double load, double count)
{
    if (load == m_pendingLoad) {
        m_pendingCount += count; // whole and half counts: exact
        return;
    }
    if (m_pendingCount != 0.0L) {
        m_batch.loads.push_back(m_pendingLoad);
        m_batch.counts.push_back(m_pendingCount);
        if (m_batch.loads.size() == Batch::kSize)
            drain(m_batch, m_miner, m_del);
    }
    m_pendingLoad = load;
    m_pendingCount = count;
}

FatigueRow FatigueAnalysis::add(const FatigueCycle& cycle)
{
    FatigueRow row;
    row.cycle = cycle;
    row.load = m_loads.load(stressOf(cycle), ++m_rows);
    if (m_curve) {
        const long double perCycle = m_curve->damagePerCycle(row.load * m_factors.curve);
        row.allowed = perCycle > 0.0L ? 1.0L / perCycle : std::numeric_limits<long double>::infinity();
        row.damage = static_cast<long double>(cycle.count) * perCycle;
        if (!std::isfinite(row.damage))
            throw FatigueError(damageOverflowMessage(m_rows, row.load, slopeAt(*m_curve, row.load * m_factors.curve)));
    }
    addLoad(row.load, cycle.count);
    return row;
}

void FatigueAnalysis::accumulate(const FatigueCycle& cycle)
{
    ++m_rows;
    const long double load = m_scaled ? scaledLoad(cycle) : m_loads.countedLoad(cycle, m_rows);
    addLoad(load, cycle.count);
}

long double FatigueAnalysis::scaledLoad(const FatigueCycle& cycle) const
{
    return m_loads.countedLoad(stressOf(cycle), m_rows);
}

void FatigueAnalysis::drain(Batch& batch, MinerSum& miner, DelSum& del) const
{
    const std::size_t n = batch.loads.size();
    const long double f = m_factors.curve;
    for (std::size_t k = 0; k < n; ++k) {
        const long double count = batch.counts[k];
        const long double damage = m_curve ? count * m_curve->damagePerCycle(batch.loads[k] * f) : 0.0L;
        if (!std::isfinite(damage))
            throw FatigueError(damageOverflowMessage(0, batch.loads[k], slopeAt(*m_curve, batch.loads[k] * f)));
        miner.add(damage, count);
    }
    del.addAll(batch.loads.data(), batch.counts.data(), n);
    batch.loads.clear();
    batch.counts.clear();
}

FatigueTotals FatigueAnalysis::totals() const
{
    MinerSum miner = m_miner;
    DelSum del = m_del;
    Batch batch = m_batch;
    if (m_pendingCount != 0.0L) {
        batch.loads.push_back(m_pendingLoad);
        batch.counts.push_back(m_pendingCount);
    }
    drain(batch, miner, del);
    FatigueTotals t;
    t.damage = miner.damage();
    if (!std::isfinite(t.damage))
        throw FatigueError(sumOverflowMessage("damage sum (Miner)"));
    t.life = miner.life();
    if (m_settings.duration && std::isfinite(t.life))
        t.lifeHours = t.life * *m_settings.duration / 3600.0L;
    else if (m_settings.duration)
        t.lifeHours = std::numeric_limits<long double>::infinity();
    t.cycles = miner.cycles();
    t.del = del.values(m_settings.equivalentCycles);
    for (const DelValue& v : t.del) {
        if (!std::isfinite(v.value))
            throw FatigueError(sumOverflowMessage("damage-equivalent load for m = " + fatigueNumberText(v.m)));
    }
    if (m_curve)
        t.check = designCheck(t.damage, m_settings.design.dff);
    if (m_settings.delOnCurve) {
        t.curveDelAsked = true;
        if (const auto s = curveEquivalentLoad(*m_curve, t.damage, m_settings.equivalentCycles))
            t.curveDel = *s / m_factors.curve;
    }
    return t;
}

FatigueResult analyseFatigue(std::span<const FatigueCycle> cycles, const FatigueSettings& settings)
{
    FatigueAnalysis analysis(settings);
    FatigueResult result;
    result.rows.reserve(cycles.size());
    for (const FatigueCycle& cycle : cycles)
        result.rows.push_back(analysis.add(cycle));
    result.totals = analysis.totals();
    return result;
}

} // namespace tessivo::fatigue
