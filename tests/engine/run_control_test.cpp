#include "reference_stages.h"
#include "engine/record/input_too_large.h"
#include "engine/files/combined_sequence.h"
#include "engine/files/memory_values.h"
#include "engine/run/plain_text_report.h"
#include "engine/run/run_control.h"
#include "run_control_support.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_loading.h"
#include "test_support.h"
#include "engine/files/work_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tessivo;
using tessivo::test::readAll;
using tessivo::test::TempDir;
using tessivo::test::workLines;
using tessivo::test::WriteCombinedSequence;

namespace {

const std::string kExamples = TESSIVO_SHARED_EXAMPLES;

struct Slot {
    std::string file;
    std::int32_t repetitions = 1;
    long double scale = 1.0L;
};

// Loads the slots as the command line does: with work files when workDir is
// set, from one streaming pass otherwise.
void loadSlots(TRainflowRun& run, const std::vector<Slot>& slots, const std::string& workDir)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const auto index = static_cast<std::int32_t>(i + 1);
        const OpenOutcome outcome = workDir.empty() ? scanSequenceSlot(run, index, slots[i].file)
                                                    : loadSequenceSlot(run, index, slots[i].file, workDir);
        ASSERT_EQ(outcome, OpenOutcome::Ok) << slots[i].file;
        run.Sequences[static_cast<std::size_t>(index)].Repetitions = slots[i].repetitions;
        run.Sequences[static_cast<std::size_t>(index)].Scale = slots[i].scale;
    }
    run.SeqCount = static_cast<std::int32_t>(slots.size());
    UpdateSequenceTotals(run);
}

struct Outcome {
    RunResult result;
    std::string report;
    std::vector<std::string> notices;
};

Outcome countWith(TRainflowRun& run, const std::string& workDir, RunLimits limits = {})
{
    TCycleTable table(MaxCycles, limits.unlimited);
    PlainTextReport report;
    Outcome out;
    ExecuteOptions options;
    options.notice = [&](const std::string& text) { out.notices.push_back(text); };
    options.limits = limits;
    if (workDir.empty()) {
        CombinedSequence source = test::sequenceFilesOf(run);
        out.result = executeCount(run, table, source, report, options).result;
    } else {
        out.result = executeCount(run, table, workDir, report, options).result;
    }
    out.report = report.text();
    return out;
}

const char* const kReportHead = "Load cycles\n"
                                "Load\tMaximum\tMinimum\tNumber of\tCumulative\n"
                                "Range\tLoad\tLoad\tCycles\tNumber\n";

} // namespace

TEST(ExecuteCount, WorkedExampleReport)
{
    TempDir dir;
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, kExamples + "/worked_example.txt", dir.str()), OpenOutcome::Ok);
    const Outcome out = countWith(*run, dir.str());
    EXPECT_EQ(out.result, RunResult::Normal);
    EXPECT_TRUE(out.notices.empty());
    EXPECT_EQ(out.report, std::string("Spectrum characteristics\n"
                                      "Sequence length: \t6\n"
                                      "Highest Peak: \t6.000\n"
                                      "Lowest Trough: \t0.000\n"
                                      "\n")
                              + kReportHead
                              + "6.000\t6.000\t0.000\t1\t1\n"
                                "4.000\t5.000\t1.000\t1\t2\n"
                                "2.000\t4.000\t2.000\t1\t3\n");
    for (const char* name : {"$Sequence_001.tmp", "$Sequence.tmp", "$Reversals.tmp", "$RedRev.tmp"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
}

TEST(ExecuteCount, NormalisesTheTableButNotTheCharacteristics)
{
    TempDir dir;
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, dir.write("seq.txt", "10 -5 20"), dir.str()), OpenOutcome::Ok);
    run->Normalize = true;
    const Outcome out = countWith(*run, dir.str());
    EXPECT_EQ(out.report, std::string("Spectrum characteristics\n"
                                      "Sequence length: \t3\n"
                                      "Highest Peak: \t20.000\n"
                                      "Lowest Trough: \t-5.000\n"
                                      "\n")
                              + kReportHead + "1.250\t1.000\t-0.250\t1\t1\n");
    EXPECT_EQ(run->HighestPeak, 20.0L);
    EXPECT_EQ(run->LowestTrough, -5.0L);
    EXPECT_EQ(countWith(*run, dir.str()).report, out.report) << "a second run normalises afresh";
}

