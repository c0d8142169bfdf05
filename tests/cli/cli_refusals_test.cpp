// Settings that make no sense are refused, never left unheard: one table of
// the request-level refusals, each with its exit status (1 a usage error, 2
// rejected input) and the message that names the option and why. Nothing
// goes to standard output.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

const std::string kWorked = std::string(TESSIVO_SHARED_EXAMPLES) + "/worked_example.txt"; // 0 6 1 5 2 4 ... range 6

struct Refusal {
    std::vector<std::string> args; // "PART" stands for a partial count of the worked example, saved with `saved`
    int status;
    std::string message; // the first line on standard error, without the program's name
    std::vector<std::string> saved = {};
};

const std::vector<Refusal>& refusals()
{
    static const std::vector<Refusal> all = {
        // Fatigue on a normalised count.
        {{"--normalize", "--sn-curve", "preset:EC3-71", kWorked},
         1,
         "'--sn-curve' does not go with '--normalize': damage needs the loads as counted, not divided by the "
         "highest peak"},
        {{"--normalize", "--del", "3", kWorked},
         1,
         "'--del' does not go with '--normalize': damage needs the loads as counted, not divided by the highest "
         "peak"},
        {{"merge", "--normalize", "--sn-curve", "m=3,logA=12", "PART"},
         1,
         "'--sn-curve' does not go with '--normalize': damage needs the loads as counted, not divided by the "
         "highest peak"},
        // Material values without the mean-stress method that reads them.
        {{"--sn-curve", "m=3,logA=12", "--ultimate", "500", kWorked},
         1,
         "'--ultimate' is a material value of a mean-stress correction: give '--mean-stress goodman' or "
         "'--mean-stress gerber' with it"},
        {{"--del", "3", "--fkm-m", "0.3", kWorked},
         1,
         "'--fkm-m' is a material value of a mean-stress correction: give '--mean-stress fkm' with it"},
        {{"--sn-curve", "m=3,logA=12", "--mean-stress", "goodman", "--ultimate", "500", "--walker-gamma", "0.5",
          kWorked},
         1,
         "'--walker-gamma' is not read by '--mean-stress goodman', which takes '--ultimate'"},
        {{"--sn-curve", "m=3,logA=12", "--mean-stress", "swt", "--ultimate", "500", kWorked},
         1,
         "'--ultimate' is not read by '--mean-stress swt', which takes no material value"},
        // Fatigue in an output that cannot show it.
        {{"--del", "3", "--format", "csv", kWorked},
         1,
         "'--del' is shown in the report and in json, not in '--format csv'"},
        {{"--sn-curve", "m=3,logA=12", "--matrix", "range-mean", kWorked},
         1,
         "'--sn-curve' does not go with '--matrix': the matrix counts the cycles by class and shows no damage; "
         "count once for each"},
        {{"--del", "4", "--matrix", "from-to", kWorked},
         1,
         "'--del' does not go with '--matrix': the matrix counts the cycles by class and shows no damage; count "
         "once for each"},
        {{"--matrix", "range-mean", "--mean-stress", "goodman", "--ultimate", "50", kWorked},
         1,
         "'--mean-stress' needs '--sn-curve' or '--del': nothing else reads it"},
        {{"--matrix", "range-mean", "--sn-measure", "amplitude", kWorked},
         1,
         "'--sn-measure' needs '--sn-curve' or '--del': nothing else reads it"},
        {{"--sn-curve", "m=3,logA=12", "--del-cycles", "100", kWorked},
         1,
         "'--del-cycles' needs '--del': N_eq is read by nothing else"},
        {{"--sn-curve", "m=3,logA=12", "--format", "cycles", kWorked},
         1,
         "the fatigue options ('--sn-curve', '--del', '--matrix') do not go with '--format cycles'"},
        {{"--matrix", "from-to", "--format", "cycles", kWorked},
         1,
         "the fatigue options ('--sn-curve', '--del', '--matrix') do not go with '--format cycles'"},
        // Merging: the output options only, and the checks of a count of the joined sequence.
        {{"merge", "--format", "cycles", "PART"},
         1,
         "'merge' cannot list every cycle ('--format cycles'): partial counts keep no positions"},
        {{"merge", "--filter", "1", "PART"},
         1,
         "'merge' takes only the options of the output ('--format', '--normalize' and the fatigue options): the "
         "partial counts carry the rest"},
        {{"--filter", "6", kWorked},
         2,
         "Filter size must be smaller than the difference between the highest and the smallest cycle"},
        {{"merge", "PART"},
         2,
         "Filter size must be smaller than the difference between the highest and the smallest cycle",
         {"--filter", "6"}},
        {{"merge", "--format", "json", "PART"},
         2,
         "Filter size must be smaller than the difference between the highest and the smallest cycle",
         {"--filter", "100"}},
        {{"merge", "--normalize", "PART"},
         2,
         "All loads below zero, normalized spectrum not possible",
         {"--scale", "-1"}},
    };
    return all;
}

} // namespace

TEST(CliRefusals, EachNamesTheOptionAndWhy)
{
    for (const Refusal& r : refusals()) {
        TempDir box;
        std::vector<std::string> args = r.args;
        for (std::string& arg : args) {
            if (arg != "PART")
                continue;
            arg = box.file("piece.part");
            std::vector<std::string> save = r.saved;
            save.insert(save.end(), {"--save-partial", arg, kWorked});
            ASSERT_EQ(tessivo::test::runCli(save, box.str(), box.str()).status, 0);
        }
        const CliRun run = tessivo::test::runCli(args, box.str(), box.str());
        SCOPED_TRACE(r.message);
        EXPECT_EQ(run.status, r.status) << run.err;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "tessivo-count: " + r.message);
        EXPECT_EQ(run.out, "");
    }
}
