// tessivo-count: rainflow counting of load sequences from the command line.

#include "cli_messages.h"
#include "cli_options.h"
#include "count_command.h"

#include "engine/run/platform.h"
#include "engine/run/errors.h"
#include "partial_commands.h"

#include <iostream>
#include <new>
#include <exception>

#ifndef TESSIVO_VERSION
#define TESSIVO_VERSION "unknown"
#endif

using namespace tessivo;
using namespace tessivo::cli;

namespace {

int run(const std::vector<std::string>& arguments)
{
    std::ios::sync_with_stdio(false);
    const ParsedCommandLine command = parseCommandLine(arguments);
    switch (command.action) {
    case ParsedCommandLine::Action::Help:
        std::cout << usageText();
        return static_cast<int>(ExitStatus::Counted);
    case ParsedCommandLine::Action::Version:
        std::cout << "tessivo-count " TESSIVO_VERSION "\n";
        return static_cast<int>(ExitStatus::Counted);
    case ParsedCommandLine::Action::Error:
        std::cerr << kErrorPrefix << command.error << "\n\n" << usageText();
        return static_cast<int>(ExitStatus::UsageError);
    case ParsedCommandLine::Action::Count:
    case ParsedCommandLine::Action::Merge:
        break;
    }
    try {
        if (command.action == ParsedCommandLine::Action::Merge)
            return static_cast<int>(mergePartialCounts(command.options, std::cout, std::cerr));
        return static_cast<int>(runCount(command.options, std::cout, std::cerr));
    } catch (const IoError& e) {
        std::cerr << kErrorPrefix << e.path() << ": " << e.what() << '\n';
        return static_cast<int>(ExitStatus::IoFailure);
    } catch (const InputTooLarge& e) {
        std::cerr << kErrorPrefix << e.what() << '\n';
        return static_cast<int>(ExitStatus::InputRejected);
    } catch (const std::bad_alloc&) {
        std::cerr << kErrorPrefix << kOutOfMemory << '\n';
        return static_cast<int>(ExitStatus::IoFailure);
    } catch (const std::exception& e) {
        // A failure that no layer foresaw: the environment is the likelier cause.
        std::cerr << kErrorPrefix << e.what() << '\n';
        return static_cast<int>(ExitStatus::IoFailure);
    }
}

} // namespace

#ifdef _WIN32
// The arguments as Windows hands them over, UTF-16, turned into UTF-8 once.
int wmain(int argc, wchar_t** argv)
{
    os::useBinaryStandardStreams();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(os::toUtf8(argv[i]));
    return run(arguments);
}
#else
int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
