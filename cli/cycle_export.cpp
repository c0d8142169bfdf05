#include "cycle_export.h"

#include "engine/numbers/load_format.h"
#include "engine/numbers/work_notation.h"

#include <charconv>
#include <functional>
#include <thread>
#include <vector>
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

namespace {

void appendCsvLines(std::string& block, const TCycle* cycles, std::size_t count, std::int64_t cumulative)
{
    char text[64];
    for (std::size_t i = 0; i < count; ++i) {
        const TCycle& c = cycles[i];
        cumulative += halvesOf(c);
        for (long double load : {c.Range, c.Upper, c.Lower}) {
            block.append(text, formatShortest(load, text));
            block += ',';
        }
        block.append(text, writeHalfCount(halvesOf(c), text));
        block += ',';
        block.append(text, writeHalfCount(cumulative, text));
        block += '\n';
    }
}

} // namespace

void writeCyclesCsv(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount)
{
    out << "range,upper,lower,count,cumulative\n";
    // Millions of cycles are common: they go out in blocks, and a second core
    // writes the second half of each block's lines.
    constexpr std::size_t kBatch = 1 << 15;
    const bool helper = std::thread::hardware_concurrency() > 1 && cycleCount > static_cast<std::int32_t>(kBatch);
    std::vector<TCycle> batch;
    batch.reserve(kBatch);
    std::string first, second;
    std::int64_t cumulative = 0;
    CycleReader cycles(table, cycleCount);
    for (bool more = true; more;) {
        batch.clear();
        TCycle c;
        while (batch.size() < kBatch && (more = cycles.next(c)))
            batch.push_back(c);
        const std::size_t half = helper ? batch.size() / 2 : batch.size();
        std::int64_t cumulativeAtHalf = cumulative;
        for (std::size_t i = 0; i < half; ++i)
            cumulativeAtHalf += halvesOf(batch[i]);
        first.clear();
        second.clear();
        std::thread other;
        if (half < batch.size())
            other = std::thread(appendCsvLines, std::ref(second), batch.data() + half, batch.size() - half, cumulativeAtHalf);
        appendCsvLines(first, batch.data(), half, cumulative);
        if (other.joinable())
            other.join();
        for (const TCycle& done : batch)
            cumulative += halvesOf(done);
        out.write(first.data(), static_cast<std::streamsize>(first.size()));
        out.write(second.data(), static_cast<std::streamsize>(second.size()));
    }
}

void writeCountJson(std::ostream& out, const TRainflowRun& run, RunResult result, const TCycleTable& table,
                    std::int32_t cycleCount, const std::string& extraMember)
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
        cumulative += halvesOf(c);
        out << (first ? "\n" : ",\n") << "    {\"range\": " << jsonNumber(c.Range)
            << ", \"upper\": " << jsonNumber(c.Upper) << ", \"lower\": " << jsonNumber(c.Lower)
            << ", \"count\": " << formatHalfCount(halvesOf(c)) << ", \"cumulative\": " << formatHalfCount(cumulative)
            << "}";
    }
    out << (cycleCount > 0 ? "\n  ]" : "]");
    if (!extraMember.empty())
        out << ",\n  " << extraMember;
    out << "\n}\n";
}

} // namespace tessivo::cli
