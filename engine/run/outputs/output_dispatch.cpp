#include "engine/run/outputs/output_dispatch.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/run/outputs/cycle_export.h"
#include "engine/run/outputs/fatigue_output.h"
#include "engine/run/outputs/other_count_output.h"
#include "engine/run/plain_text_report.h"
#include "engine/run/report_builder.h"
#include "engine/record/run_messages.h"
#include "engine/tables/layout_text.h"
#include "engine/tables/time_column.h"

#include <atomic>
#include <exception>
#include <optional>
#include <sstream>
#include <thread>

namespace tessivo {

// ---------------------------------------------------------------- conflicts

std::string materialValueOf(fatigue::MeanStressMethod method)
{
    switch (method) {
    case fatigue::MeanStressMethod::Goodman:
    case fatigue::MeanStressMethod::Gerber:
        return "ultimate";
    case fatigue::MeanStressMethod::Morrow:
        return "fatigueStrengthCoefficient";
    case fatigue::MeanStressMethod::Walker:
        return "walkerGamma";
    case fatigue::MeanStressMethod::Fkm:
        return "fkmM";
    case fatigue::MeanStressMethod::None:
    case fatigue::MeanStressMethod::Swt:
        break;
    }
    return {};
}

std::optional<OutputProblem> outputConflict(const OutputRequest& request, bool normalized, bool equivalentCyclesGiven)
{
    const FatigueRequest& f = request.fatigue;
    const fatigue::FatigueSettings& s = f.settings;
    if (f.evaluates() && request.format == OutputFormat::Cycles)
        return OutputProblem{OutputConflict::FatigueWithListing, {}};
    if (f.matrix && request.format == OutputFormat::Cycles)
        return OutputProblem{OutputConflict::FatigueWithListing, {}};
    if (f.evaluates() && f.matrix)
        return OutputProblem{OutputConflict::FatigueWithMatrix, {}};
    if (f.evaluates() && normalized)
        return OutputProblem{OutputConflict::FatigueOnNormalisedLoads, {}};
    // Material values that the method (or no method) leaves unread.
    const std::string own = materialValueOf(s.meanStress);
    const std::pair<const char*, bool> given[] = {
        {"ultimate", s.material.ultimate.has_value()},
        {"fatigueStrengthCoefficient", s.material.fatigueStrengthCoefficient.has_value()},
        {"walkerGamma", s.material.walkerGamma.has_value()},
        {"fkmM", s.material.fkmM.has_value()},
    };
    for (const auto& [name, isGiven] : given) {
        if (isGiven && own != name)
            return OutputProblem{OutputConflict::MaterialWithoutMethod, name};
    }
    if (!f.evaluates()) {
        if (s.meanStress != fatigue::MeanStressMethod::None)
            return OutputProblem{OutputConflict::SettingsWithoutEvaluation, "meanStress"};
        if (s.measure != fatigue::LoadMeasure::Range)
            return OutputProblem{OutputConflict::SettingsWithoutEvaluation, "measure"};
        if (s.duration)
            return OutputProblem{OutputConflict::SettingsWithoutEvaluation, "duration"};
    }
    if (s.delExponents.empty() && equivalentCyclesGiven)
        return OutputProblem{OutputConflict::SettingsWithoutEvaluation, "equivalentCycles"};
    if (!s.delExponents.empty() && request.format == OutputFormat::Csv)
        return OutputProblem{OutputConflict::DelNotShown, {}};
    return std::nullopt;
}

// ---------------------------------------------------------------- one count

// The listing's header once the count knows it lists (not before a refusal).
class OutputDispatch::HeadedListing final : public CycleListing {
public:
    HeadedListing(std::ostream& out) : m_out(out), m_lines(out) {}
    void begin(const ListingStart& start) override
    {
        m_out << kCycleListingHeader << '\n';
        m_lines.begin(start);
    }
    void cycle(const PositionedCycle& c) override { m_lines.cycle(c); }

private:
    std::ostream& m_out;
    CycleLines m_lines;
};

OutputDispatch::OutputDispatch(const OutputRequest& request, std::ostream& out, std::ostream& err,
                               std::string errorPrefix)
    : m_request(request)
    , m_out(out)
    , m_err(err)
    , m_errorPrefix(std::move(errorPrefix))
{
}

OutputDispatch::~OutputDispatch() = default;

CountRequest OutputDispatch::prepare(CountRequest request) const
{
    request.positions = m_request.format == OutputFormat::Cycles;
    return request;
}

CountHooks OutputDispatch::hooks()
{
    CountHooks hooks;
    hooks.notice = [this](const std::string& text) { m_err << text << '\n' << std::flush; };
    if (m_request.format == OutputFormat::Cycles) {
        m_listing = std::make_unique<HeadedListing>(m_out);
        hooks.listing = m_listing.get();
    }
    return hooks;
}

void OutputDispatch::write(CountResult& result)
{
    writeOne(result, m_out, m_err);
}

void OutputDispatch::writeOther(const OtherCountResult& result)
{
    writeOtherCount(result, m_request.format, m_out, m_err, m_errorPrefix);
}

void OutputDispatch::writeOtherColumns(const OtherCountRequest& request, const std::vector<TableChannel>& channels)
{
    writeOtherCountColumns(request, channels, m_request.format, m_out, m_err, m_errorPrefix);
}

void OutputDispatch::writeOne(CountResult& result, std::ostream& out, std::ostream& err) const
{
    const OutputFormat format = m_request.format;
    if (format == OutputFormat::Cycles)
        return; // written while counting
    const FatigueRequest& fatigueRequest = m_request.fatigue;
    const TCycleTable& table = result.table();
    const std::int32_t cycleCount = result.cycleCount();
    if (!fatigueRequest.wanted()) {
        result.divideLoads();
        if (format == OutputFormat::Csv) {
            writeCyclesCsv(out, table, cycleCount);
        } else if (format == OutputFormat::Json) {
            writeCountJson(out, result.record(), result.result(), table, cycleCount);
        } else {
            StreamReport report(out);
            WriteCountReport(report, result.record(), table, cycleCount);
        }
        return;
    }
    // Fatigue takes the loads as counted: the table is divided after it.
    const FatigueContext context{fatigueRequest, table, cycleCount, result.binned()};
    // Every cycle evaluated before anything is written: a refused cycle leaves the output empty.
    // Json evaluates each row itself (fatigueJson), naming a refused cycle by its row.
    const bool rowsEvaluated = format == OutputFormat::Json && !fatigueRequest.matrix;
    fatigue::FatigueTotals totals;
    if (fatigueRequest.evaluates() && !rowsEvaluated)
        totals = fatigueTotals(context);
    if (fatigueRequest.matrix) {
        if (const double outside = writeMatrixCsv(out, context); outside > 0.0)
            err << m_errorPrefix << shortestText(outside)
                << " cycles lie beyond the given edges and are not in the matrix\n";
        return;
    }
    switch (format) {
    case OutputFormat::Report: {
        result.divideLoads();
        StreamReport report(out);
        WriteCountReport(report, result.record(), table, cycleCount);
        writeFatigueReport(report, context, totals);
        break;
    }
    case OutputFormat::Csv:
        if (fatigueRequest.settings.curve) {
            writeFatigueCsv(out, context, result.normalized() ? result.highestPeak() : 1.0L);
        } else {
            result.divideLoads();
            writeCyclesCsv(out, table, cycleCount);
        }
        break;
    case OutputFormat::Json: {
        const std::string member = fatigueJson(context);
        result.divideLoads();
        writeCountJson(out, result.record(), result.result(), table, cycleCount, member);
        break;
    }
    case OutputFormat::Cycles:
        break;
    }
}

// ---------------------------------------------------------------- columns

namespace {

// One channel's count and outputs, made on a worker.
struct ChannelOutput {
    std::string output;                  // what goes to standard output
    std::string csvHeader;               // the header of CSV output, written once for all channels
    std::string notices;                 // what goes to standard error before it
    std::optional<std::string> rejected; // a fatigue problem of the channel
    std::exception_ptr failure;
};

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

// The first column of every file when it is time (engine/tables/time_column.h); nothing otherwise.
std::optional<PositionTimes> readTimes(const TableChannel& any)
{
    PositionTimes times;
    for (const TableColumnInput& column : any.columns) {
        std::optional<std::vector<long double>> values = readTimeColumn(column.ref.path, column.ref.layout);
        if (!values)
            return std::nullopt;
        times.files.push_back(std::move(*values));
        times.repetitions.push_back(column.repetitions);
    }
    return times;
}

// Whether the channel's rows are the time column's, one value each.
bool timedRows(const TableChannel& channel, const PositionTimes& times)
{
    for (std::size_t f = 0; f < channel.columns.size(); ++f) {
        const TableColumnInput& column = channel.columns[f];
        if (column.ref.column == 0 || column.stats.skippedEmpty > 0
            || column.stats.points != static_cast<std::int64_t>(times.files[f].size()))
            return false;
    }
    return true;
}

} // namespace

void OutputDispatch::listColumns(const CountRequest& request, const std::vector<TableChannel>& channels)
{
    // Every cycle of each column in turn, straight to out with the column's
    // name first: memory does not grow with the cycles.
    const std::optional<PositionTimes> times = readTimes(channels.front());
    m_out << "channel," << kCycleListingHeader << (times ? ",start_time,end_time\n" : "\n");
    for (const TableChannel& channel : channels) {
        CycleLines lines(m_out, csvField(channel.name) + ",", times.has_value(),
                         times && timedRows(channel, *times) ? &*times : nullptr);
        CountHooks hooks;
        hooks.notice = [this, &channel](const std::string& text) {
            m_out.flush();
            m_err << channel.name << ": " << text << '\n' << std::flush;
        };
        hooks.listing = &lines;
        count(prepare(request), channel.inputs(), hooks);
    }
}

void OutputDispatch::writeColumns(const CountRequest& request, const std::vector<TableChannel>& chosen)
{
    if (chosen.empty())
        return;
    // A table that ended before its file did (a footer, END): how many rows were read.
    for (const TableColumnInput& column : chosen.front().columns) {
        if (!column.stats.ending.empty())
            m_err << m_errorPrefix << column.ref.path << ": " << tableEndText(column.stats.rows, column.stats.ending)
                  << '\n';
    }
    std::vector<TableChannel> channels;
    for (const TableChannel& channel : chosen) {
        for (const TableColumnInput& column : channel.columns) {
            if (column.stats.skippedEmpty > 0)
                m_err << m_errorPrefix << column.ref.path << ": " << channel.name << ": " << column.stats.skippedEmpty
                      << (column.stats.skippedEmpty == 1 ? " empty cell skipped\n" : " empty cells skipped\n");
        }
        // A channel that never changes has no cycles: every column of numbers passes over it.
        if (const std::optional<long double> value = channel.constantValue()) {
            const std::string& path = channel.columns.front().ref.path;
            if (!channel.passedOverWhenConstant)
                throw CountRefused(channel.name + ": " + constantChannelText(*value), path);
            m_err << m_errorPrefix << path << ": " << channel.name << ": " << constantChannelText(*value) << kPassedOver
                  << '\n';
            continue;
        }
        // Every check before the first count: a rejected column stops them all.
        CountInputs inputs = channel.inputs();
        try {
            checkCount(request, inputs);
        } catch (const CountRefused& e) {
            throw CountRefused(channel.name + ": " + e.what());
        }
        channels.push_back(channel);
    }
    if (channels.empty())
        throw CountRefused(kNoColumnOfLoads, chosen.front().columns.front().ref.path);
    if (m_request.format == OutputFormat::Cycles) {
        listColumns(request, channels);
        return;
    }

    // Work files have one set of names: the columns take turns then.
    const unsigned workers = request.workDir || channels.size() < 2 ? 1 : 2;
    std::vector<ChannelOutput> outputs(channels.size());
    const bool csv = m_request.format == OutputFormat::Csv || m_request.fatigue.matrix;
    const auto countChannel = [&](std::size_t k) {
        const TableChannel& channel = channels[k];
        ChannelOutput& o = outputs[k];
        CountRequest one = request;
        one.readAhead = request.readAhead && workers == 1;
        CountHooks hooks;
        hooks.notice = [&](const std::string& text) { o.notices += channel.name + ": " + text + '\n'; };
        CountResult result = count(one, channel.inputs(), hooks);
        std::ostringstream written;
        std::ostringstream problems;
        try {
            writeOne(result, written, problems);
        } catch (const fatigue::FatigueError& e) {
            o.rejected = channel.name + ": " + e.what();
            return;
        }
        std::istringstream problemLines(problems.str());
        for (std::string line; std::getline(problemLines, line);)
            o.notices += m_errorPrefix + channel.name + ": "
                         + line.substr(line.rfind(m_errorPrefix, 0) == 0 ? m_errorPrefix.size() : 0) + "\n";
        if (m_request.format == OutputFormat::Report && !csv) {
            o.output = channel.heading + "\n\n" + written.str();
        } else if (csv) {
            std::istringstream lines(written.str());
            std::getline(lines, o.csvHeader);
            for (std::string line; std::getline(lines, line);)
                o.output += csvField(channel.name) + "," + line + "\n";
        } else {
            std::string body = written.str();
            body = body.substr(body.find('{') + 1);
            std::string fields =
                "\n  \"channel\": " + jsonString(channel.name) + ",\n  \"unit\": " + jsonString(channel.unit) + ",";
            fields += "\n  \"emptyCellsSkipped\": " + std::to_string(channel.skippedEmpty()) + ",";
            fields += "\n  \"rowsRead\": " + std::to_string(channel.rowsRead()) + ",";
            fields += "\n  \"layout\": " + layoutJson(channel.columns.front().ref.layout) + ",";
            o.output = "{" + fields + body;
        }
    };
    std::atomic<std::size_t> nextChannel{0};
    const auto work = [&] {
        for (std::size_t k; (k = nextChannel++) < channels.size();) {
            try {
                countChannel(k);
            } catch (...) {
                outputs[k].failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();

    for (const ChannelOutput& o : outputs) {
        m_err << o.notices;
        if (o.rejected)
            throw fatigue::FatigueError(*o.rejected);
        if (o.failure)
            std::rethrow_exception(o.failure);
    }
    const bool json = m_request.format == OutputFormat::Json && !csv;
    if (csv)
        m_out << "channel," << outputs.front().csvHeader << "\n";
    if (json)
        m_out << "{\n  \"channels\": [\n";
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        if (json) {
            std::string object = outputs[k].output;
            while (!object.empty() && object.back() == '\n')
                object.pop_back();
            m_out << indented(object) << (k + 1 < outputs.size() ? ",\n" : "\n");
        } else {
            m_out << (k > 0 && m_request.format == OutputFormat::Report && !csv ? "\n" : "") << outputs[k].output;
        }
    }
    if (json)
        m_out << "  ]\n}\n";
}

} // namespace tessivo
