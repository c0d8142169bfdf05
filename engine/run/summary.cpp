#include "engine/run/summary.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/record/run_messages.h"
#include "engine/run/outputs/fatigue_output.h"

namespace tessivo {

SummaryRow summaryRowOf(std::string name, const CountResult& result, const FatigueRequest& fatigue)
{
    SummaryRow row;
    row.name = std::move(name);
    row.points = result.sequenceLength();
    row.highestPeak = result.highestPeak();
    row.lowestTrough = result.lowestTrough();
    row.binned = result.binned();
    std::int64_t halves = 0;
    CycleReader reader(result.table(), result.cycleCount());
    for (TCycle c; reader.next(c);)
        halves += halvesOf(c);
    row.cycles = static_cast<long double>(halves) / 2.0L * fatigue.weight;
    if (fatigue.evaluates())
        row.fatigue = fatigueTotals(FatigueContext{fatigue, result.table(), result.cycleCount(), result.binned()});
    return row;
}

std::vector<SummaryRow> summarise(const CountRequest& request, const FatigueRequest& fatigue,
                                  const std::vector<SequenceFileInput>& files, const ColumnChoice& columns,
                                  const std::function<void(const std::string&)>& notice)
{
    std::vector<SummaryRow> rows;
    if (!columns.active()) {
        std::string name;
        for (const SequenceFileInput& f : files)
            name += (name.empty() ? "" : " + ") + f.path;
        rows.push_back(summaryRowOf(name, count(request, CountInputs::files(files)), fatigue));
        return rows;
    }
    for (const TableChannel& channel : readTableChannels(files, columns)) {
        if (const std::optional<long double> value = channel.constantValue()) {
            const std::string& path = channel.columns.front().ref.path;
            if (!channel.passedOverWhenConstant)
                throw CountRefused(channel.name + ": " + constantChannelText(*value), path);
            if (notice)
                notice(path + ": " + channel.name + ": " + constantChannelText(*value) + kPassedOver);
            continue;
        }
        try {
            rows.push_back(summaryRowOf(channel.name, count(request, channel.inputs()), fatigue));
        } catch (const fatigue::FatigueError& e) {
            throw fatigue::FatigueError(channel.name + ": " + e.what());
        }
    }
    if (rows.empty())
        throw CountRefused(kNoColumnOfLoads, files.front().path);
    return rows;
}

} // namespace tessivo
