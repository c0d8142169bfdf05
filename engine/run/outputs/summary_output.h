#pragma once
// The summary (one row per channel, count or recording) as CSV and JSON,
// and the lifetime of many recordings in the report and JSON.

#include "engine/run/lifetime_run.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/summary.h"

#include <ostream>
#include <vector>

namespace tessivo {

// A line of names, then one line per row: name, points, highest_peak,
// lowest_trough, cycles; in a lifetime hours_per_year and duration; with a
// curve damage, life, utilisation (D x DFF) and check; del_M for each
// exponent M; curve_del when asked. With `lifetime` a last row "lifetime":
// the hours per year and seconds of the design life, its cycles, damage,
// utilisation, check and DELs (N_eq of the lifetime). Fields that do not
// apply are empty; a life without damage is "inf".
void writeSummaryCsv(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue,
                     const LifetimeResult* lifetime = nullptr);

// The same rows as a JSON array of objects (names in camel case, del as
// [{"m", "value"}], null for a life without damage).
void writeSummaryJson(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue,
                      const LifetimeResult* lifetime = nullptr);

// The summary rows of a lifetime's recordings.
std::vector<SummaryRow> recordingRows(const LifetimeResult& lifetime);

// The report of a lifetime: the recordings with their shares and damage,
// then the section "Lifetime": design life, damage, design damage,
// utilisation and check, and the DELs with the N_eq they refer to.
void writeLifetimeReport(std::ostream& out, const LifetimeResult& lifetime, const FatigueRequest& fatigue);

// {"recordings": [rows as in writeSummaryJson], "lifetime": {designLife,
// seconds, equivalentCycles, damage, dff, designDamage, utilisation, check,
// del: [{m, value}], curveDel}}.
void writeLifetimeJson(std::ostream& out, const LifetimeResult& lifetime, const FatigueRequest& fatigue);

} // namespace tessivo
