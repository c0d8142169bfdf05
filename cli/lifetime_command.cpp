#include "lifetime_command.h"

#include "cli_messages.h"
#include "count_command.h"

#include "engine/run/lifetime_run.h"
#include "engine/run/outputs/summary_output.h"
#include "engine/run/summary.h"

namespace tessivo::cli {

bool wantsSummary(const CountOptions& options)
{
    return options.lifetime.summary || options.lifetime.active();
}

ExitStatus runSummary(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    const FatigueRequest& fatigue = options.output.fatigue;
    const OutputFormat format = options.output.format;
    return reportingRefusals(out, err, [&] {
        if (!options.lifetime.active()) {
            const auto notice = [&err](const std::string& text) { err << kErrorPrefix << text << '\n'; };
            const std::vector<SummaryRow> rows =
                summarise(options.request, fatigue, options.sequences, options.columns, notice);
            if (format == OutputFormat::Csv)
                writeSummaryCsv(out, rows, fatigue);
            else
                writeSummaryJson(out, rows, fatigue);
            return;
        }
        LifetimeRequest lifetime;
        lifetime.weights = *options.lifetime.weights;
        lifetime.settings.designLife = *options.lifetime.designLife;
        lifetime.settings.equivalentCycles = options.fatigue.delCycles;
        lifetime.settings.delFrequency = options.fatigue.delFrequency;
        lifetime.duration = fatigue.settings.duration;
        const LifetimeResult result = countLifetime(options.request, fatigue, lifetime, options.columns);
        if (format == OutputFormat::Csv)
            writeSummaryCsv(out, recordingRows(result), fatigue, &result);
        else if (format == OutputFormat::Json && options.lifetime.summary)
            writeSummaryJson(out, recordingRows(result), fatigue, &result);
        else if (format == OutputFormat::Json)
            writeLifetimeJson(out, result, fatigue);
        else
            writeLifetimeReport(out, result, fatigue);
    });
}

} // namespace tessivo::cli
