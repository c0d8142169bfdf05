// The layout detection under noise, driven by the fuzzer: the input seeds a
// random well-formed table with lines that are no rows put in below its first
// row; it must read as the rows it holds or be refused at one of those lines.
#include "fuzz_scratch.h"
#include "tests/tables/noise_tables.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::seed_seq seed(data, data + size);
    std::mt19937_64 rng(seed);
    const tessivo::noise::NoisyTable table = tessivo::noise::noisyTable(rng);
    const std::string path = tessivo::fuzz::scratchFolder() + "/noisy.csv";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    std::fwrite(table.text.data(), 1, table.text.size(), f);
    std::fclose(f);
    const tessivo::noise::NoiseOutcome outcome = tessivo::noise::readNoisyTable(path);
    if (!tessivo::noise::keepsTheProperty(table, outcome)) {
        std::fprintf(stderr, "%s\n%s", outcome.message.c_str(), table.text.c_str());
        std::abort();
    }
    return 0;
}
