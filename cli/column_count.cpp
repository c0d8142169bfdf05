#include "column_count.h"

#include "cli_messages.h"

#include "cycle_export.h"
#include "cycle_listing.h"
#include "fatigue_output.h"
#include "show_layout.h"
#include "engine/tables/layout_text.h"
#include "engine/tables/column_choice.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_sequence.h"
#include "engine/tables/time_column.h"
#include "engine/record/io_error.h"
#include "engine/record/run_messages.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/plain_text_report.h"
#include "engine/files/prefetch_source.h"
#include "engine/run/run_control.h"

#include <atomic>
#include <cerrno>
#include <exception>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace tessivo::cli {
namespace {

// One column counted over all the FILEs.
struct Channel {
    std::string name;    // as the first FILE names it
    std::string heading; // name and unit
    std::vector<TableColumnRef> refs;   // one per FILE
    std::vector<ColumnStats> stats;     // one per FILE
    std::string output;  // what goes to standard output
    std::string csvHeader; // the header of CSV output, written once for all channels
    std::string notices; // what goes to standard error
    bool rejected = false; // fatigue refused a cycle: named in notices
    std::exception_ptr failure;
};

TableOverrides overridesOf(const ColumnOptions& c)
{
    TableOverrides o;
    o.delimiter = c.delimiter;
    o.decimal = c.decimal;
    return o;
}

// How a column of the first FILE is found in the others: by its name, or by
// its number when it has none.
std::string keyOf(const TableLayout& layout, std::size_t column)
{
    const std::string& name = layout.columns[column].name;
    return name.empty() ? std::to_string(column + 1) : kByName + name;
}

// The columns of a later FILE: by the first FILE's names, or by the same
// numbers when the later FILE continues the recording without names.
std::vector<std::size_t> laterColumns(const std::vector<TableLayout>& layouts, std::size_t f,
                                      const std::vector<std::size_t>& chosen, const std::vector<std::string>& keys,
                                      const std::string& path)
{
    if (layouts[f].headerLine == 0 && layouts[f].columns.size() == layouts.front().columns.size())
        return chosen;
    return chooseColumns(layouts[f], keys, path);
}

// The channels and, per FILE, its layout and the statistics of each chosen
// column. Throws TableFormatError.
std::vector<Channel> readChannels(const CountOptions& options)
{
    const ColumnOptions& c = options.columns;
    std::vector<TableLayout> layouts;
    for (const SequenceArg& arg : options.sequences)
        layouts.push_back(detectTableLayout(arg.file, overridesOf(c)));
    const std::string& first = options.sequences.front().file;
    std::vector<std::size_t> chosen = c.allColumns ? numericColumns(layouts.front(), false)
                                                   : chooseColumns(layouts.front(), c.columns, first);
    std::vector<std::string> keys;
    for (const std::size_t j : chosen)
        keys.push_back(keyOf(layouts.front(), j));

    std::vector<Channel> channels(chosen.size());
    for (std::size_t f = 0; f < options.sequences.size(); ++f) {
        const std::string& path = options.sequences[f].file;
        const std::vector<std::size_t> columns = f == 0 ? chosen : laterColumns(layouts, f, chosen, keys, path);
        if (columns.size() != chosen.size())
            throw TableFormatError(path, 0, 0, "", kColumnChosenTwice);
        const std::vector<ColumnStats> stats = scanTableColumns(path, layouts[f], columns, c.skipEmpty);
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            channels[k].refs.push_back(TableColumnRef{path, layouts[f], columns[k], c.skipEmpty});
            channels[k].stats.push_back(stats[k]);
        }
    }
    // A first column that rises all the way is time, not a load.
    if (c.allColumns && !c.keepTime && !chosen.empty() && chosen.front() == 0) {
        bool rising = true;
        for (const ColumnStats& s : channels.front().stats)
            rising = rising && s.points > 1 && s.strictlyIncreasing;
        if (rising)
            channels.erase(channels.begin());
    }
    for (Channel& channel : channels) {
        const TableColumnRef& ref = channel.refs.front();
        channel.name = columnLabel(ref.layout, ref.column);
        channel.heading = columnHeading(ref.layout, ref.column);
    }
    return channels;
}