TEST(ExecuteCount, TwoRunsGiveTheSameReport)
{
    for (const char* name : {"worked_example.txt", "random_walk.txt", "astm_e1049_example.txt"}) {
        TempDir dir;
        auto run = test::freshRun();
        ASSERT_EQ(openSequence(*run, kExamples + "/" + name, dir.str()), OpenOutcome::Ok);
        run->FilterSize = 0.5L;
        const Outcome first = countWith(*run, dir.str());
        const Outcome second = countWith(*run, dir.str());
        EXPECT_EQ(first.report, second.report) << name;
        EXPECT_GT(first.report.size(), 200u) << name;
    }
}

TEST(ExecuteCount, MatrixNoticeComesBetweenRunAndReport)
{
    TempDir dir;
    std::string values;
    for (int i = 0; i < MatrixThreshold; ++i)
        values += std::to_string((i * 7919) % 201 - 100) + "\n";
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, dir.write("long.txt", values), dir.str()), OpenOutcome::Ok);
    run->BinCount = 64;

    TCycleTable table;
    std::vector<std::string> events;
    struct : ReportWriter {
        std::vector<std::string>* events = nullptr;
        void clear() override { events->push_back("clear"); }
        void setTabStops(const std::vector<int>&) override {}
        void boldOn() override {}
        void boldOff() override {}
        void addLine(const std::string&) override {}
    } report;
    report.events = &events;
    ExecuteOptions options;
    options.notice = [&](const std::string& text) { events.push_back(text); };
    options.processMessages = [&] { events.push_back("messages"); };
    EXPECT_EQ(executeCount(*run, table, dir.str(), report, options).result, RunResult::MatrixApplied);
    const std::vector<std::string> expected = {"messages", matrixAppliedNotice(64), "clear"};
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(run->UseLoadBins);
}

TEST(ExecuteCount, RejectedParametersTouchNothing)
{
    TempDir dir;
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, dir.write("seq.txt", "5 5 5"), dir.str()), OpenOutcome::Ok);
    TCycleTable table;
    PlainTextReport report;
    report.addLine("previous");
    try {
        executeCount(*run, table, dir.str(), report);
        FAIL() << "counted a sequence whose checks fail";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), kFilterTooLargeMessage);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("$Sequence.tmp")));
    EXPECT_EQ(report.text(), "previous\n");
}

TEST(ExecuteCount, AfterAFailedOpenCountsThePreviousSequence)
{
    TempDir dir;
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, kExamples + "/worked_example.txt", dir.str()), OpenOutcome::Ok);
    const Outcome before = countWith(*run, dir.str());
    ASSERT_EQ(openSequence(*run, dir.write("bad.txt", "7 8 9 x"), dir.str()), OpenOutcome::Incorrect);
    EXPECT_EQ(countWith(*run, dir.str()).report, before.report);
}

TEST(CombinedSequence, RepetitionsAndScaleInSlotOrder)
{
    TempDir dir;
    auto run = test::freshRun();
    loadSlots(*run, {{dir.write("a.txt", "1 2"), 2, 2.0L}, {dir.write("b.txt", "3"), 1, 1.0L}}, dir.str());
    EXPECT_EQ(WriteCombinedSequence(*run, dir.str()), 5);
    const std::vector<std::string> expected = {" 2.00000000000000E+0000", " 4.00000000000000E+0000",
                                               " 2.00000000000000E+0000", " 4.00000000000000E+0000",
                                               " 3.00000000000000E+0000"};
    EXPECT_EQ(workLines(dir.file("$Sequence.tmp")), expected);

    VectorSink streamed;
    CombinedSequence source = test::sequenceFilesOf(*run);
    for (long double v; source.next(v);)
        streamed.put(v);
    EXPECT_EQ(streamed.values, (std::vector<long double>{2.0L, 4.0L, 2.0L, 4.0L, 3.0L}));
}

