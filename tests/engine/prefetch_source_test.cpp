#include "memory_values.h"
#include "prefetch_source.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

} // namespace

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
