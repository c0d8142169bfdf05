// Reading rate of the table reader against the plain sequence reader on the
// same numbers: writes an eight-column table of a random walk per column
// (three decimals, a line of names) and the same rows separated by blanks
// without names (a plain sequence file), then times one pass of each reader.
//   table_read_bench FOLDER [MEGABYTES]   (default 1024; the files are removed)
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"
#include "engine/files/sequence_reader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kColumns = 8;

void writeFiles(const std::string& table, const std::string& plain, long long bytes)
{
    FILE* t = std::fopen(table.c_str(), "wb");
    FILE* p = std::fopen(plain.c_str(), "wb");
    if (!t || !p)
        std::exit(2);
    std::fputs("time,ch1,ch2,ch3,ch4,ch5,ch6,ch7\n", t);
    std::mt19937_64 rng(12345);
    std::normal_distribution<double> step(0.0, 10.0);
    double v[kColumns] = {};
    long long written = 0;
    char line[256];
    for (long long row = 0; written < bytes; ++row) {
        int n = std::snprintf(line, sizeof line, "%.3f", static_cast<double>(row) * 0.01);
        for (int c = 1; c < kColumns; ++c) {
            v[c] += step(rng);
            n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ",%.3f", v[c]);
        }
        line[n++] = '\n';
        std::fwrite(line, 1, static_cast<std::size_t>(n), t);
        for (int i = 0; i < n; ++i)
            line[i] = line[i] == ',' ? ' ' : line[i];
        std::fwrite(line, 1, static_cast<std::size_t>(n), p);
        written += n;
    }
    std::fclose(t);
    std::fclose(p);
}

template <class F>
void timed(const char* label, const std::string& path, F&& read)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    const auto start = std::chrono::steady_clock::now();
    const long long values = read();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-44s %8.2f s %8.0f MB/s %8.1f M values/s\n", label, s, static_cast<double>(st.st_size) / 1e6 / s,
                static_cast<double>(values) / 1e6 / s);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: table_read_bench FOLDER [MEGABYTES]\n");
        return 1;
    }
    const long long megabytes = argc > 2 ? std::atoll(argv[2]) : 1024;
    const std::string table = std::string(argv[1]) + "/table.csv";
    const std::string plain = std::string(argv[1]) + "/plain.txt";
    writeFiles(table, plain, megabytes << 20);
    for (int round = 0; round < 2; ++round) { // the first round warms the page cache
        timed("plain reader, all values", plain, [&] {
            tessivo::SequenceFileSource source(plain);
            long long n = 0;
            for (long double v; source.next(v);)
                ++n;
            return n;
        });
        timed("table reader, eight columns in one pass", table, [&] {
            const auto layout = tessivo::detectTableLayout(table);
            const auto stats = tessivo::scanTableColumns(table, layout, {0, 1, 2, 3, 4, 5, 6, 7}, false);
            long long n = 0;
            for (const auto& s : stats)
                n += s.points;
            return n;
        });
        timed("table reader, one column", table, [&] {
            tessivo::TableColumnSource source(table, tessivo::detectTableLayout(table), 3, false);
            long double block[4096];
            long long n = 0;
            while (const std::size_t got = source.nextBlock(block, 4096))
                n += static_cast<long long>(got);
            return n;
        });
    }
    ::unlink(table.c_str());
    ::unlink(plain.c_str());
    return 0;
}
