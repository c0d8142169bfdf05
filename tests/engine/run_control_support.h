#pragma once
// Helpers of the run-control tests: a report writer that records every
// operation, and a run record set up for a count.

#include "engine/counting/cycle_table.h"
#include "engine/record/report_writer.h"
#include "engine/record/run_record.h"

#include <memory>
#include <string>
#include <vector>

namespace tessivo::test {

// Records the operations in order, e.g. "tabs 0 135", "bold on", "line x".
class RecordingReport final : public ReportWriter {
public:
    void clear() override { ops.push_back("clear"); }
    void setTabStops(const std::vector<int>& points) override
    {
        std::string op = "tabs";
        for (int p : points) {
            op += ' ';
            op += std::to_string(p);
        }
        ops.push_back(op);
    }
    void boldOn() override { ops.push_back("bold on"); }
    void boldOff() override { ops.push_back("bold off"); }
    void addLine(const std::string& text) override { ops.push_back("line " + text); }
    std::vector<std::string> ops;
};

// A run record with the parameter defaults, on the heap (it is large).
inline std::unique_ptr<TRainflowRun> freshRun()
{
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    return run;
}

} // namespace tessivo::test
