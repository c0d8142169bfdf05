#include "cli_options.h"

#include "cli_messages.h"

#include "engine/run/choices.h"
#include "engine/run/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace tessivo::cli {
namespace {

// Thrown inside the parser only; parseCommandLine turns it into a result.
struct UsageProblem {
    std::string message;
};

long double number(const std::string& option, const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v))
        throw UsageProblem{needsNumberProblem(option, text)};
    return v;
}

std::int32_t repetitions(const std::string& text)
{
    std::int32_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1)
        throw UsageProblem{wholeNumberProblem("--repetitions", "from 1 to 2147483647", text)};
    return n;
}

// A --repetitions with a fraction: the weight of the FILE's counted cycles
// (a recording that stands for 3.5 times its length). Anything else is read
// as the whole number of repetitions it always was.
std::optional<long double> weightOf(const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v) || v == std::floor(v))
        return std::nullopt;
    if (v <= 0.0L || v > 2147483647.0L)
        throw UsageProblem{repetitionsProblem(text)};
    return v;
}

std::int32_t binCount(const std::string& text)
{
    if (const auto count = choiceNamed(binCountChoices(), text))
        return *count;
    throw UsageProblem{choiceProblem("--bin-count", choiceList(binCountChoices()), text)};
}

// "E0,E1,...": the edges of load classes, checked as the engine takes them.
std::vector<long double> binEdges(const std::string& text)
{
    std::vector<long double> edges;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        edges.push_back(number("--bin-edges", text.substr(start, comma == std::string::npos ? comma : comma - start)));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    CountRequest edgesAlone;
    edgesAlone.setOwnEdges(edges);
    try {
        checkRequest(edgesAlone);
    } catch (const CountRefused& e) {
        throw UsageProblem{binEdgesProblemText(e.what())};
    }
    return edges;
}

ResidueMethod residue(const std::string& text)
{
    if (const auto method = choiceNamed(residueChoices(), text))
        return *method;
    throw UsageProblem{choiceProblem("--residue", choiceList(residueChoices()), text)};
}

OutputFormat format(const std::string& text)
{
    if (const auto chosen = choiceNamed(formatChoices(), text))
        return *chosen;
    throw UsageProblem{choiceProblem("--format", choiceList(formatChoices()), text)};
}

std::uint64_t piece(const std::string& text)
{
    std::uint64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1)
        throw UsageProblem{wholeNumberProblem("--piece", "from 1", text)};
    return n;
}

class Parser {
public:
    explicit Parser(ParsedCommandLine& result) : m_result(result), m_options(result.options) {}

    void parse(const std::vector<std::string>& args);

private:
    using ValueHandler = std::function<void(const std::string&)>;
    void option(const std::string& arg, const std::vector<std::string>& args, std::size_t& i);
    void file(const std::string& path);
    void checkMerge();
    void finishOutputOptions();
    std::map<std::string, ValueHandler> valueOptions();

    ParsedCommandLine& m_result;
    CountOptions& m_options;
    SequenceFileInput m_next;
    std::string m_pendingOption;            // a --repetitions or --scale still waiting for its FILE
    std::optional<long double> m_binLowest; // the whole sequence's extremes, for classes from the start
    std::optional<long double> m_binHighest;
    std::vector<std::string> m_given;        // every option given, in order, for the merge's check
    std::optional<long double> m_nextWeight; // a non-whole --repetitions for the FILE that follows
    int m_weightedFiles = 0;
    void finishWeight();
};

