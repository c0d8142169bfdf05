// The engine's in-memory count of raw float64 values (a file of native
// doubles), exactly as the Python module runs it, without Python: the
// reference of bench/python_bench.py. Prints the best of R wall times.
//   memory_count_bench FILE [R] [BINS|0] [unlimited]

#include "engine/files/strided_values.h"
#include "engine/run/count.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: memory_count_bench FILE [REPEATS] [BINS|0] [unlimited]\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
    const auto bytes = static_cast<std::size_t>(in.tellg());
    std::vector<double> values(bytes / sizeof(double));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(values.size() * sizeof(double)));
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    tessivo::CountRequest request;
    if (argc > 3 && std::atoi(argv[3]) > 0)
        request.setEqualClasses(std::atoi(argv[3]));
    request.unlimited = argc > 4 && std::string(argv[4]) == "unlimited";

    double best = 1e300;
    std::size_t cycles = 0;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        tessivo::StridedValues<double> strided(values.data(), static_cast<std::int64_t>(values.size()), sizeof(double));
        std::int64_t notFinite = -1;
        const tessivo::SequenceExtent extent = strided.extent(notFinite);
        const tessivo::CountResult count = tessivo::count(request, tessivo::CountInputs::values(strided, extent));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        cycles = static_cast<std::size_t>(count.cycleCount());
    }
    std::printf("%.4f %zu\n", best, cycles);
    return 0;
}
