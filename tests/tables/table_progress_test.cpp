// The progress of reading a table column: bytes of the file, plain or
// compressed, rising to its size; a reading stopped by it changes nothing.
#include "engine/files/work_files.h"
#include "engine/record/run_record.h"
#include "engine/tables/layout_detection.h"
#include "engine/tables/table_column_format.h"
#include "engine/tables/time_column.h"

#include "tests/engine/test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace tessivo {
namespace {

struct Stopped : std::runtime_error {
    Stopped() : std::runtime_error("stopped") {}
};

std::string rowsOf(int n)
{
    std::string rows = "t,F\n";
    for (int i = 0; i < n; ++i)
        rows += std::to_string(i) + "," + std::to_string(i % 9 - 4) + "\n";
    return rows;
}

TEST(TableReadProgress, RisesThroughTheFileToItsSizePlainOrCompressed)
{
    test::TempDir dir;
    const std::string rows = rowsOf(300000);
    const std::string plain = dir.write("t.csv", rows);
    const std::string packed = dir.file("t.csv.gz");
    {
        gzFile gz = gzopen(packed.c_str(), "wb");
        ASSERT_NE(gz, nullptr);
        gzwrite(gz, rows.data(), static_cast<unsigned>(rows.size()));
        gzclose(gz);
    }
    for (const std::string& path : {plain, packed}) {
        SCOPED_TRACE(path);
        const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
        std::vector<std::int64_t> seen;
        const auto watch = [&](std::int64_t done, std::int64_t total) {
            EXPECT_EQ(total, size);
            seen.push_back(done);
        };
        const TableLayout layout = detectTableLayout(path);
        TRainflowRun run;
        TableColumnRef ref{path, layout, 1, false};
        ASSERT_EQ(openTableColumn(run, ref, dir.str() + "/", watch), OpenOutcome::Ok);
        EXPECT_EQ(run.SeqLength, 300000);
        ASSERT_GE(seen.size(), 3U); // a step every 65536 values
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GT(seen.back(), 0);
        EXPECT_LE(seen.back(), size);
        seen.clear();
        ASSERT_TRUE(readTimeColumn(path, layout, watch).has_value());
        EXPECT_GE(seen.size(), 3U);
    }
}

TEST(TableReadProgress, AReadingItStopsKeepsTheSlotAndItsWorkFile)
{
    test::TempDir dir;
    const std::string work = dir.str() + "/";
    const std::string small = dir.write("small.csv", rowsOf(10));
    const std::string large = dir.write("large.csv", rowsOf(300000));
    TRainflowRun run;
    ASSERT_EQ(openTableColumn(run, {small, detectTableLayout(small), 1, false}, work), OpenOutcome::Ok);
    const std::string slotFile = workFilePath(work, sequenceSlotFileName(1));
    const std::string before = test::readAll(slotFile);
    int calls = 0;
    const auto stopAtTheSecond = [&](std::int64_t, std::int64_t) {
        if (++calls == 2)
            throw Stopped();
    };
    EXPECT_THROW(openTableColumn(run, {large, detectTableLayout(large), 1, false}, work, stopAtTheSecond), Stopped);
    EXPECT_EQ(run.SeqLength, 10);
    EXPECT_EQ(run.Sequences[1].FileName, small);
    EXPECT_EQ(test::readAll(slotFile), before);
    EXPECT_FALSE(std::filesystem::exists(slotFile + ".part"));
}

} // namespace
} // namespace tessivo
