#pragma once
// Runs the built tessivo-count and captures what the user would see.

#include "tests/engine/test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tessivo::test {

struct CliRun {
    int status = -1; // the exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// The argument vector of tessivo-count with args; `storage` holds the strings.
inline std::vector<char*> countArgv(std::vector<std::string>& storage, const std::vector<std::string>& args)
{
    storage = {TESSIVO_COUNT_BINARY};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs the binary with args in the folder cwd; stdout and stderr go to files
// in capture, a folder of the caller's that must exist.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& cwd, const std::string& capture)
{
    const std::string outPath = capture + "/stdout.txt";
    const std::string errPath = capture + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    std::vector<std::string> storage;
    std::vector<char*> argv = countArgv(storage, args);
    CliRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, TESSIVO_COUNT_BINARY, &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        if (WIFEXITED(wstatus))
            run.status = WEXITSTATUS(wstatus);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readAll(outPath);
    run.err = readAll(errPath);
    return run;
}

// A random walk in three decimals (normal steps of 10), as text with '.'.
inline std::vector<std::string> randomWalkText(std::mt19937_64& rng, std::size_t n)
{
    std::normal_distribution<double> step(0.0, 10.0);
    std::vector<std::string> values;
    double v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        v += step(rng);
        std::ostringstream s;
        s.setf(std::ios::fixed);
        s.precision(3);
        s << v;
        values.push_back(s.str());
    }
    return values;
}

} // namespace tessivo::test
