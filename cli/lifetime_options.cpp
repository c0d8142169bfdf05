#include "lifetime_options.h"

#include "cli_messages.h"
#include "cli_options.h"

#include "engine/run/number_text.h"

#include <cmath>
#include <stdexcept>

namespace tessivo::cli {

const std::vector<std::string>& lifetimeOptionNames()
{
    static const std::vector<std::string> names = {"--design-life", "--lifetime"};
    return names;
}

void setLifetimeOption(LifetimeOptions& options, const std::string& name, const std::string& value)
{
    if (name == "--lifetime") {
        if (value.empty())
            throw std::invalid_argument(kLifetimeNeedsFile);
        options.weights = value;
        return;
    }
    long double years = 0.0L;
    if (!parseDecimal(value, years) || !std::isfinite(years) || years <= 0.0L)
        throw std::invalid_argument(positiveNumberProblem(name, value));
    options.designLife = years;
}

std::optional<std::string> lifetimeOptionsProblem(const CountOptions& options)
{
    const LifetimeOptions& l = options.lifetime;
    const OutputFormat format = options.output.format;
    const bool lifetime = l.active() || l.designLife;
    if (l.summary && format != OutputFormat::Csv && format != OutputFormat::Json)
        return std::string(kSummaryFormats);
    if ((l.summary || lifetime) && options.output.fatigue.matrix)
        return std::string(kMatrixWithSummary);
    if ((l.summary || lifetime) && options.savePartial)
        return std::string(kSavePartialWithSummary);
    if (!lifetime)
        return std::nullopt;
    if (l.active() != l.designLife.has_value())
        return std::string(kDesignLifeAndLifetime);
    if (!options.sequences.empty())
        return std::string(kLifetimeTakesNoFile);
    if (format == OutputFormat::Cycles)
        return std::string(kLifetimeFormats);
    if (!options.output.fatigue.evaluates())
        return std::string(kLifetimeNeedsEvaluation);
    if (options.columns.allColumns || options.columns.columns.size() > 1)
        return std::string(kLifetimeOneColumn);
    return std::nullopt;
}

std::string lifetimeUsageText()
{
    return "Lifetime and summary:\n"
           "  --design-life YEARS --lifetime WEIGHTS.csv\n"
           "                      instead of FILEs: the recordings of the table (a line of\n"
           "                      names, then file,hours_per_year; paths from its folder),\n"
           "                      each counted alone (its duration from its time column,\n"
           "                      else --duration); damage = YEARS x sum hours x 3600 /\n"
           "                      duration x D, its utilisation and DELs (N_eq: --del-cycles,\n"
           "                      or --del-frequency x the lifetime's seconds; 1e7)\n"
           "  --summary           one csv or json row per channel (or per count of the\n"
           "                      FILEs joined, or per recording and the lifetime): length,\n"
           "                      extremes, cycles, damage, life, utilisation, check, DELs\n";
}

} // namespace tessivo::cli
