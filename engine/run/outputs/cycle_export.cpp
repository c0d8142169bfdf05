#include "engine/run/outputs/cycle_export.h"

#include "engine/numbers/load_format.h"
#include "engine/numbers/work_notation.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>
#include <string>
#include <cmath>

namespace tessivo {
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

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

namespace {

void appendCsvLines(std::string& block, const TCycle* cycles, std::size_t count, std::int64_t cumulative, bool)
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

void appendJsonNumber(std::string& block, long double v)
{
    char text[64];
    if (std::isfinite(v))
        block.append(text, formatShortest(v, text));
    else
        block += "null";
}

// `first`: the block starts the list, so its first object has no comma before it.
void appendJsonObjects(std::string& block, const TCycle* cycles, std::size_t count, std::int64_t cumulative, bool first)
{
    char text[64];
    for (std::size_t i = 0; i < count; ++i) {
        const TCycle& c = cycles[i];
        cumulative += halvesOf(c);
        block += first && i == 0 ? "\n    {\"range\": " : ",\n    {\"range\": ";
        appendJsonNumber(block, c.Range);
        block += ", \"upper\": ";
        appendJsonNumber(block, c.Upper);
        block += ", \"lower\": ";
        appendJsonNumber(block, c.Lower);
        block += ", \"count\": ";
        block.append(text, writeHalfCount(halvesOf(c), text));
        block += ", \"cumulative\": ";
        block.append(text, writeHalfCount(cumulative, text));
        block += '}';
    }
}

using AppendLines = void (*)(std::string&, const TCycle*, std::size_t, std::int64_t, bool);

// Millions of cycles are common: they go out in blocks, and a second core
// formats the second half of each block's lines.
void writeInBlocks(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount, AppendLines append)
{
    constexpr std::size_t kBatch = 1 << 15;
    const bool helper = std::thread::hardware_concurrency() > 1 && cycleCount > static_cast<std::int32_t>(kBatch);
    std::vector<TCycle> batch;
    batch.reserve(kBatch);
    std::string first, second;
    std::int64_t cumulative = 0;
    bool atStart = true;
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
            other = std::thread(append, std::ref(second), batch.data() + half, batch.size() - half, cumulativeAtHalf,
                                atStart && half == 0);
        append(first, batch.data(), half, cumulative, atStart);
        if (other.joinable())
            other.join();
        for (const TCycle& done : batch)
            cumulative += halvesOf(done);
        atStart = atStart && batch.empty();
        out.write(first.data(), static_cast<std::streamsize>(first.size()));
        out.write(second.data(), static_cast<std::streamsize>(second.size()));
    }
}

} // namespace

void writeCyclesCsv(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount)
{
    out << "range,upper,lower,count,cumulative\n";
    writeInBlocks(out, table, cycleCount, appendCsvLines);
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
    writeInBlocks(out, table, cycleCount, appendJsonObjects);
    out << (cycleCount > 0 ? "\n  ]" : "]");
    if (!extraMember.empty())
        out << ",\n  " << extraMember;
    out << "\n}\n";
}

} // namespace tessivo