TEST(CombinedSequence, StreamRoundsAsTheWorkFilesDo)
{
    TempDir dir;
    // Seventeen digits, so each value changes when it is rounded to fifteen.
    const std::string seq = dir.write("seq.txt", "0.12345678901234567 -9.8765432109876543 3.3333333333333333");
    for (long double scale : {1.0L, 3.0L, -0.7L, 1e-300L}) {
        auto run = test::freshRun();
        loadSlots(*run, {{seq, 2, scale}}, dir.str());
        WriteCombinedSequence(*run, dir.str());
        WorkFileReader written(dir.file("$Sequence.tmp"));
        CombinedSequence streamed = test::sequenceFilesOf(*run);
        long double a = 0.0L, b = 0.0L;
        int n = 0;
        while (written.next(a)) {
            ASSERT_TRUE(streamed.next(b));
            EXPECT_EQ(a, b) << "value " << n << " scale " << static_cast<double>(scale);
            ++n;
        }
        EXPECT_FALSE(streamed.next(b));
        EXPECT_EQ(n, 6);
    }
}

TEST(CombinedSequence, AShortenedFileIsAnError)
{
    TempDir dir;
    auto run = test::freshRun();
    const std::string seq = dir.write("seq.txt", "1 2 3");
    loadSlots(*run, {{seq, 1, 1.0L}}, dir.str());
    dir.write("$Sequence_001.tmp", " 1.00000000000000E+0000\r\n");
    EXPECT_THROW(WriteCombinedSequence(*run, dir.str()), FileShortenedError);
    dir.write("seq.txt", "1 2 x");
    CombinedSequence source = test::sequenceFilesOf(*run);
    long double v = 0.0L;
    EXPECT_TRUE(source.next(v));
    EXPECT_TRUE(source.next(v));
    EXPECT_THROW(source.next(v), FileShortenedError);
}

TEST(CombinedSequence, AScaleBeyondTheRangeIsRefused)
{
    TempDir dir;
    auto run = test::freshRun();
    loadSlots(*run, {{dir.write("seq.txt", "1e4000 -2"), 1, 1e1000L}}, dir.str());
    EXPECT_THROW(WriteCombinedSequence(*run, dir.str()), InputTooLarge);
    CombinedSequence source = test::sequenceFilesOf(*run);
    long double v = 0.0L;
    EXPECT_THROW(source.next(v), InputTooLarge);
}

TEST(ExecuteCount, WithAndWithoutWorkFilesAlike)
{
    const std::string walk = kExamples + "/random_walk.txt";
    const std::string block = kExamples + "/block_sequence.txt";
    const struct {
        const char* name;
        std::vector<Slot> slots;
        bool loadBins;
        bool decomposition;
        long double filter;
        RunLimits limits;
    } cases[] = {
        {"two slots", {{walk, 2, 1.5L}, {block, 1, -0.5L}}, false, true, 0.0L, {}},
        {"upward residue, filter", {{walk, 1, 1.0L}}, false, false, 2.5L, {}},
        {"load bins", {{block, 3, 1.0L}, {walk, 1, 0.1L}}, true, true, 0.0L, {}},
        {"40000 values switch to the matrix", {{block, 16, 1.0L}}, false, true, 0.0L, {}},
        {"unlimited at 50000 values", {{walk, 10, 1.0L}}, false, true, 0.0L, {true}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Outcome outcomes[2];
        for (int withFiles = 0; withFiles < 2; ++withFiles) {
            auto run = test::freshRun();
            run->UseLoadBins = c.loadBins;
            run->Decomposition = c.decomposition;
            run->FilterSize = c.filter;
            loadSlots(*run, c.slots, withFiles ? dir.str() : std::string());
            outcomes[withFiles] = countWith(*run, withFiles ? dir.str() : std::string(), c.limits);
        }
        EXPECT_EQ(outcomes[0].result, outcomes[1].result) << c.name;
        EXPECT_EQ(outcomes[0].notices, outcomes[1].notices) << c.name;
        EXPECT_EQ(outcomes[0].report, outcomes[1].report) << c.name;
    }
}
