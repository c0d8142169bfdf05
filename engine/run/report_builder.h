#pragma once
// The report of a count, written through a ReportWriter: the block of
// spectrum characteristics and the table of load cycles. Every output of the
// report (the desktop pane, plain text) renders these same lines.

#include "engine/counting/cycle_table.h"
#include "engine/record/report_writer.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <string>

namespace tessivo {

// Appends the block "Spectrum characteristics": tab stops at 0 and 135
// points, the heading in bold, then "Sequence length: \t" with SeqLength and
// "Highest Peak: \t" / "Lowest Trough: \t" with the run's extremes in the
// load format. Does not clear the writer.
void WriteSpectrumCharacteristics(ReportWriter& report, const TRainflowRun& run,
                                  const std::string& decimalSeparator = ".");

// Appends the table of load cycles: tab stops at 0, 55, 110, 165, 220 and 275
// points, "Load cycles" in bold, two heading lines, then one line per entry
// 1..cycleCount: range, maximum and minimum load, count and the cumulative
// count (summed from entry 1, never wrapping), separated by tabs.
void WriteLoadCycles(ReportWriter& report, const TCycleTable& table, std::int32_t cycleCount,
                     const std::string& decimalSeparator = ".");

// The whole report of a count: clears the writer, then the spectrum
// characteristics, an empty line and the table of load cycles.
void WriteCountReport(ReportWriter& report, const TRainflowRun& run, const TCycleTable& table, std::int32_t cycleCount,
                      const std::string& decimalSeparator = ".");

} // namespace tessivo
