#include "engine/run/report_builder.h"

#include "engine/numbers/load_format.h"

namespace tessivo {

void WriteSpectrumCharacteristics(ReportWriter& report, const TRainflowRun& run, const std::string& decimalSeparator)
{
    report.setTabStops({0, 135});
    report.boldOn();
    report.addLine("Spectrum characteristics");
    report.boldOff();
    report.addLine("Sequence length: \t" + formatWholeNumber(run.SeqLength));
    report.addLine("Highest Peak: \t" + formatLoad(run.HighestPeak, decimalSeparator));
    report.addLine("Lowest Trough: \t" + formatLoad(run.LowestTrough, decimalSeparator));
}

void WriteLoadCycles(ReportWriter& report, const TCycleTable& table, std::int32_t cycleCount,
                     const std::string& decimalSeparator)
{
    report.setTabStops({0, 55, 110, 165, 220, 275});
    report.boldOn();
    report.addLine("Load cycles");
    report.boldOff();
    report.addLine("Load\tMaximum\tMinimum\tNumber of\tCumulative");
    report.addLine("Range\tLoad\tLoad\tCycles\tNumber");
    std::int64_t cumulative = 0;
    std::string line;
    CycleReader cycles(table, cycleCount);
    for (TCycle c; cycles.next(c);) {
        cumulative += halvesOf(c);
        line = formatLoad(c.Range, decimalSeparator);
        line += '\t';
        line += formatLoad(c.Upper, decimalSeparator);
        line += '\t';
        line += formatLoad(c.Lower, decimalSeparator);
        line += '\t';
        line += formatHalfCount(halvesOf(c), decimalSeparator);
        line += '\t';
        line += formatHalfCount(cumulative, decimalSeparator);
        report.addLine(line);
    }
}

void WriteCountReport(ReportWriter& report, const TRainflowRun& run, const TCycleTable& table, std::int32_t cycleCount,
                      const std::string& decimalSeparator)
{
    report.clear();
    WriteSpectrumCharacteristics(report, run, decimalSeparator);
    report.addLine("");
    WriteLoadCycles(report, table, cycleCount, decimalSeparator);
}

} // namespace tessivo
