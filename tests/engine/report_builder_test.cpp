#include "engine/run/plain_text_report.h"
#include "engine/run/report_builder.h"
#include "run_control_support.h"

#include <gtest/gtest.h>

using namespace tessivo;

TEST(ReportBuilder, SpectrumCharacteristicsBlock)
{
    auto run = test::freshRun();
    run->SeqLength = 3;
    run->HighestPeak = 20.0L;
    run->LowestTrough = -5.0L;
    test::RecordingReport report;
    WriteSpectrumCharacteristics(report, *run);
    const std::vector<std::string> expected = {
        "tabs 0 135",
        "bold on",
        "line Spectrum characteristics",
        "bold off",
        "line Sequence length: \t3",
        "line Highest Peak: \t20.000",
        "line Lowest Trough: \t-5.000",
    };
    EXPECT_EQ(report.ops, expected);
}

TEST(ReportBuilder, CycleTableWithCumulativeNumbers)
{
    TCycleTable table;
    const TCycle entries[] = {{5.0L, 6.0L, 1.0L, 2}, {3.0L, 2.5L, -0.5L, 1}, {1.0L, 1.0L, 0.0L, 5}};
    for (int i = 0; i < 3; ++i)
        table.entry(i + 1) = entries[i];
    test::RecordingReport report;
    WriteLoadCycles(report, table, 3, ",");
    const std::vector<std::string> expected = {
        "tabs 0 55 110 165 220 275",
        "bold on",
        "line Load cycles",
        "bold off",
        "line Load\tMaximum\tMinimum\tNumber of\tCumulative",
        "line Range\tLoad\tLoad\tCycles\tNumber",
        "line 5,000\t6,000\t1,000\t2\t2",
        "line 3,000\t2,500\t-0,500\t1\t3",
        "line 1,000\t1,000\t0,000\t5\t8",
    };
    EXPECT_EQ(report.ops, expected);
}

TEST(ReportBuilder, CumulativeNumberDoesNotWrap)
{
    TCycleTable table;
    table.entry(1) = {2.0L, 1.0L, -1.0L, 2000000000};
    table.entry(2) = {1.0L, 1.0L, 0.0L, 2000000000};
    PlainTextReport report;
    WriteLoadCycles(report, table, 2);
    EXPECT_NE(report.text().find("1.000\t1.000\t0.000\t2000000000\t4000000000\n"), std::string::npos);
}

TEST(ReportBuilder, WholeReportStartsAfresh)
{
    auto run = test::freshRun();
    run->SeqLength = 2;
    run->HighestPeak = 1.0L;
    run->LowestTrough = 0.0L;
    TCycleTable table;
    table.entry(1) = {1.0L, 1.0L, 0.0L, 1};
    PlainTextReport report;
    report.addLine("previous report");
    WriteCountReport(report, *run, table, 1);
    EXPECT_EQ(report.text(), "Spectrum characteristics\n"
                             "Sequence length: \t2\n"
                             "Highest Peak: \t1.000\n"
                             "Lowest Trough: \t0.000\n"
                             "\n"
                             "Load cycles\n"
                             "Load\tMaximum\tMinimum\tNumber of\tCumulative\n"
                             "Range\tLoad\tLoad\tCycles\tNumber\n"
                             "1.000\t1.000\t0.000\t1\t1\n");
}