std::unique_ptr<TRainflowRun> runFor(const CountOptions& options, const Channel& channel)
{
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->Normalize = options.normalize;
    run->UseLoadBins = options.loadBins;
    run->BinCount = options.binCount;
    run->BinEdges = options.binEdges;
    setResidueMethod(*run, options.residue);
    run->FilterSize = options.filter;
    for (std::size_t f = 0; f < channel.refs.size(); ++f) {
        TSequence& slot = run->Sequences[f + 1];
        if (!fillTableSlot(slot, channel.refs[f].path, channel.stats[f]))
            throw TableFormatError(channel.refs[f].path, 0, static_cast<std::int64_t>(channel.refs[f].column + 1),
                                   channel.name, kNoNumbersInColumn);
        slot.Repetitions = options.sequences[f].repetitions;
        slot.Scale = options.sequences[f].scale;
    }
    run->SeqCount = static_cast<std::int32_t>(channel.refs.size());
    UpdateSequenceTotals(*run);
    return run;
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

std::string jsonString(const std::string& text)
{
    std::string s = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            s += '\\';
            s += ch;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            s += escaped;
        } else {
            s += ch;
        }
    }
    return s + "\"";
}

// The count of one channel, its output written into channel.output.
void countChannel(const CountOptions& options, Channel& channel, bool readAhead)
{
    auto run = runFor(options, channel);
    TCycleTable table(MaxCycles, options.unlimited);
    ExecuteOptions execute;
    execute.notice = [&channel](const std::string& text) { channel.notices += channel.name + ": " + text + '\n'; };
    execute.limits.unlimited = options.unlimited;
    // Fatigue takes the loads as counted: the table is normalised after it.
    const bool fatigue = options.fatigue.wanted();
    const bool normalizeAfter = fatigue && run->Normalize;
    run->Normalize = run->Normalize && !normalizeAfter;
    std::ostringstream text;
    StreamReport report(text);
    const bool wantReport = options.format == OutputFormat::Report && !fatigue;
    CountOutcome counted;
    if (options.workDir) {
        for (std::size_t f = 0; f < channel.refs.size(); ++f) {
            const auto index = static_cast<std::int32_t>(f + 1);
            TSequence kept = run->Sequences[f + 1];
            if (loadTableColumnSlot(*run, index, channel.refs[f], *options.workDir) != OpenOutcome::Ok)
                throw TableFormatError(channel.refs[f].path, 0, 0, channel.name, kNoNumbersInColumn);
            run->Sequences[f + 1].Repetitions = kept.Repetitions;
            run->Sequences[f + 1].Scale = kept.Scale;
        }
        UpdateSequenceTotals(*run);
        counted = wantReport ? executeCount(*run, table, *options.workDir, report, execute)
                             : countCombinedSequence(*run, table, *options.workDir, execute);
    } else {
        CombinedTableSource combined(*run, channel.refs);
        std::unique_ptr<PrefetchSource> ahead = readAhead ? std::make_unique<PrefetchSource>(combined) : nullptr;
        ValueSource& source = ahead ? static_cast<ValueSource&>(*ahead) : combined;
        counted = wantReport ? executeCount(*run, table, source, report, execute)
                             : countCombinedSequence(*run, table, source, execute);
    }
    const auto [result, cycleCount] = counted;
    std::ostringstream written;
    if (fatigue) {
        std::ostringstream problems;
        channel.rejected =
            !writeWithFatigue(written, problems, FatigueCount{options, *run, result, table, cycleCount, normalizeAfter});
        std::istringstream lines(problems.str());
        const std::string program = "tessivo-count: ";
        for (std::string line; std::getline(lines, line);)
            channel.notices += program + channel.name + ": " + line.substr(line.rfind(program, 0) == 0 ? program.size() : 0) + "\n";
        if (channel.rejected)
            return;
    }
    if (options.format == OutputFormat::Report && !options.fatigue.matrix) {
        channel.output = channel.heading + "\n\n" + (fatigue ? written.str() : text.str());
    } else if (options.format == OutputFormat::Csv || options.fatigue.matrix) {
        if (!fatigue)
            writeCyclesCsv(written, table, cycleCount);
        std::istringstream lines(written.str());
        std::getline(lines, channel.csvHeader);
        for (std::string line; std::getline(lines, line);)
            channel.output += csvField(channel.name) + "," + line + "\n";
    } else {
        if (!fatigue)
            writeCountJson(written, *run, result, table, cycleCount);
        std::string body = written.str();
        body = body.substr(body.find('{') + 1);
        std::string fields = "\n  \"channel\": " + jsonString(channel.name) + ",\n  \"unit\": "
                             + jsonString(channel.refs.front().layout.columns[channel.refs.front().column].unit) + ",";
        std::int64_t skipped = 0;
        for (const ColumnStats& s : channel.stats)
            skipped += s.skippedEmpty;
        fields += "\n  \"emptyCellsSkipped\": " + std::to_string(skipped) + ",";
        std::int64_t rows = 0;
        for (const ColumnStats& s : channel.stats)
            rows += s.rows;
        fields += "\n  \"rowsRead\": " + std::to_string(rows) + ",";
        fields += "\n  \"layout\": " + layoutJson(channel.refs.front().layout) + ",";
        channel.output = "{" + fields + body;
    }
}

