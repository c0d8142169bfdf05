#include "engine/files/memory_values.h"
#include "engine/files/prefetch_source.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace tessivo;

namespace {

// Gives 0, 1, 2, ... and fails after `failAfter` values when that is set.
class CountingSource final : public ValueSource {
public:
    CountingSource(long long count, long long failAfter) : m_count(count), m_failAfter(failAfter) {}
    bool next(long double& value) override
    {
        if (m_next == m_failAfter)
            throw std::runtime_error("read failed");
        if (m_next == m_count)
            return false;
        value = static_cast<long double>(m_next++);
        return true;
    }

private:
    long long m_count;
    long long m_failAfter;
    long long m_next = 0;
};

// Takes one value, then a block of `blockSize`, and so on, as a counting
// stage may; returns how many values came before the end or a failure.
long long takeMixed(PrefetchSource& ahead, std::size_t blockSize)
{
    std::vector<long double> block(blockSize);
    long long taken = 0;
    for (bool single = true;; single = !single) {
        if (single) {
            long double v = -1.0L;
            if (!ahead.next(v))
                return taken;
            EXPECT_EQ(v, static_cast<long double>(taken));
            ++taken;
        } else {
            const std::size_t got = ahead.nextBlock(block.data(), blockSize);
            if (got == 0)
                return taken;
            EXPECT_LE(got, blockSize);
            for (std::size_t i = 0; i < got; ++i, ++taken)
                EXPECT_EQ(block[i], static_cast<long double>(taken));
        }
    }
}

} // namespace

TEST(PrefetchSource, GivesEveryValueInOrderSingleOrInBlocks)
{
    for (std::size_t blockSize : {1u, 7u, 512u, 70000u}) {
        CountingSource in(200001, -1);
        PrefetchSource ahead(in);
        EXPECT_EQ(takeMixed(ahead, blockSize), 200001) << blockSize;
        long double v = 0.0L;
        EXPECT_EQ(ahead.nextBlock(&v, 1), 0u) << "stays at the end";
    }
}

TEST(PrefetchSource, GivesEveryValueInOrder)
{
    for (long long count : {0LL, 1LL, 16383LL, 16384LL, 16385LL, 200000LL}) {
        CountingSource in(count, -1);
        PrefetchSource ahead(in);
        long double v = 0.0L;
        long long expected = 0;
        while (ahead.next(v))
            ASSERT_EQ(v, static_cast<long double>(expected++));
        EXPECT_EQ(expected, count);
        EXPECT_FALSE(ahead.next(v)) << "stays at the end";
    }
}

TEST(PrefetchSource, AFailureArrivesAfterTheValuesBeforeIt)
{
    CountingSource in(100000, 50000);
    PrefetchSource ahead(in);
    long double v = 0.0L;
    long long taken = 0;
    try {
        while (ahead.next(v))
            ++taken;
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "read failed");
    }
    EXPECT_EQ(taken, 50000);

    // Taken in blocks, the values before the failure all arrive first too.
    CountingSource again(100000, 50000);
    PrefetchSource blocks(again);
    EXPECT_THROW(takeMixed(blocks, 999), std::runtime_error);
}

TEST(PrefetchSource, StopsCleanlyWhenTheReaderLeavesEarly)
{
    CountingSource in(10000000, -1);
    {
        PrefetchSource ahead(in);
        long double v = 0.0L;
        ASSERT_TRUE(ahead.next(v));
    } // the destructor must not wait for ten million values
}
