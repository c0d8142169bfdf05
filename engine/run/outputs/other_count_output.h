#pragma once
// The outputs of the counts beside rainflow: level crossings, range pairs
// and time at level as a report, csv or json, for a plain count and for the
// columns of tables. Loads in csv and json are the shortest text that reads
// back to the same long double, as the rainflow outputs write them.
//
//   level crossings  csv "level,crossings"; json "levels": [{level, crossings}]
//   range pairs      csv "range,upper,lower,count,cumulative"; json "pairs"
//   time at level    csv "lower,upper,time"; json "classes": [{lower, upper,
//                    time}] and "outside" (the time beyond the edges, which
//                    csv leaves to a notice on standard error)

#include "engine/run/other_count.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/table_channels.h"

#include <ostream>
#include <string>
#include <vector>

namespace tessivo {

// Writes the result in `format` (report, csv or json) to out; a notice of
// time beyond the edges in csv to err, after errorPrefix.
void writeOtherCount(const OtherCountResult& result, OutputFormat format, std::ostream& out, std::ostream& err,
                     const std::string& errorPrefix);

// Counts each channel of tables and writes them in the order chosen, as the
// rainflow outputs of columns go: the report under a heading with the
// column's name and unit, csv rows with a first field "channel", json as
// {"channels": [...]} (each with channel, unit, emptyCellsSkipped, rowsRead
// and the first file's layout). Notes the rows read of a table that ends
// before its file and skipped cells on err; passes over a channel of one
// value with a notice, or refuses it (CountRefused) when chosen by name.
// Every channel is counted before anything is written.
void writeOtherCountColumns(const OtherCountRequest& request, const std::vector<TableChannel>& channels,
                            OutputFormat format, std::ostream& out, std::ostream& err, const std::string& errorPrefix);

} // namespace tessivo