std::map<std::string, Parser::ValueHandler> Parser::valueOptions()
{
    std::map<std::string, ValueHandler> handlers = {
        {"--filter", [this](const std::string& v) { m_options.request.filter = number("--filter", v); }},
        {"--bin-count", [this](const std::string& v) { m_options.request.binCount = binCount(v); }},
        {"--bin-edges", [this](const std::string& v) { m_options.request.binEdges = binEdges(v); }},
        {"--residue", [this](const std::string& v) { m_options.request.residue = residue(v); }},
        {"--format", [this](const std::string& v) { m_options.output.format = format(v); }},
        {"--workdir",
         [this](const std::string& v) {
             if (v.empty())
                 throw UsageProblem{kWorkDirNeedsFolder};
             m_options.request.workDir = v;
         }},
        {"--save-partial",
         [this](const std::string& v) {
             if (v.empty())
                 throw UsageProblem{kSavePartialNeedsFile};
             m_options.savePartial = v;
         }},
        {"--piece", [this](const std::string& v) { m_options.piece = piece(v); }},
        {"--bin-lowest", [this](const std::string& v) { m_binLowest = number("--bin-lowest", v); }},
        {"--bin-highest", [this](const std::string& v) { m_binHighest = number("--bin-highest", v); }},
        {"--repetitions",
         [this](const std::string& v) {
             m_nextWeight = weightOf(v);
             m_next.repetitions = m_nextWeight ? 1 : repetitions(v);
             m_pendingOption = "--repetitions";
         }},
        {"--scale",
         [this](const std::string& v) {
             m_next.scale = number("--scale", v);
             m_pendingOption = "--scale";
         }},
    };
    for (const std::string& name : lifetimeOptionNames()) {
        handlers[name] = [this, name](const std::string& v) {
            try {
                setLifetimeOption(m_options.lifetime, name, v);
            } catch (const std::invalid_argument& e) {
                throw UsageProblem{e.what()};
            }
        };
    }
    for (const std::string& name : fatigueOptionNames()) {
        handlers[name] = [this, name](const std::string& v) {
            try {
                setFatigueOption(m_options.output.fatigue, m_options.fatigue, name, v);
            } catch (const std::invalid_argument& e) {
                throw UsageProblem{e.what()};
            }
        };
    }
    return handlers;
}

void Parser::option(const std::string& arg, const std::vector<std::string>& args, std::size_t& i)
{
    const auto eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    m_given.push_back(name);
    const std::map<std::string, bool*> flags = {
        {"--normalize", &m_options.request.normalize},
        {"--load-bins", &m_options.request.loadBins},
        {"--unlimited", &m_options.request.unlimited},
        {kSummaryOption, &m_options.lifetime.summary},
    };
    if (const auto flag = flags.find(name); flag != flags.end()) {
        if (eq != std::string::npos)
            throw UsageProblem{takesNoValueProblem(name)};
        *flag->second = true;
        return;
    }
    if (const ColumnOptionKind kind = columnOptionKind(name); kind != ColumnOptionKind::None) {
        std::string value;
        if (kind == ColumnOptionKind::Flag && eq != std::string::npos)
            throw UsageProblem{takesNoValueProblem(name)};
        if (kind == ColumnOptionKind::Value) {
            if (eq == std::string::npos && i + 1 >= args.size())
                throw UsageProblem{needsValueProblem(name)};
            value = eq != std::string::npos ? arg.substr(eq + 1) : args[++i];
        }
        if (const auto problem = applyColumnOption(name, value, m_options.columns))
            throw UsageProblem{*problem};
        return;
    }
    if (isOtherCountOption(name)) {
        if (eq == std::string::npos && i + 1 >= args.size())
            throw UsageProblem{needsValueProblem(name)};
        if (const auto problem =
                applyOtherCountOption(name, eq != std::string::npos ? arg.substr(eq + 1) : args[++i], m_options.other))
            throw UsageProblem{*problem};
        return;
    }
    const auto handlers = valueOptions();
    const auto handler = handlers.find(name);
    if (handler == handlers.end())
        throw UsageProblem{unknownOptionProblem(name)};
    if (eq != std::string::npos) {
        handler->second(arg.substr(eq + 1));
        return;
    }
    if (i + 1 >= args.size())
        throw UsageProblem{needsValueProblem(name)};
    handler->second(args[++i]);
}

void Parser::file(const std::string& path)
{
    if (m_result.action == ParsedCommandLine::Action::Merge) {
        m_options.partFiles.push_back(path);
        return;
    }
    if (m_options.sequences.size() == kMaxSequenceArgs)
        throw UsageProblem{kTooManySequenceFiles};
    m_next.path = path;
    m_options.sequences.push_back(m_next);
    m_next = SequenceFileInput{};
    if (m_nextWeight) {
        m_options.output.fatigue.weight = *m_nextWeight;
        ++m_weightedFiles;
    }
    m_nextWeight.reset();
    m_pendingOption.clear();
}

