#pragma once
// Fatigue results of a count in tessivo-count's three formats. Every writer
// reads the table in report order and evaluates each cycle on the loads the
// table holds times `loadFactor`; the table itself is not changed.

#include "engine/run/outputs/output_request.h"

#include "engine/counting/cycle_table.h"
#include "engine/record/report_writer.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace tessivo {

struct FatigueContext {
    const FatigueRequest& options;
    const TCycleTable& table;
    std::int32_t cycleCount = 0;
    bool classEdges = false; // counted in load bins: the loads are class edges
};

// The totals of the whole table. Throws fatigue::FatigueError naming a cycle
// beyond the material's limit.
fatigue::FatigueTotals fatigueTotals(const FatigueContext& context);

// The lines that say how the loads are evaluated: the loads, the mean-stress
// correction, a weight, stresses and the factors of a code check, the curve.
void writeFatigueInputs(ReportWriter& report, const FatigueRequest& options, bool classEdges);

// The report section "Fatigue damage": curve, conventions, D, life and the
// damage-equivalent loads.
void writeFatigueReport(ReportWriter& report, const FatigueContext& context, const fatigue::FatigueTotals& totals);

// "range,upper,lower,count,cumulative,allowed,damage": the loads divided by
// loadDivisor (the normalisation of the other columns), allowed and damage
// from the loads as counted; allowed is "inf" where the curve does no damage.
void writeFatigueCsv(std::ostream& out, const FatigueContext& context, long double loadDivisor);

// The members of the "fatigue" object: damage, life (null for no damage),
// lifeHours with a duration, del and rows. Written as `"fatigue": {...}`
// without a line end, for the caller to place in its object.
std::string fatigueJson(const FatigueContext& context);

// The rainflow matrix of --matrix as CSV: one line per cell that holds
// cycles, with the class edges of its row and column and the count. Returns
// the count of cycles beyond the user's edges, which no line holds.
double writeMatrixCsv(std::ostream& out, const FatigueContext& context);

} // namespace tessivo
