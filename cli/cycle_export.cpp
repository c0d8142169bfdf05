#include "cycle_export.h"

#include "work_notation.h"

#include <charconv>
#include <string>
#include <cmath>

namespace tessivo::cli {
namespace {

std::string jsonNumber(long double v)
{
    return std::isfinite(v) ? shortestText(v) : "null";
}

} // namespace

std::string shortestText(long double v)
{
    char text[64];
    return std::string(text, formatShortest(v, text));
}

void writeCyclesCsv(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount)
{
    out << "range,upper,lower,count,cumulative\n";
    // Lines gather in a block that goes out whole: millions of cycles are common.
    std::string block;
    block.reserve(1 << 20);
    char text[64];
    std::int64_t cumulative = 0;
    CycleReader cycles(table, cycleCount);
    for (TCycle c; cycles.next(c);) {
        cumulative += c.Count;
        for (long double load : {c.Range, c.Upper, c.Lower}) {
            block.append(text, formatShortest(load, text));
            block += ',';
        }
        block.append(text, static_cast<std::size_t>(std::to_chars(text, text + sizeof text, c.Count).ptr - text));
        block += ',';
        block.append(text, static_cast<std::size_t>(std::to_chars(text, text + sizeof text, cumulative).ptr - text));
        block += '\n';
        if (block.size() > (1 << 20) - 256) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

void writeCountJson(std::ostream& out, const TRainflowRun& run, RunResult result, const TCycleTable& table,
                    std::int32_t cycleCount)
{
    out << "{\n"
        << "  \"spectrum\": {\n"
        << "    \"sequenceLength\": " << run.SeqLength << ",\n"
        << "    \"highestPeak\": " << jsonNumber(run.HighestPeak) << ",\n"
        << "    \"lowestTrough\": " << jsonNumber(run.LowestTrough) << "\n"
        << "  },\n"
        << "  \"result\": " << static_cast<std::int32_t>(result) << ",\n"
        << "  \"cycles\": [";
    std::int64_t cumulative = 0;
    CycleReader cycles(table, cycleCount);
    bool first = true;
    for (TCycle c; cycles.next(c); first = false) {
        cumulative += c.Count;
        out << (first ? "\n" : ",\n") << "    {\"range\": " << jsonNumber(c.Range)
            << ", \"upper\": " << jsonNumber(c.Upper) << ", \"lower\": " << jsonNumber(c.Lower)
            << ", \"count\": " << c.Count << ", \"cumulative\": " << cumulative << "}";
    }
    out << (cycleCount > 0 ? "\n  ]\n" : "]\n") << "}\n";
}

} // namespace tessivo::cli
