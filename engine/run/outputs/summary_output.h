#pragma once
// The summary (one row per channel, count or recording) as CSV and JSON,
// and the lifetime of many recordings in the report and JSON.

#include "engine/run/lifetime_run.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/summary.h"

#include <ostream>
#include <vector>

namespace tessivo {

// A line of names, then one line per row: name, in a lifetime of several
// channels channel, points, highest_peak, lowest_trough, cycles; in a
// lifetime (wind_speed over wind-speed bins) hours_per_year and duration;
// with a curve damage, life, utilisation (D x DFF) and check; del_M for each
// exponent M; curve_del when asked. A lifetime's own row (lifetimeRows) has
// the hours per year and seconds of the design life, its cycles, damage,
// utilisation, check and DELs (N_eq of the lifetime). Fields that do not
// apply are empty; a life without damage is "inf".
void writeSummaryCsv(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue);

// The same rows as a JSON array of objects (names in camel case, del as
// [{"m", "value"}], null for a life without damage).
void writeSummaryJson(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue);

// The summary rows of lifetimes: each one's recordings, then a last row
// "lifetime"; with `byChannel` each row names its channel.
std::vector<SummaryRow> lifetimeRows(const std::vector<LifetimeResult>& lifetimes, bool byChannel);

// The report of lifetimes: the recordings with their shares and damage,
// then the section "Lifetime": design life, damage, design damage,
// utilisation and check, and the DELs with the N_eq they refer to; with
// `byChannel` each under a line "Channel: NAME".
void writeLifetimeReport(std::ostream& out, const std::vector<LifetimeResult>& lifetimes, const FatigueRequest& fatigue,
                         bool byChannel);

// {"recordings": [rows as in writeSummaryJson], "lifetime": {designLife,
// seconds, equivalentCycles, damage, dff, designDamage, utilisation, check,
// del: [{m, value}], curveDel, weibull}}; with `byChannel`
// {"channels": [{"channel", "recordings", "lifetime"}, ...]}.
void writeLifetimeJson(std::ostream& out, const std::vector<LifetimeResult>& lifetimes, const FatigueRequest& fatigue,
                       bool byChannel);

} // namespace tessivo