void countAll(const CountOptions& options, std::vector<Channel>& channels)
{
    // Work files have one set of names: the columns take turns then.
    const unsigned workers = options.workDir || channels.size() < 2 ? 1 : 2;
    std::atomic<std::size_t> nextChannel{0};
    const auto work = [&] {
        for (std::size_t k; (k = nextChannel++) < channels.size();) {
            try {
                countChannel(options, channels[k], workers == 1);
            } catch (...) {
                channels[k].failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
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

void writeOutputs(const CountOptions& options, const std::vector<Channel>& channels, std::ostream& out)
{
    const bool csv = options.format == OutputFormat::Csv || options.fatigue.matrix;
    if (csv)
        out << "channel," << channels.front().csvHeader << "\n";
    if (options.format == OutputFormat::Json && !csv)
        out << "{\n  \"channels\": [\n";
    for (std::size_t k = 0; k < channels.size(); ++k) {
        if (options.format == OutputFormat::Json && !csv) {
            std::string object = channels[k].output;
            while (!object.empty() && object.back() == '\n')
                object.pop_back();
            out << indented(object) << (k + 1 < channels.size() ? ",\n" : "\n");
        } else {
            out << (k > 0 && options.format == OutputFormat::Report && !csv ? "\n" : "") << channels[k].output;
        }
    }
    if (options.format == OutputFormat::Json && !csv)
        out << "  ]\n}\n";
}

// The first column of every FILE when it is time (engine/tables/time_column.h); nothing otherwise.
std::optional<PositionTimes> readTimes(const CountOptions& options, const Channel& any)
{
    PositionTimes times;
    for (std::size_t f = 0; f < any.refs.size(); ++f) {
        std::optional<std::vector<long double>> column = readTimeColumn(any.refs[f].path, any.refs[f].layout);
        if (!column)
            return std::nullopt;
        times.files.push_back(std::move(*column));
        times.repetitions.push_back(options.sequences[f].repetitions);
    }
    return times;
}

// Whether the channel's rows are the time column's, one value each.
bool timedRows(const Channel& channel, const PositionTimes& times)
{
    for (std::size_t f = 0; f < channel.refs.size(); ++f)
        if (channel.refs[f].column == 0 || channel.stats[f].skippedEmpty > 0
            || channel.stats[f].points != static_cast<std::int64_t>(times.files[f].size()))
            return false;
    return true;
}

// Every cycle of each column in turn, straight to `out` with the column's
// name first: memory does not grow with the cycles. Positions count through
// the column's own combined sequence; a table whose first column is time
// adds the times of the two positions. Notices go to err before the
// column's lines.
void listColumnCycles(const CountOptions& options, const std::vector<Channel>& channels, std::ostream& out,
                      std::ostream& err)
{
    const std::optional<PositionTimes> times = readTimes(options, channels.front());
    out << "channel,range,upper,lower,count,start,end" << (times ? ",start_time,end_time\n" : "\n");
    for (const Channel& channel : channels) {
        const auto run = runFor(options, channel);
        bool bins = run->UseLoadBins;
        if (!bins && !options.unlimited && run->SeqLength >= MatrixThreshold) {
            bins = true;
            out.flush();
            err << channel.name << ": " << matrixAppliedNotice(run->BinCount) << '\n' << std::flush;
        }
        CombinedTableSource combined(*run, channel.refs);
        PrefetchSource readAhead(combined);
        writeCycleLines(out, *run, bins, readAhead, csvField(channel.name) + ",", times.has_value(),
                        times && timedRows(channel, *times) ? &*times : nullptr);
    }
}

// The one value of a channel that holds nothing else, in every FILE.
std::optional<long double> constantValue(const Channel& channel)
{
    const ColumnStats& first = channel.stats.front();
    for (const ColumnStats& s : channel.stats) {
        if (s.points == 0 || s.highest != s.lowest || s.highest != first.highest)
            return std::nullopt;
    }
    return first.highest;
}

// A table that ended before its file did (a footer, END): how many rows were read.
void tellTableEnds(const std::vector<Channel>& channels, std::ostream& err)
{
    if (channels.empty())
        return;
    for (std::size_t f = 0; f < channels.front().refs.size(); ++f) {
        const ColumnStats& s = channels.front().stats[f];
        if (!s.ending.empty())
            err << kErrorPrefix << channels.front().refs[f].path << ": " << tableEndText(s.rows, s.ending) << '\n';
    }
}

} // namespace

ExitStatus runColumnCount(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.columns.showLayout)
        return showTableLayouts(options, out, err);
    std::vector<Channel> channels;
    try {
        channels = readChannels(options);
        tellTableEnds(channels, err);
        for (auto channel = channels.begin(); channel != channels.end();) {
            for (std::size_t f = 0; f < channel->refs.size(); ++f) {
                if (channel->stats[f].skippedEmpty > 0)
                    err << kErrorPrefix << channel->refs[f].path << ": " << channel->name << ": "
                        << channel->stats[f].skippedEmpty
                        << (channel->stats[f].skippedEmpty == 1 ? " empty cell skipped\n" : " empty cells skipped\n");
            }
            // A channel that never changes has no cycles: --all-columns passes over it.
            if (const auto value = constantValue(*channel)) {
                err << kErrorPrefix << channel->refs.front().path << ": " << channel->name << ": "
                    << constantChannelText(*value) << (options.columns.allColumns ? kPassedOver : "") << '\n';
                if (!options.columns.allColumns)
                    return ExitStatus::InputRejected;
                channel = channels.erase(channel);
                continue;
            }
            // Every check before the first count: a rejected column stops them all.
            if (const auto message = checkParameters(*runFor(options, *channel))) {
                err << kErrorPrefix << channel->name << ": " << *message << '\n';
                return ExitStatus::InputRejected;
            }
            ++channel;
        }
    } catch (const TableFormatError& e) {
        err << kErrorPrefix << e.what() << '\n';
        return ExitStatus::InputRejected;
    }
    if (channels.empty()) {
        err << kErrorPrefix << options.sequences.front().file << ": " << kNoColumnOfLoads << '\n';
        return ExitStatus::InputRejected;
    }
    if (options.format == OutputFormat::Cycles) {
        try {
            listColumnCycles(options, channels, out, err);
        } catch (const TableFormatError& e) {
            out.flush();
            err << "tessivo-count: " << e.what() << '\n';
            return ExitStatus::InputRejected;
        }
        out.flush();
        if (!out) {
            err << "tessivo-count: standard output: " << ioErrorMessage(errno != 0 ? errno : EIO) << '\n';
            return ExitStatus::IoFailure;
        }
        return ExitStatus::Counted;
    }
    countAll(options, channels);
    for (const Channel& channel : channels) {
        err << channel.notices;
        if (channel.rejected)
            return ExitStatus::InputRejected;
        if (channel.failure) {
            try {
                std::rethrow_exception(channel.failure);
            } catch (const TableFormatError& e) {
                err << kErrorPrefix << e.what() << '\n';
                return ExitStatus::InputRejected;
            }
        }
    }
    writeOutputs(options, channels, out);
    out.flush();
    if (!out) {
        err << kErrorPrefix << kStandardOutput << ": " << ioErrorMessage(errno != 0 ? errno : EIO) << '\n';
        return ExitStatus::IoFailure;
    }
    return ExitStatus::Counted;
}

} // namespace tessivo::cli