void Parser::parse(const std::vector<std::string>& args)
{
    bool optionsEnded = false;
    std::size_t first = 0;
    if (!args.empty() && args[0] == "merge") {
        m_result.action = ParsedCommandLine::Action::Merge;
        first = 1;
    }
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            file(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            m_result.action = ParsedCommandLine::Action::Help;
            return;
        } else if (arg == "--version") {
            m_result.action = ParsedCommandLine::Action::Version;
            return;
        } else {
            option(arg, args, i);
        }
    }
    if (m_result.action == ParsedCommandLine::Action::Merge) {
        checkMerge();
        return;
    }
    if (!m_pendingOption.empty())
        throw UsageProblem{needsFileAfterProblem(m_pendingOption)};
    CountRequest& request = m_options.request;
    if (m_options.piece != 0 && !m_options.savePartial)
        throw UsageProblem{kPieceNeedsSavePartial};
    if (m_options.savePartial && request.workDir)
        throw UsageProblem{kSavePartialWithWorkDir};
    if (m_binLowest.has_value() != m_binHighest.has_value()
        || (m_binLowest && (!m_options.savePartial || !request.loadBins)))
        throw UsageProblem{kBinEdgesGoTogether};
    if (m_binLowest && !(*m_binHighest > *m_binLowest))
        throw UsageProblem{kBinEdgesReversed};
    if (!request.binEdges.empty()) {
        if (m_binLowest)
            throw UsageProblem{kBinEdgesWithBinLowest};
        request.setOwnEdges(request.binEdges);
    }
    if (m_binLowest)
        request.span = LoadSpan{*m_binLowest, *m_binHighest};
    if (m_options.sequences.empty() && !m_options.lifetime.active())
        throw UsageProblem{kNoSequenceFile};
    if (const auto problem = lifetimeOptionsProblem(m_options))
        throw UsageProblem{*problem};
    if (const auto problem =
            otherCountProblem(m_options.other, m_given, m_options.output.format == OutputFormat::Cycles))
        throw UsageProblem{*problem};
    finishOutputOptions();
    finishWeight();
    if (const auto problem = checkColumnOptions(m_options.columns))
        throw UsageProblem{*problem};
    // Columns are counted by their own path, which has no partial counts yet:
    // refuse rather than leave an option unheard.
    if (m_options.columns.active()) {
        if (m_options.savePartial)
            throw UsageProblem{kSavePartialWithColumns};
    }
}

void Parser::finishOutputOptions()
{
    // A lifetime takes N_eq from the frequency and its own seconds, and the
    // duration of recordings without a time column: no single duration.
    FatigueOptions given = m_options.fatigue;
    if (m_options.lifetime.active())
        given.delFrequency.reset();
    try {
        finishFatigueOptions(m_options.output.fatigue, given);
    } catch (const std::invalid_argument& e) {
        throw UsageProblem{e.what()};
    }
    // Nothing asked for may go unheard: the engine names what does not fit.
    const bool equivalentCyclesGiven = m_options.fatigue.delCycles || m_options.fatigue.delFrequency;
    const auto problem = outputConflict(m_options.output, m_options.request.normalize, equivalentCyclesGiven);
    const bool summaryShowsDel = m_options.lifetime.summary || m_options.lifetime.active();
    if (problem && !(problem->conflict == OutputConflict::DelNotShown && summaryShowsDel))
        throw UsageProblem{outputConflictProblem(*problem, m_options.output, m_options.fatigue)};
}

// A weight on the counted cycles is read by the fatigue evaluation of one
// count: joined with other FILEs its cycles could not be told apart.
void Parser::finishWeight()
{
    if (m_weightedFiles == 0)
        return;
    if (m_options.savePartial)
        throw UsageProblem{kWeightedRepetitionsNotPartial};
    if (m_options.sequences.size() != 1 || !m_options.output.fatigue.evaluates())
        throw UsageProblem{kWeightedRepetitionsAlone};
}

