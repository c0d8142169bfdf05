#include "engine/run/outputs/other_count_output.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/numbers/load_format.h"
#include "engine/record/json_text.h"
#include "engine/record/run_messages.h"
#include "engine/run/choices.h"
#include "engine/run/outputs/cycle_export.h"
#include "engine/tables/layout_text.h"

#include <cmath>
#include <sstream>

namespace tessivo {
namespace {

std::string jsonNumber(long double v)
{
    return std::isfinite(v) ? shortestText(v) : "null";
}

std::string intervalText(const OtherCountResult& r)
{
    switch (r.intervalSource) {
    case IntervalSource::Given:
        return shortestText(r.interval) + " s";
    case IntervalSource::TimeColumn:
        return shortestText(r.interval) + " s (the step of the time column)";
    case IntervalSource::Values:
        break;
    }
    return "none given: times are numbers of values";
}

std::string intervalSourceName(IntervalSource source)
{
    switch (source) {
    case IntervalSource::Given:
        return "given";
    case IntervalSource::TimeColumn:
        return "time column";
    case IntervalSource::Values:
        break;
    }
    return "values";
}

void writeReport(const OtherCountResult& r, std::ostream& out)
{
    out << "Spectrum characteristics\n"
        << "Sequence length: \t" << r.sequenceLength << '\n'
        << "Highest Peak: \t" << (r.sequenceLength > 0 ? formatLoad(r.highestPeak) : "") << '\n'
        << "Lowest Trough: \t" << (r.sequenceLength > 0 ? formatLoad(r.lowestTrough) : "") << "\n\n";
    switch (r.method) {
    case CountMethod::LevelCrossing:
        out << "Level crossings (upward at and above the reference level, downward below it)\n"
            << "Reference level: \t" << formatLoad(r.reference) << (r.referenceIsMean ? " (the mean)" : "") << '\n'
            << "Hysteresis: \t" << formatLoad(r.hysteresis) << '\n'
            << "Level\tCrossings\n";
        for (const fatigue::LevelCount& c : r.crossings)
            out << formatLoad(c.level) << '\t' << fatigue::fatigueNumberText(c.count) << '\n';
        break;
    case CountMethod::RangePair:
        out << "Range pairs (the residue in half cycles)\n"
            << "Hysteresis: \t" << formatLoad(r.hysteresis) << '\n'
            << "Load\tMaximum\tMinimum\tNumber of\tCumulative\n"
            << "Range\tLoad\tLoad\tCycles\tNumber\n";
        for (long double cumulative = 0.0L; const fatigue::RangePair& p : r.pairs)
            out << formatLoad(p.range) << '\t' << formatLoad(p.upper) << '\t' << formatLoad(p.lower) << '\t'
                << fatigue::fatigueNumberText(p.count) << '\t' << fatigue::fatigueNumberText(cumulative += p.count)
                << '\n';
        break;
    case CountMethod::TimeAtLevel:
        out << "Time at level\n"
            << "Sample interval: \t" << intervalText(r) << '\n'
            << "From\tTo\tTime\n";
        for (std::size_t k = 0; k < r.time.seconds.size(); ++k)
            out << formatLoad(r.time.edges[k]) << '\t' << formatLoad(r.time.edges[k + 1]) << '\t'
                << fatigue::fatigueNumberText(r.time.seconds[k]) << '\n';
        out << "Beyond the edges: \t" << fatigue::fatigueNumberText(r.time.outside) << '\n';
        break;
    case CountMethod::Rainflow:
        break;
    }
}

void writeCsv(const OtherCountResult& r, std::ostream& out, std::ostream& err, const std::string& errorPrefix)
{
    switch (r.method) {
    case CountMethod::LevelCrossing:
        out << "level,crossings\n";
        for (const fatigue::LevelCount& c : r.crossings)
            out << shortestText(c.level) << ',' << shortestText(c.count) << '\n';
        break;
    case CountMethod::RangePair:
        out << "range,upper,lower,count,cumulative\n";
        for (long double cumulative = 0.0L; const fatigue::RangePair& p : r.pairs)
            out << shortestText(p.range) << ',' << shortestText(p.upper) << ',' << shortestText(p.lower) << ','
                << shortestText(p.count) << ',' << shortestText(cumulative += p.count) << '\n';
        break;
    case CountMethod::TimeAtLevel:
        out << "lower,upper,time\n";
        for (std::size_t k = 0; k < r.time.seconds.size(); ++k)
            out << shortestText(r.time.edges[k]) << ',' << shortestText(r.time.edges[k + 1]) << ','
                << shortestText(r.time.seconds[k]) << '\n';
        if (r.time.outside > 0)
            err << errorPrefix << shortestText(r.time.outside) << " of the time lies beyond the given edges\n";
        break;
    case CountMethod::Rainflow:
        break;
    }
}

void writeJson(const OtherCountResult& r, std::ostream& out)
{
    out << "{\n  \"count\": " << jsonString(choiceName(countMethodChoices(), r.method)) << ",\n"
        << "  \"spectrum\": {\n"
        << "    \"sequenceLength\": " << r.sequenceLength << ",\n"
        << "    \"highestPeak\": " << (r.sequenceLength > 0 ? jsonNumber(r.highestPeak) : "null") << ",\n"
        << "    \"lowestTrough\": " << (r.sequenceLength > 0 ? jsonNumber(r.lowestTrough) : "null") << "\n"
        << "  },\n";
    switch (r.method) {
    case CountMethod::LevelCrossing:
        out << "  \"reference\": " << jsonNumber(r.reference) << ",\n"
            << "  \"referenceIsMean\": " << (r.referenceIsMean ? "true" : "false") << ",\n"
            << "  \"hysteresis\": " << jsonNumber(r.hysteresis) << ",\n"
            << "  \"levels\": [";
        for (std::size_t k = 0; k < r.crossings.size(); ++k)
            out << (k > 0 ? ",\n" : "\n") << "    {\"level\": " << jsonNumber(r.crossings[k].level)
                << ", \"crossings\": " << jsonNumber(r.crossings[k].count) << "}";
        out << (r.crossings.empty() ? "]\n" : "\n  ]\n");
        break;
    case CountMethod::RangePair: {
        out << "  \"hysteresis\": " << jsonNumber(r.hysteresis) << ",\n"
            << "  \"pairs\": [";
        long double cumulative = 0.0L;
        for (std::size_t k = 0; k < r.pairs.size(); ++k) {
            const fatigue::RangePair& p = r.pairs[k];
            out << (k > 0 ? ",\n" : "\n") << "    {\"range\": " << jsonNumber(p.range)
                << ", \"upper\": " << jsonNumber(p.upper) << ", \"lower\": " << jsonNumber(p.lower)
                << ", \"count\": " << jsonNumber(p.count) << ", \"cumulative\": " << jsonNumber(cumulative += p.count)
                << "}";
        }
        out << (r.pairs.empty() ? "]\n" : "\n  ]\n");
        break;
    }
    case CountMethod::TimeAtLevel:
        out << "  \"interval\": " << jsonNumber(r.interval) << ",\n"
            << "  \"intervalFrom\": " << jsonString(intervalSourceName(r.intervalSource)) << ",\n"
            << "  \"classes\": [";
        for (std::size_t k = 0; k < r.time.seconds.size(); ++k)
            out << (k > 0 ? ",\n" : "\n") << "    {\"lower\": " << jsonNumber(r.time.edges[k])
                << ", \"upper\": " << jsonNumber(r.time.edges[k + 1]) << ", \"time\": " << jsonNumber(r.time.seconds[k])
                << "}";
        out << "\n  ],\n"
            << "  \"outside\": " << jsonNumber(r.time.outside) << '\n';
        break;
    case CountMethod::Rainflow:
        break;
    }
    out << "}\n";
}

std::string indented(const std::string& object)
{
    std::string text = "    ";
    for (std::size_t i = 0; i < object.size(); ++i) {
        text += object[i];
        if (object[i] == '\n' && i + 1 < object.size())
            text += "    ";
    }
    return text;
}

} // namespace

void writeOtherCount(const OtherCountResult& result, OutputFormat format, std::ostream& out, std::ostream& err,
                     const std::string& errorPrefix)
{
    if (format == OutputFormat::Csv)
        writeCsv(result, out, err, errorPrefix);
    else if (format == OutputFormat::Json)
        writeJson(result, out);
    else
        writeReport(result, out);
}

void writeOtherCountColumns(const OtherCountRequest& request, const std::vector<TableChannel>& chosen,
                            OutputFormat format, std::ostream& out, std::ostream& err, const std::string& errorPrefix)
{
    if (chosen.empty())
        return;
    for (const TableColumnInput& column : chosen.front().columns) {
        if (!column.stats.ending.empty())
            err << errorPrefix << column.ref.path << ": " << tableEndText(column.stats.rows, column.stats.ending)
                << '\n';
    }
    struct Counted {
        const TableChannel* channel;
        OtherCountResult result;
    };
    std::vector<Counted> counted;
    for (const TableChannel& channel : chosen) {
        for (const TableColumnInput& column : channel.columns) {
            if (column.stats.skippedEmpty > 0)
                err << errorPrefix << column.ref.path << ": " << channel.name << ": " << column.stats.skippedEmpty
                    << (column.stats.skippedEmpty == 1 ? " empty cell skipped\n" : " empty cells skipped\n");
        }
        if (const std::optional<long double> value = channel.constantValue()) {
            const std::string& path = channel.columns.front().ref.path;
            if (!channel.passedOverWhenConstant)
                throw CountRefused(channel.name + ": " + constantChannelText(*value), path);
            err << errorPrefix << path << ": " << channel.name << ": " << constantChannelText(*value) << kPassedOver
                << '\n';
            continue;
        }
        try {
            counted.push_back({&channel, countOther(request, channel.inputs())});
        } catch (const fatigue::FatigueError& e) {
            throw fatigue::FatigueError(channel.name + ": " + e.what());
        }
    }
    if (counted.empty())
        throw CountRefused(kNoColumnOfLoads, chosen.front().columns.front().ref.path);
    if (format == OutputFormat::Json)
        out << "{\n  \"channels\": [\n";
    for (std::size_t k = 0; k < counted.size(); ++k) {
        const TableChannel& channel = *counted[k].channel;
        std::ostringstream written;
        std::ostringstream notices;
        writeOtherCount(counted[k].result, format, written, notices, "");
        if (!notices.str().empty())
            err << errorPrefix << channel.name << ": " << notices.str();
        const std::string body = written.str();
        if (format == OutputFormat::Csv) {
            std::istringstream lines(body);
            std::string line;
            std::getline(lines, line);
            if (k == 0)
                out << "channel," << line << '\n';
            while (std::getline(lines, line))
                out << csvField(channel.name) << ',' << line << '\n';
        } else if (format == OutputFormat::Json) {
            std::string object =
                "{\n  \"channel\": " + jsonString(channel.name) + ",\n  \"unit\": " + jsonString(channel.unit)
                + ",\n  \"emptyCellsSkipped\": " + std::to_string(channel.skippedEmpty())
                + ",\n  \"rowsRead\": " + std::to_string(channel.rowsRead()) + ",\n  \"layout\": "
                + layoutJson(channel.columns.front().ref.layout) + "," + body.substr(body.find('{') + 1);
            while (!object.empty() && object.back() == '\n')
                object.pop_back();
            out << indented(object) << (k + 1 < counted.size() ? ",\n" : "\n");
        } else {
            out << (k > 0 ? "\n" : "") << channel.heading << "\n\n" << body;
        }
    }
    if (format == OutputFormat::Json)
        out << "  ]\n}\n";
}

} // namespace tessivo
