// The layout detection under noise: a random well-formed table with lines
// that are no rows put in below its first row reads as the rows it holds or
// is refused at one of those lines; never as other values.

#include "tests/tables/noise_tables.h"

#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace tessivo {
namespace {

// The file as a failure shows it, every CR seen.
std::string shown(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

TEST(TableNoise, RowsReadRightOrRefusedAtANoiseLine)
{
    test::TempDir dir;
    std::mt19937_64 rng(22);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        const noise::NoisyTable table = noise::noisyTable(rng);
        const noise::NoiseOutcome outcome = noise::readNoisyTable(dir.write("t.txt", table.text));
        refused += outcome.refused;
        EXPECT_TRUE(noise::keepsTheProperty(table, outcome)) << outcome.message << "\n" << shown(table.text);
    }
    EXPECT_GT(refused, 1500); // most noise is refused; an END or footer at the very end is not
}

} // namespace
} // namespace tessivo
