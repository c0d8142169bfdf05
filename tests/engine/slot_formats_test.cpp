// The inputs behind one seam: a plain sequence file, a table column and a
// slot's work file holding the same numbers join into the same combined
// sequence, repeated and scaled, however it is read; a count mixes them.

#include "engine/files/combined_sequence.h"
#include "engine/files/prefetch_source.h"
#include "engine/files/sequence_file_format.h"
#include "engine/files/sequence_loading.h"
#include "engine/files/work_file_format.h"
#include "engine/files/work_files.h"
#include "engine/record/input_too_large.h"
#include "engine/run/count.h"
#include "engine/tables/table_column_format.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace tessivo {
namespace {

// Digits beyond the fifteen a work file keeps, none of them a tie.
const std::vector<std::string> kNumbers = {"0.123456789012345678", "-98765.4321098765432",   "3.5", "-2", "1e-3",
                                           "12345678901234567890", "0.333333333333333333333"};

// A number as a work file holds it: written with 15 significant digits, read back.
long double workValue(long double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.14Le", v);
    return std::strtold(text, nullptr);
}

std::string lines(const std::vector<std::string>& cells, const std::string& head = {})
{
    std::string text = head;
    for (const std::string& cell : cells)
        text += cell + "\n";
    return text;
}

// Slot 1 twice unscaled, slot 2 once at -2.5, from the definition.
std::vector<long double> expectedJoin()
{
    std::vector<long double> given;
    for (const std::string& n : kNumbers)
        given.push_back(workValue(std::strtold(n.c_str(), nullptr)));
    std::vector<long double> join = given;
    join.insert(join.end(), given.begin(), given.end());
    for (const long double v : given)
        join.push_back(workValue(v * -2.5L));
    return join;
}

using FormatOf =
    std::function<std::shared_ptr<const SequenceFormat>(const test::TempDir&, std::int32_t slot, const TRainflowRun&)>;

struct FormatCase {
    const char* name;
    FormatOf make;
};

std::vector<FormatCase> formatCases()
{
    return {
        {"plain file",
         [](const test::TempDir& dir, std::int32_t slot, const TRainflowRun&) {
             return std::make_shared<SequenceFileFormat>(
                 dir.write("plain" + std::to_string(slot) + ".txt", lines(kNumbers)));
         }},
        {"table column",
         [](const test::TempDir& dir, std::int32_t slot, const TRainflowRun&) {
             std::vector<std::string> rows;
             for (std::size_t i = 0; i < kNumbers.size(); ++i)
                 rows.push_back(std::to_string(i) + ";" + kNumbers[i]);
             const std::string path = dir.write("table" + std::to_string(slot) + ".csv", lines(rows, "t;F\n"));
             return std::make_shared<TableColumnFormat>(TableColumnRef{path, detectTableLayout(path), 1, false});
         }},
        {"work file",
         [](const test::TempDir& dir, std::int32_t slot, const TRainflowRun& run) {
             return std::make_shared<WorkFileFormat>(workFilePath(dir.str(), sequenceSlotFileName(slot)),
                                                     run.Sequences[static_cast<std::size_t>(slot)].Points);
         }},
    };
}

// Slots 1 and 2 loaded from the numbers (their work files written) and the
// format of each; `slot 3` is loaded but inactive, and must not be read.
struct Joined {
    std::unique_ptr<TRainflowRun> run = std::make_unique<TRainflowRun>();
    SlotFormats formats;
};

Joined joinedSlots(const test::TempDir& dir, const FormatCase& format)
{
    Joined j;
    const std::string plain = dir.write("loaded.txt", lines(kNumbers));
    for (std::int32_t slot = 1; slot <= 3; ++slot)
        EXPECT_EQ(loadSequenceSlot(*j.run, slot, plain, dir.str()), OpenOutcome::Ok);
    j.run->SeqCount = 3;
    j.run->Sequences[1].Repetitions = 2;
    j.run->Sequences[2].Scale = -2.5L;
    j.run->Sequences[3].Active = false;
    for (std::int32_t slot = 1; slot <= 3; ++slot)
        j.formats.push_back(format.make(dir, slot, *j.run));
    return j;
}

std::vector<long double> readByValue(ValueSource& in)
{
    std::vector<long double> values;
    for (long double v = 0; in.next(v);)
        values.push_back(v);
    return values;
}

std::vector<long double> readInBlocks(ValueSource& in, std::size_t block)
{
    std::vector<long double> values, buffer(block);
    while (const std::size_t n = in.nextBlock(buffer.data(), block))
        values.insert(values.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    return values;
}

TEST(SlotFormats, EveryFormatJoinsToTheSameCombinedSequenceHoweverItIsRead)
{
    const std::vector<long double> expected = expectedJoin();
    for (const FormatCase& format : formatCases()) {
        SCOPED_TRACE(format.name);
        test::TempDir dir;
        Joined j = joinedSlots(dir, format);
        EXPECT_EQ(j.formats[0]->scan().Points, static_cast<std::int32_t>(kNumbers.size()));
        const auto combined = [&] { return CombinedSequence(*j.run, j.formats); };
        CombinedSequence byValue = combined();
        EXPECT_EQ(readByValue(byValue), expected);
        for (const std::size_t block : {1, 3, 4096}) {
            CombinedSequence inBlocks = combined();
            EXPECT_EQ(readInBlocks(inBlocks, block), expected) << "blocks of " << block;
        }
        CombinedSequence behind = combined();
        PrefetchSource ahead(behind);
        EXPECT_EQ(readInBlocks(ahead, 5), expected);
    }
}

TEST(SlotFormats, AnInputShorterThanItsSlotIsRefusedNamingItsFile)
{
    for (const FormatCase& format : formatCases()) {
        SCOPED_TRACE(format.name);
        test::TempDir dir;
        Joined j = joinedSlots(dir, format);
        // The second slot's input loses its last value after it was loaded.
        const std::string& path = j.formats[1]->fileName();
        std::string text = test::readAll(path);
        text.resize(text.rfind('\n', text.size() - 2) + 1);
        dir.write(std::filesystem::path(path).filename().string(), text);
        CombinedSequence combined(*j.run, j.formats);
        std::size_t taken = 0;
        try {
            for (long double v = 0; combined.next(v);)
                ++taken;
            ADD_FAILURE() << "read to the end";
        } catch (const FileShortenedError& e) {
            EXPECT_EQ(e.path(), path);
        }
        // A work file is refused when it is opened, the others at their end.
        const bool workFile = format.name == std::string("work file");
        EXPECT_EQ(taken, 2 * kNumbers.size() + (workFile ? 0 : kNumbers.size() - 1));
    }
}

TEST(SlotFormats, AScaledLoadBeyondRangeComesAfterTheValuesBeforeIt)
{
    test::TempDir dir;
    auto run = std::make_unique<TRainflowRun>();
    const std::string path = dir.write("far.txt", "1 2 3 1e4000 4");
    ASSERT_EQ(scanSequenceSlot(*run, 1, path), OpenOutcome::Ok);
    run->SeqCount = 1;
    run->Sequences[1].Scale = 1e1000L;
    CombinedSequence combined(*run, {std::make_shared<SequenceFileFormat>(path)});
    long double block[8];
    ASSERT_EQ(combined.nextBlock(block, 8), 3u);
    EXPECT_EQ(block[2], workValue(3e1000L));
    EXPECT_THROW(combined.nextBlock(block, 8), InputTooLarge);
}

std::string tableOf(const std::vector<std::string>& cells)
{
    std::string text = "F\n";
    for (const std::string& cell : cells)
        text += cell + "\n";
    return text;
}

std::vector<std::string> walk(int count)
{
    std::vector<std::string> cells;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> step(-400, 400);
    int x = 0;
    for (int i = 0; i < count; ++i) {
        x += step(rng);
        cells.push_back(std::to_string(x / 100) + "." + std::to_string(std::abs(x % 100) / 10));
        if (x < 0 && x > -100)
            cells.back().insert(0, "-");
    }
    return cells;
}

TableColumnInput columnOf(const std::string& path, std::int32_t repetitions, long double scale)
{
    TableColumnInput input;
    input.ref = TableColumnRef{path, detectTableLayout(path), 0, false};
    input.stats = scanTableColumns(path, input.ref.layout, {0}, false).front();
    input.repetitions = repetitions;
    input.scale = scale;
    return input;
}

void expectSameCount(const CountResult& a, const CountResult& b)
{
    EXPECT_EQ(a.result(), b.result());
    EXPECT_EQ(a.sequenceLength(), b.sequenceLength());
    EXPECT_EQ(a.highestPeak(), b.highestPeak());
    EXPECT_EQ(a.lowestTrough(), b.lowestTrough());
    const CycleColumns x = a.columns(), y = b.columns();
    EXPECT_EQ(x.range, y.range);
    EXPECT_EQ(x.upper, y.upper);
    EXPECT_EQ(x.count, y.count);
}

TEST(CountSlots, FormatsMixInOneCountAsTheirPlainFilesWould)
{
    test::TempDir dir;
    const std::vector<std::string> first = walk(300), second = walk(200);
    const std::string a = dir.write("a.txt", lines(first));
    const std::string b = dir.write("b.txt", lines(second));
    const std::string bTable = dir.write("b.csv", tableOf(second));
    const TableColumnInput column = columnOf(bTable, 1, 1.5L);
    CountRequest request;
    request.filter = 0.5L;
    for (const bool workFiles : {false, true}) {
        SCOPED_TRACE(workFiles ? "with work files" : "without");
        test::TempDir work;
        if (workFiles)
            request.workDir = work.str();
        std::vector<SlotInput> mixed = {
            {std::make_shared<SequenceFileFormat>(a), 2, 1.0L, 0.5L, {}},
            {std::make_shared<TableColumnFormat>(column.ref, column.stats), 1, 1.5L, 1.0L, {}},
        };
        const CountResult fromMixed = count(request, CountInputs::ofSlots(std::move(mixed)));
        const CountResult fromFiles = count(request, CountInputs::files({{a, 2, 1.0L, 0.5L}, {b, 1, 1.5L}}));
        expectSameCount(fromMixed, fromFiles);
        EXPECT_EQ(fromMixed.sequenceLength(), 2 * 300 + 200);
        // The slots' weights carried into the totals: 2 x 0.5 + 1 x 1.
        EXPECT_EQ(fromMixed.record().TotalWeight, 2.0L);
    }
}

TEST(CountSlots, ATableColumnIsNeverCutInHalvesAsAPlainFile)
{
    test::TempDir dir;
    const std::vector<std::string> cells = walk(2000);
    const std::string plain = dir.write("f.txt", lines(cells));
    const std::string table = dir.write("f.csv", tableOf(cells));
    for (const bool unlimited : {true, false}) {
        SCOPED_TRACE(unlimited ? "unlimited" : "limited");
        CountRequest request;
        request.unlimited = unlimited;
        request.splitFrom = 64; // two halves for any plain file of these
        const CountResult fromColumn = count(request, CountInputs::columns({columnOf(table, 1, 1.0L)}, "F"));
        expectSameCount(fromColumn, count(request, CountInputs::files({{plain}})));
    }
}

TEST(CountSlots, ColumnsRefusedByTheChecksLeaveNoWorkFile)
{
    test::TempDir dir, work;
    const std::string table = dir.write("f.csv", tableOf(walk(50)));
    CountRequest request;
    request.filter = 1e9L; // wider than the loads spread
    request.workDir = work.str();
    EXPECT_THROW(count(request, CountInputs::columns({columnOf(table, 1, 1.0L)}, "F")), CountRefused);
    EXPECT_TRUE(std::filesystem::is_empty(work.str()));
}

TEST(CountSlots, AColumnWithoutNumbersIsRefusedByItsOwnFormat)
{
    test::TempDir dir;
    const std::string table = dir.write("f.csv", "F;G;H\n1;;3\n2;;4\n");
    TableColumnInput column;
    column.ref = TableColumnRef{table, detectTableLayout(table), 1, true};
    column.stats = scanTableColumns(table, column.ref.layout, {1}, true).front();
    try {
        count(CountRequest{}, CountInputs::columns({column}, "G"));
        ADD_FAILURE() << "counted";
    } catch (const TableFormatError& e) {
        EXPECT_EQ(e.column(), 2);
        EXPECT_EQ(e.file(), table);
    }
}

} // namespace
} // namespace tessivo
