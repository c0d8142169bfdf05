#include "engine/signal/min_max_pyramid.h"
#include "engine/signal/work_file_range.h"

#include "engine/record/io_error.h"
#include "engine/files/work_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace tessivo {
namespace {

class MemoryRange final : public RawValueReader {
public:
    explicit MemoryRange(const std::vector<double>& values) : m_values(values) {}
    void read(std::int64_t first, std::int64_t count, std::vector<double>& out) override
    {
        out.assign(m_values.begin() + first, m_values.begin() + first + count);
    }

private:
    const std::vector<double>& m_values;
};

// Every column must hold exactly the extremes of its own positions, the
// columns must follow each other without gap or overlap, and together they
// must cover the window asked for.
void expectExactColumns(const std::vector<double>& values, const std::vector<ColumnExtremes>& columns,
                        std::int64_t first, std::int64_t end, int maxColumns)
{
    ASSERT_FALSE(columns.empty());
    EXPECT_LE(static_cast<int>(columns.size()), maxColumns);
    EXPECT_LE(columns.front().first, first);
    EXPECT_GE(columns.back().end, end);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnExtremes& col = columns[c];
        ASSERT_LT(col.first, col.end);
        if (c > 0) {
            ASSERT_EQ(columns[c - 1].end, col.first);
        }
        const auto [lo, hi] = std::minmax_element(values.begin() + col.first, values.begin() + col.end);
        ASSERT_EQ(col.low, *lo) << "column " << c;
        ASSERT_EQ(col.high, *hi) << "column " << c;
    }
}

TEST(MinMaxPyramid, EveryColumnHoldsTheExtremesOfItsPositions)
{
    std::mt19937_64 rng(18);
    for (int round = 0; round < 300; ++round) {
        const auto n = std::uniform_int_distribution<std::int64_t>(1, 5000)(rng);
        const auto cap = std::uniform_int_distribution<std::int64_t>(2, 300)(rng);
        std::vector<double> values;
        double v = 0.0;
        for (std::int64_t i = 0; i < n; ++i)
            values.push_back(v += std::uniform_int_distribution<int>(-9, 9)(rng));
        MinMaxPyramid pyramid(cap);
        for (double x : values)
            pyramid.put(x);
        pyramid.finish();
        ASSERT_EQ(pyramid.size(), n);
        ASSERT_EQ(pyramid.lowest(), *std::min_element(values.begin(), values.end()));
        ASSERT_EQ(pyramid.highest(), *std::max_element(values.begin(), values.end()));
        MemoryRange raw(values);
        for (int window = 0; window < 10; ++window) {
            std::int64_t a = std::uniform_int_distribution<std::int64_t>(0, n - 1)(rng);
            std::int64_t b = std::uniform_int_distribution<std::int64_t>(0, n - 1)(rng);
            if (a > b)
                std::swap(a, b);
            const int columns = std::uniform_int_distribution<int>(1, 400)(rng);
            SCOPED_TRACE(testing::Message()
                         << "n " << n << " cap " << cap << " [" << a << ", " << b + 1 << ") in " << columns);
            expectExactColumns(values, pyramid.reduce(a, b + 1, columns, &raw), a, b + 1, columns);
        }
    }
}

TEST(MinMaxPyramid, FinestLevelStaysWithinItsBound)
{
    MinMaxPyramid pyramid(1024);
    for (int i = 0; i < 100000; ++i)
        pyramid.put(i % 7);
    pyramid.finish();
    EXPECT_LE(100000 / pyramid.blockSize(), 1024);
    EXPECT_TRUE(pyramid.reduce(5, 5, 10, nullptr).empty());
}

TEST(WorkFileRange, ReadsAnyWindowOfAWorkFileAndRefusesAShortOne)
{
    const auto dir = std::filesystem::temp_directory_path() / ("tessivo_range_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "seq.tmp").string();
    {
        WorkFileWriter writer(path);
        for (int i = 0; i < 1000; ++i)
            writer.put(i * 0.25L - 17);
        writer.close();
    }
    WorkFileRange range(path);
    std::vector<double> out;
    range.read(990, 10, out);
    ASSERT_EQ(out.size(), 10u);
    EXPECT_EQ(out.front(), 990 * 0.25 - 17);
    EXPECT_EQ(out.back(), 999 * 0.25 - 17);
    EXPECT_THROW(range.read(995, 10, out), IoError);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tessivo
