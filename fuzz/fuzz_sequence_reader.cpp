// Any bytes as a sequence file: the reader must end, write exactly the values
// it reports, and keep extremes that describe them.
#include "fuzz_scratch.h"
#include "engine/record/io_error.h"
#include "engine/files/sequence_reader.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = tessivo::fuzz::scratchFolder() + "/input.txt";
    const std::string work = tessivo::fuzz::scratchFolder() + "/work.tmp";
    FILE* f = std::fopen(input.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    const tessivo::SequenceStats stats = tessivo::readSequenceToWorkFile(input, work);
    tessivo::WorkFileReader reader(work);
    long double v = 0.0L;
    std::int32_t lines = 0;
    while (reader.next(v)) {
        ++lines;
        if (!(v <= stats.HighestPeak && v >= stats.LowestTrough)
            && !(tessivo::roundToWorkPrecision(stats.HighestPeak) >= v
                 && tessivo::roundToWorkPrecision(stats.LowestTrough) <= v))
            std::abort(); // a written value outside the reported extremes
    }
    if (lines != stats.Points)
        std::abort();
    if (stats.Proper && stats.Points == 0)
        std::abort();
    return 0;
}
