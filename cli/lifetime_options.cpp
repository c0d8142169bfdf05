#include "lifetime_options.h"

#include "cli_messages.h"
#include "cli_options.h"

#include "engine/run/number_text.h"

#include <cmath>
#include <stdexcept>

namespace tessivo::cli {

const std::vector<std::string>& lifetimeOptionNames()
{
    static const std::vector<std::string> names = {"--design-life", "--lifetime", "--weibull", "--bin-width",
                                                   "--hours-per-year"};
    return names;
}

namespace {

long double positiveNumber(const std::string& name, const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v) || v <= 0.0L)
        throw std::invalid_argument(positiveNumberProblem(name, text));
    return v;
}

} // namespace

void setLifetimeOption(LifetimeOptions& options, const std::string& name, const std::string& value)
{
    if (name == "--lifetime") {
        if (value.empty())
            throw std::invalid_argument(kLifetimeNeedsFile);
        options.weights = value;
    } else if (name == "--weibull") {
        const auto comma = value.find(',');
        if (comma == std::string::npos || value.find(',', comma + 1) != std::string::npos)
            throw std::invalid_argument(kWeibullTakesTwo + std::string(", not '") + value + "'");
        options.weibull = fatigue::WeibullBins{positiveNumber(name, value.substr(0, comma)),
                                               positiveNumber(name, value.substr(comma + 1))};
    } else if (name == "--bin-width") {
        options.binWidth = positiveNumber(name, value);
    } else if (name == "--hours-per-year") {
        options.hoursPerYear = positiveNumber(name, value);
    } else {
        options.designLife = positiveNumber(name, value);
    }
}

std::optional<std::string> lifetimeOptionsProblem(CountOptions& options)
{
    LifetimeOptions& l = options.lifetime;
    if ((l.binWidth || l.hoursPerYear) && !l.weibull)
        return std::string(kBinsNeedWeibull);
    if (l.weibull && !l.active())
        return std::string(kWeibullNeedsLifetime);
    if (l.weibull) {
        l.weibull->binWidth = l.binWidth;
        l.weibull->hoursPerYear = l.hoursPerYear.value_or(fatigue::kHoursPerYear);
    }
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
           "                      or --del-frequency x the lifetime's seconds; 1e7); one\n"
           "                      lifetime per channel with several --column or --all-columns\n"
           "  --weibull K,A [--bin-width W] [--hours-per-year H]\n"
           "                      a table of file,wind_speed (bins' centres, m/s): each bin\n"
           "                      H x (F(v+W/2) - F(v-W/2)) hours, F(v) = 1-exp(-(v/A)^K),\n"
           "                      shared by its rows; W the centres' spacing, H 8766\n"
           "  --summary           one csv or json row per channel (or per count of the\n"
           "                      FILEs joined, or per recording and the lifetime): length,\n"
           "                      extremes, cycles, damage, life, utilisation, check, DELs\n";
}

} // namespace tessivo::cli
