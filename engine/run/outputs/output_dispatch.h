#pragma once
// Every output of a count written from its result, in one place: the report,
// csv, json, the listing of every cycle, the fatigue part and the rainflow
// matrices, for a plain count and for the columns of tables alike. A front
// end parses, counts and hands the result here; no route writes its own
// output.
//
//     OutputDispatch outputs(outputRequest, out, err, "tessivo-count: ");
//     CountResult result = count(outputs.prepare(request), inputs, outputs.hooks());
//     outputs.write(result);
//
// The listing of every cycle streams: the dispatch asks the count for it
// (prepare) and receives each cycle as it closes (hooks), so memory does not
// grow with the cycles.

#include "engine/run/count.h"
#include "engine/run/outputs/cycle_listing.h"
#include "engine/run/other_count.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/table_channels.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tessivo {

class OutputDispatch {
public:
    // Results go to `out`, notices and problems to `err`; errorPrefix starts
    // a problem's line (the program's name), not a notice's.
    OutputDispatch(const OutputRequest& request, std::ostream& out, std::ostream& err, std::string errorPrefix);
    ~OutputDispatch();

    // The count request as the outputs need it: every cycle with its
    // positions for the listing.
    CountRequest prepare(CountRequest request) const;
    // The notice of the switch to the matrix on err; the listing's lines on out.
    CountHooks hooks();

    // Writes the chosen format with its fatigue part. Every cycle is
    // evaluated before anything is written: fatigue::FatigueError (a cycle
    // beyond the material's limit, ...) leaves out untouched. The result's
    // loads are divided where it normalises, after fatigue read them.
    void write(CountResult& result);

    // The channels of tables: a table that ends before its file noted with
    // the rows read, the skipped cells noted, a channel of one value passed
    // over with a notice (passedOverWhenConstant) or refused, and every
    // channel checked before the first is counted (CountRefused naming the
    // channel; naming the first file when none is left to count),
    // then each counted (two at a time where no work folder is kept) and
    // written in the order chosen: the report under a heading with the
    // column's name and unit, csv rows with a first field "channel", json as
    // {"channels": [...]} (each with the rows read and the first file's
    // layout), the listing with the channel first (and the times of the two
    // positions when the tables' first column is time). Notices
    // of each channel carry its name. A fatigue problem of a channel is
    // thrown as fatigue::FatigueError naming the channel, before anything
    // is written.
    void writeColumns(const CountRequest& request, const std::vector<TableChannel>& channels);

    // The counts beside rainflow in the chosen format (report, csv or json;
    // other_count_output.h): one result, or each channel of tables counted
    // with `request` as writeColumns writes rainflow's.
    void writeOther(const OtherCountResult& result);
    void writeOtherColumns(const OtherCountRequest& request, const std::vector<TableChannel>& channels);

private:
    void writeOne(CountResult& result, std::ostream& out, std::ostream& err) const;
    void listColumns(const CountRequest& request, const std::vector<TableChannel>& channels);

    OutputRequest m_request;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_errorPrefix;
    class HeadedListing;
    std::unique_ptr<HeadedListing> m_listing;
};

} // namespace tessivo
