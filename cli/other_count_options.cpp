#include "other_count_options.h"

#include "cli_messages.h"

#include "engine/run/choices.h"
#include "engine/run/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessivo::cli {
namespace {

const char* const kOptions[] = {"--count",           "--levels",     "--level-edges",
                                "--reference-level", "--hysteresis", "--interval"};

std::optional<long double> number(const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "a,b,c", ascending: the levels or class edges.
std::optional<std::string> edges(const std::string& text, std::vector<long double>& out)
{
    out.clear();
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
        const std::optional<long double> v = number(item);
        if (!v)
            return needsNumberProblem("--level-edges", item);
        if (!out.empty() && !(out.back() < *v))
            return "'--level-edges' must ascend: " + item + " follows " + shortestText(out.back());
        out.push_back(*v);
        if (comma == std::string::npos)
            return std::nullopt;
        start = comma + 1;
    }
}

std::string countName(CountMethod method)
{
    return choiceName(countMethodChoices(), method);
}

// "'--count level-crossing' or '--count time-at-level'"
std::string countsText(std::initializer_list<CountMethod> methods)
{
    std::string text;
    std::size_t i = 0;
    for (const CountMethod m : methods) {
        text += (i == 0 ? "" : i + 1 == methods.size() ? " or " : ", ") + ("'--count " + countName(m) + "'");
        ++i;
    }
    return text;
}

bool given(const OtherCountOptions& options, const std::string& name)
{
    return std::find(options.given.begin(), options.given.end(), name) != options.given.end();
}

// `head` then `text`, broken into lines of at most 80 characters under the head's width.
std::string wrapped(const std::string& head, const std::string& text)
{
    std::string lines = head;
    std::size_t lineStart = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (lines.size() - lineStart + word.size() + 1 > 80) {
            lines.pop_back(); // the blank before the word
            lines += "\n" + std::string(head.size(), ' ');
            lineStart = lines.size() - head.size();
        }
        lines += word + ' ';
        start = end + 1;
    }
    lines.back() = '\n';
    return lines;
}

} // namespace

bool isOtherCountOption(const std::string& name)
{
    return std::find(std::begin(kOptions), std::end(kOptions), name) != std::end(kOptions);
}

std::optional<std::string> applyOtherCountOption(const std::string& name, const std::string& value,
                                                 OtherCountOptions& options)
{
    OtherCountRequest& r = options.request;
    options.given.push_back(name);
    if (name == "--count") {
        const std::optional<CountMethod> method = choiceNamed(countMethodChoices(), value);
        if (!method)
            return choiceProblem(name, choiceList(countMethodChoices()), value);
        r.method = *method;
    } else if (name == "--levels") {
        std::int32_t n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (ec != std::errc() || end != value.data() + value.size() || n < 1 || n > 100000)
            return wholeNumberProblem(name, "from 1 to 100000", value);
        r.levels = n;
    } else if (name == "--level-edges") {
        return edges(value, r.edges);
    } else {
        const std::optional<long double> v = number(value);
        if (!v)
            return needsNumberProblem(name, value);
        if (name == "--reference-level") {
            r.reference = *v;
        } else if (name == "--hysteresis") {
            if (*v < 0)
                return "'--hysteresis' must be 0 or more, not '" + value + "'";
            r.hysteresis = *v;
        } else if (name == "--interval") {
            if (!(*v > 0))
                return "'--interval' must be a positive number of seconds, not '" + value + "'";
            r.interval = *v;
        }
    }
    return std::nullopt;
}

std::optional<std::string> otherCountProblem(const OtherCountOptions& options, const std::vector<std::string>& all,
                                             bool cycles)
{
    using enum CountMethod;
    const CountMethod method = options.request.method;
    const bool levels = method == LevelCrossing || method == TimeAtLevel;
    if (given(options, "--levels") && given(options, "--level-edges"))
        return std::string(kLevelsOrLevelEdges);
    for (const char* name : {"--levels", "--level-edges"}) {
        if (given(options, name) && !levels)
            return needsOtherCountProblem(name, countsText({LevelCrossing, TimeAtLevel}));
    }
    if (given(options, "--reference-level") && method != LevelCrossing)
        return needsOtherCountProblem("--reference-level", countsText({LevelCrossing}));
    if (given(options, "--hysteresis") && method != LevelCrossing && method != RangePair)
        return needsOtherCountProblem("--hysteresis", countsText({LevelCrossing, RangePair}));
    if (given(options, "--interval") && method != TimeAtLevel)
        return needsOtherCountProblem("--interval", countsText({TimeAtLevel}));
    if (method == TimeAtLevel && options.request.edges.size() == 1)
        return std::string("'--level-edges' of time at level needs 2 edges or more, the bounds of its classes");
    if (method == LevelCrossing && !given(options, "--level-edges") && options.request.levels < 2)
        return wholeNumberProblem("--levels", "from 2 for level crossings", std::to_string(options.request.levels));
    if (!options.active())
        return std::nullopt;
    // Everything else the count would leave unheard: the rainflow count's settings and the fatigue part.
    static const char* const kAlong[] = {"--repetitions",   "--scale",     "--format",    "--column",
                                         "--all-columns",   "--keep-time", "--delimiter", "--decimal-comma",
                                         "--decimal-point", "--skip-empty"};
    for (const std::string& name : all) {
        if (isOtherCountOption(name) || std::find(std::begin(kAlong), std::end(kAlong), name) != std::end(kAlong))
            continue;
        return notWithOtherCountProblem(name, countName(method));
    }
    if (cycles)
        return notWithOtherCountProblem("--format cycles", countName(method));
    return std::nullopt;
}

std::string otherCountUsageText()
{
    return std::string("Other counts (the joined sequence, as rainflow takes it; report, csv or json):\n")
           + wrapped(
               "  --count METHOD      ",
               choiceList(countMethodChoices()).insert(std::string(countMethodChoices()[0].name).size(), " (default)")
                   + ": cycles, level crossings, range pairs or the time at each level")
           + "  --levels N          N equal levels from the lowest to the highest load (level\n"
             "                      crossing; time at level: N equal classes); default 32\n"
             "  --level-edges A,B,...  own ascending levels (class edges of time at level)\n"
             "  --reference-level X level crossing counts upward crossings of the levels at or\n"
             "                      above X, downward ones below; default the mean load\n"
             "  --hysteresis H      level crossing, range pairs: reversals of H or less pass\n"
             "  --interval S        time at level: seconds per value; default the step of a\n"
             "                      table's time column, else times in numbers of values\n";
}

} // namespace tessivo::cli