// A merge takes its parameters from the partial counts: only the outputs
// (the format, normalising, the fatigue part) can be chosen.
void Parser::checkMerge()
{
    static const std::vector<std::string> outputOptions = [] {
        std::vector<std::string> names = {"--format", "--normalize"};
        const std::vector<std::string>& fatigueNames = fatigueOptionNames();
        names.insert(names.end(), fatigueNames.begin(), fatigueNames.end());
        return names;
    }();
    for (const std::string& name : m_given) {
        if (std::find(outputOptions.begin(), outputOptions.end(), name) == outputOptions.end())
            throw UsageProblem{kMergeTakesOnlyOutput};
    }
    if (!m_pendingOption.empty() || !m_options.sequences.empty())
        throw UsageProblem{kMergeTakesOnlyOutput};
    if (m_options.partFiles.empty())
        throw UsageProblem{kNoPartialCountFile};
    if (m_options.output.format == OutputFormat::Cycles)
        throw UsageProblem{kMergeListsNoCycles};
    finishOutputOptions();
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args)
{
    ParsedCommandLine result;
    try {
        Parser(result).parse(args);
    } catch (const UsageProblem& problem) {
        result.action = ParsedCommandLine::Action::Error;
        result.error = problem.message;
    }
    return result;
}

namespace {

// "32 (default), 64 or 100"
std::string binCountsText()
{
    std::string text = choiceList(binCountChoices());
    return text.insert(std::string(binCountChoices()[0].name).size(), " (default)");
}

// "report (default), csv, json or cycles"
std::string formatsText()
{
    std::string text = choiceList(formatChoices());
    return text.insert(std::string(formatChoices()[0].name).size(), " (default)");
}

} // namespace

std::string usageText()
{
    return "Usage: tessivo-count [OPTION]... [--repetitions N] [--scale X] FILE\n"
           "                     [[--repetitions N] [--scale X] FILE]...\n"
           "       tessivo-count merge [--format FORMAT] [--normalize] [FATIGUE OPTION]... PART...\n"
           "Count the load cycles of load sequences by the rainflow method.\n"
           "\n"
           "Counting:\n"
           "  --filter X          filter size (hysteresis band), 0 or more; default 0\n"
           "  --normalize         divide the loads of the counted cycles by the highest peak\n"
           "  --load-bins         count in load classes through a from-to (Markov) matrix\n"
           "  --bin-count N       load classes per axis: "
           + binCountsText()
           + "; also used\n"
             "                      when 40000 values or more switch the count to the matrix\n"
             "  --bin-edges E0,E1,...\n"
             "                      count in load bins between these edges (ascending, 2 to\n"
             "                      257, holding every load) instead of equal classes\n"
             "  --residue METHOD    "
           + residueChoices()[0].name
           + " (default): count the residue twice in a row;\n"
             "                      "
           + residueChoices()[1].name
           + ": count its upward half cycles as complete cycles;\n"
             "                      "
           + residueChoices()[2].name
           + ": count each half cycle of the residue as 0.5\n"
             "  --unlimited         exact loads at any length: no switch to the matrix at\n"
             "                      40000 values, no limit of 20000 distinct cycles\n"
             "Sequences (1 to 100 FILEs, joined in the order given):\n"
             "  --repetitions N     repeat the FILE that follows N times; default 1; a number\n"
             "                      with a fraction (3.5) counts the FILE once and weights\n"
             "                      its cycles in the fatigue results\n"
             "  --scale X           multiply the loads of the FILE that follows by X; default 1\n"
           + fatigueUsageText() + lifetimeUsageText() + columnUsageText() + otherCountUsageText()
           + "Counting in pieces:\n"
             "  --save-partial PART write the partial count of the FILEs to PART instead of a\n"
             "                      result; 'merge' joins the PARTs of the pieces in order\n"
             "  --piece N           the position of this piece in the whole sequence, checked\n"
             "                      by 'merge'; without it the piece goes where it is given\n"
             "  --bin-lowest X, --bin-highest Y\n"
             "                      with --load-bins: the extremes of the whole sequence, so\n"
             "                      that the piece is counted in load classes at once\n"
             "Output:\n"
             "  --format FORMAT     "
           + formatsText()
           + ", to standard output\n"
             "  --workdir DIR       keep the work files ($Sequence_001.tmp, $Sequence.tmp,\n"
             "                      $Reversals.tmp, $RedRev.tmp) in DIR; none are written without\n"
             "  --help              show this help and exit\n"
             "  --version           show the version and exit\n"
             "\n"
             "A FILE holds load values separated by white space. Numbers use '.' as decimal point.\n"
             "Exit status: 0 counted, 1 usage error, 2 input rejected (incorrect sequence file,\n"
             "failed parameter check), 3 input/output error.\n";
}

} // namespace tessivo::cli
