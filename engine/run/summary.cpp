#include "engine/run/summary.h"

#include "engine/fatigue/fatigue_analysis.h"
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

namespace {

SummaryRow noDamageRow(const TableChannel& channel, long double value, const FatigueRequest& fatigue)
{
    SummaryRow row;
    row.name = channel.name;
    for (const TableColumnInput& c : channel.columns)
        row.points += c.stats.points;
    row.highestPeak = value;
    row.lowestTrough = value;
    if (fatigue.evaluates())
        row.fatigue = fatigue::FatigueAnalysis(fatigue.settings).totals();
    return row;
}

} // namespace

std::vector<SummaryRow> summarise(const CountRequest& request, const FatigueRequest& fatigue,
                                  const std::vector<SequenceFileInput>& files, const ColumnChoice& columns,
                                  const std::function<void(const std::string&)>& notice, ConstantChannel constant)
{
    std::vector<SummaryRow> rows;
    if (!columns.active()) {
        std::string name;
        for (const SequenceFileInput& f : files)
            name += (name.empty() ? "" : " + ") + f.path;
        rows.push_back(summaryRowOf(name, count(request, CountInputs::files(files)), fatigue));
        return rows;
    }
    const ChannelNotice told = notice ? notice : [](const std::string&) {};
    for (const TableChannel& channel : readTableChannels(files, columns)) {
        const std::optional<long double> value = channel.constantValue();
        if (value && constant == ConstantChannel::NoDamage) {
            told(channel.columns.front().ref.path + ": " + channel.name + ": " + constantChannelText(*value)
                 + kNoDamageHere);
            rows.push_back(noDamageRow(channel, *value, fatigue));
            continue;
        }
        if (!countableChannel(channel, told))
            continue;
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
