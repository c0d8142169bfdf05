// Writes a random walk of N loads (three decimals, fixed seed) as a sequence
// file, one value per line: the input of the end-to-end timings.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_random_walk COUNT FILE\n");
        return 1;
    }
    const long long count = std::atoll(argv[1]);
    FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    std::mt19937_64 rng(20261207);
    std::uniform_int_distribution<int> step(-10000, 10000); // thousandths
    long long walk = 0;
    std::string buffer;
    buffer.reserve(1 << 20);
    for (long long i = 0; i < count; ++i) {
        walk += step(rng);
        const long long whole = walk / 1000;
        const long long frac = std::llabs(walk % 1000);
        char line[40];
        const int n =
            std::snprintf(line, sizeof line, "%s%lld.%03lld\n", (walk < 0 && whole == 0) ? "-" : "", whole, frac);
        buffer.append(line, static_cast<std::size_t>(n));
        if (buffer.size() > (1 << 20) - 64) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
