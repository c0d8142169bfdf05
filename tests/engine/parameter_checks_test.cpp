#include "engine/run/parameter_checks.h"
#include "run_control_support.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_reader.h"

#include <gtest/gtest.h>

using namespace tessivo;

namespace {

struct CheckCase {
    const char* name;
    long double filter;
    bool normalize;
    bool active;
    long double peak;
    long double trough;
    const char* message; // nullptr: the checks pass
};

} // namespace

TEST(ParameterChecks, FirstFailingCheckInOrder)
{
    const CheckCase cases[] = {
        {"filter 0 passes", 0.0L, false, true, 20.0L, -5.0L, nullptr},
        {"filter just below the span", 24.999L, false, true, 20.0L, -5.0L, nullptr},
        {"filter equal to the span", 25.0L, false, true, 20.0L, -5.0L, kFilterTooLargeMessage},
        {"negative filter wins over all", -1.0L, true, false, -1.0L, -3.0L, kNegativeFilterMessage},
        {"no active sequence", 0.0L, false, false, 20.0L, -5.0L, kNoActiveSequenceMessage},
        {"all loads equal", 0.0L, false, true, 5.0L, 5.0L, kFilterTooLargeMessage},
        {"normalise negative loads", 0.0L, true, true, -1.0L, -3.0L, kNegativeLoadsMessage},
        {"normalise peak exactly 0", 0.0L, true, true, 0.0L, -3.0L, kNegativeLoadsMessage},
        {"normalise positive peak", 0.0L, true, true, 20.0L, -5.0L, nullptr},
        {"filter check before normalisation", 3.0L, true, true, -1.0L, -3.0L, kFilterTooLargeMessage},
    };
    for (const auto& c : cases) {
        auto run = test::freshRun();
        run->FilterSize = c.filter;
        run->Normalize = c.normalize;
        run->SeqCount = 1;
        auto& slot = run->Sequences[1];
        slot = TSequence{"seq.txt", c.active, 1, 3, c.peak, c.trough, 1.0L, 1.0L};
        UpdateSequenceTotals(*run);
        const auto message = checkParameters(*run);
        if (c.message == nullptr)
            EXPECT_FALSE(message.has_value()) << c.name << ": " << message.value_or("");
        else
            EXPECT_EQ(message.value_or("(passed)"), c.message) << c.name;
    }
}

TEST(ParameterChecks, ACombinedSequenceWithoutValuesIsNoActiveSequence)
{
    auto run = test::freshRun();
    run->SeqCount = 1;
    run->Sequences[1] = TSequence{"seq.txt", true, 1, 0, 5.0L, -5.0L, 1.0L, 1.0L};
    UpdateSequenceTotals(*run);
    EXPECT_EQ(checkParameters(*run).value_or(""), kNoActiveSequenceMessage);
}

TEST(RunMessages, MatrixNoticeNamesTheBinCount)
{
    EXPECT_EQ(matrixAppliedNotice(32), "Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                                       "Markov matrix (32x32) has been applied.");
    EXPECT_EQ(matrixAppliedNotice(64), "Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                                       "Markov matrix (64x64) has been applied.");
}
