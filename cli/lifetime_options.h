#pragma once
// The options of a design life over many recordings and of the summary:
// --design-life YEARS with --lifetime WEIGHTS.csv, and --summary (one row
// per channel, count or recording, in csv or json).

#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

struct CountOptions;

struct LifetimeOptions {
    std::optional<long double> designLife; // years
    std::optional<std::string> weights;    // the weights table
    bool summary = false;
    bool active() const { return weights.has_value(); }
};

// "--design-life", "--lifetime": the options that take a value.
const std::vector<std::string>& lifetimeOptionNames();
inline constexpr const char* kSummaryOption = "--summary";

// Takes the value of one of lifetimeOptionNames(). Throws
// std::invalid_argument naming the option and the bad value.
void setLifetimeOption(LifetimeOptions& options, const std::string& name, const std::string& value);

// After all options: what does not go with a lifetime or a summary, or
// nothing. Called before the fatigue options are finished.
std::optional<std::string> lifetimeOptionsProblem(const CountOptions& options);

// The lines of the usage text, each ending with a line feed.
std::string lifetimeUsageText();

} // namespace tessivo::cli
