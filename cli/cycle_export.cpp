#include "cycle_export.h"

#include <charconv>
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
    const auto res = std::to_chars(text, text + sizeof text, v);
    return std::string(text, res.ptr);
}

void writeCyclesCsv(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount)
{
    out << "range,upper,lower,count,cumulative\n";
    std::int64_t cumulative = 0;
    for (std::int32_t i = 1; i <= cycleCount; ++i) {
        const TCycle& c = table[i];
        cumulative += c.Count;
        out << shortestText(c.Range) << ',' << shortestText(c.Upper) << ',' << shortestText(c.Lower) << ','
            << c.Count << ',' << cumulative << '\n';
    }
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
    for (std::int32_t i = 1; i <= cycleCount; ++i) {
        const TCycle& c = table[i];
        cumulative += c.Count;
        out << (i == 1 ? "\n" : ",\n") << "    {\"range\": " << jsonNumber(c.Range)
            << ", \"upper\": " << jsonNumber(c.Upper) << ", \"lower\": " << jsonNumber(c.Lower)
            << ", \"count\": " << c.Count << ", \"cumulative\": " << cumulative << "}";
    }
    out << (cycleCount > 0 ? "\n  ]\n" : "]\n") << "}\n";
}

} // namespace tessivo::cli
