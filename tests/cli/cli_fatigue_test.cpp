// tessivo-count with fatigue options: what the user sees in each format, the
// loads fatigue takes, and the exit status of bad curves and of cycles beyond
// the material's limit.

#include "cli_options.h"
#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

const std::string kWorked = std::string(TESSIVO_SHARED_EXAMPLES) + "/worked_example.txt";

CliRun runIn(const TempDir& capture, const std::vector<std::string>& args)
{
    return tessivo::test::runCli(args, capture.str(), capture.str());
}

} // namespace

TEST(CliFatigue, ReportSectionWithHandValues)
{
    // Cycles of range 6, 4 and 2 on N = 1e12 / S^3: D = 288e-12; the
    // sequence lasts 36 s, so life 1/D repetitions is 1/D / 100 hours;
    // DEL_3 over N_eq 10 is (28.8)^(1/3).
    TempDir box;
    const CliRun r =
        runIn(box, {"--sn-curve", "m=3,logA=12", "--del", "3", "--del-cycles", "10", "--duration", "36", kWorked});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto section = r.out.find("\nFatigue damage\n");
    ASSERT_NE(section, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(section), "\nFatigue damage\n"
                                     "Loads: \tas read and scaled, not normalised; S = ranges\n"
                                     "Mean-stress correction: \tnone\n"
                                     "S-N curve: \tm=3,logA=12\n"
                                     "Damage (Miner): \t2.88e-10\n"
                                     "Life: \t3.47222e+09 repetitions of the counted sequence\n"
                                     "Life in hours: \t3.47222e+07\n"
                                     "Damage-equivalent loads (N_eq = 10):\n"
                                     "m = 3: \t3.06524\n");
}

TEST(CliFatigue, CodeCheckWithHandValues)
{
    // Stresses 60, 40 and 20 (loads x 10), on the curve x 1.25 (gamma_Mf):
    // D = (75^3 + 50^3 + 25^3) / 1e12 = 5.625e-7; with DFF 2e6 the
    // utilisation is 1.125 and the check fails. On a single slope the
    // equivalent load on the curve is the DEL of that slope, in stresses.
    TempDir box;
    const CliRun r = runIn(box, {"--sn-curve", "m=3,logA=12", "--stress-factor", "10", "--gamma-mf", "1.25", "--dff",
                                 "2e6", "--del", "3,curve", "--del-cycles", "10", kWorked});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto section = r.out.find("\nFatigue damage\n");
    ASSERT_NE(section, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(section), "\nFatigue damage\n"
                                     "Loads: \tas read and scaled, not normalised; S = ranges\n"
                                     "Mean-stress correction: \tnone\n"
                                     "Stresses: \tload x 10 (stress factor) x 1 (SCF)\n"
                                     "Partial factors: \tgamma_Ff = 1, gamma_Mf = 1.25\n"
                                     "S-N curve: \tm=3,logA=12\n"
                                     "Damage (Miner): \t5.625e-07\n"
                                     "Life: \t1.77778e+06 repetitions of the counted sequence\n"
                                     "Design damage: \t1.125 (D x DFF, DFF = 2e+06)\n"
                                     "Utilisation: \t1.125 (limit 1)\n"
                                     "Check: \tfails\n"
                                     "Damage-equivalent loads (N_eq = 10):\n"
                                     "m = 3: \t30.6524\n"
                                     "On the S-N curve: \t30.6524\n");
    const CliRun json =
        runIn(box, {"--format", "json", "--sn-curve", "preset:DNV-D", "--thickness", "50", "--dff", "3", kWorked});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"thickness\": {\"t\": 50, \"tRef\": 25, \"k\": 0.2, \"factor\": 1.1486983549970350068},\n"
                            "    \"dff\": 3,\n"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"check\": true,\n"), std::string::npos) << json.out;
}

TEST(CliFatigue, CsvKeepsTheDamageOfTheLoadsAsScaled)
{
    TempDir box;
    const CliRun r = runIn(box, {"--format", "csv", "--sn-curve", "m=3,logA=12", "--scale", "2", kWorked});
    EXPECT_EQ(r.status, 0) << r.err;
    // Loads 12, 8, 4 after the scale. (Normalised loads are refused with fatigue: see CliRefusals.)
    EXPECT_EQ(r.out, "range,upper,lower,count,cumulative,allowed,damage\n"
                     "12,12,0,1,1,578703703.7037037037,1.728e-09\n"
                     "8,10,2,1,2,1953125000,5.12e-10\n"
                     "4,8,4,1,3,1.5625e+10,6.4e-11\n");
}

TEST(CliFatigue, JsonNamesClassEdgesAndKeepsRowsInOrder)
{
    TempDir box;
    const CliRun r =
        runIn(box, {"--load-bins", "--format", "json", "--sn-curve", "preset:dnv-d", "--del", "4", kWorked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"loads\": \"class edges\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"del\": [{\"m\": 4, \"value\": "), std::string::npos) << r.out;
    // The class edges of the worked example in 32 bins: 6 to 0 first.
    EXPECT_NE(r.out.find("\"rows\": [\n      {\"range\": 6, \"upper\": 6, \"lower\": 0, \"count\": 1, \"load\": 6, "),
              std::string::npos)
        << r.out;
}

TEST(CliFatigue, MatrixAsCsvWithClassEdges)
{
    TempDir box;
    const CliRun r = runIn(box, {"--matrix", "from-to", "--matrix-bins", "3", "--normalize", kWorked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "from_low,from_high,to_low,to_high,count\n"
                     "4,6,0,2,2\n"
                     "4,6,2,4,1\n");
}

TEST(CliFatigue, BadCurvesAndCyclesBeyondTheLimitAreNamed)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart;
    };
    const Case cases[] = {
        {{"--sn-curve", "m=-3,logA=12"}, 1, "tessivo-count: S-N curve: m must be a positive number, not -3\n"},
        {{"--sn-curve", "m=3,S=0,N=2e6"}, 1, "tessivo-count: S-N curve: S must be a positive number, not 0\n"},
        {{"--sn-curve", "m=3,q=1"}, 1, "tessivo-count: S-N curve: unknown key 'q'"},
        {{"--sn-curve", "preset:EC3-70"}, 1, "tessivo-count: S-N curve: unknown preset 'EC3-70'"},
        {{"--mean-stress", "goodman", "--sn-curve", "m=3,logA=12"},
         1,
         "tessivo-count: The goodman mean-stress correction needs the ultimate strength (Su)\n"},
        {{"--del-frequency", "1", "--del", "3"}, 1, "tessivo-count: '--del-frequency' needs '--duration'\n"},
        {{"--mean-stress", "goodman", "--ultimate", "3", "--sn-curve", "m=3,logA=12"},
         2,
         "tessivo-count: The cycle in row 1 (from 0 to 6, mean 3) reaches the ultimate strength Su = 3 with its "
         "maximum; the goodman correction does not hold there\n"},
        {{"--mean-stress", "goodman", "--ultimate", "6", "--sn-curve", "m=3,logA=12", "--format", "csv"},
         2,
         "tessivo-count: The cycle in row 1 (from 0 to 6, mean 3) reaches the ultimate strength Su = 6"},
        {{"--sn-curve", "m=3,S=71,N=2e6,Nknee=1e6,knee=cutoff"},
         1,
         "tessivo-count: S-N curve: the knee Nknee = 1e+06 lies below the defining point N = 2e+06"},
        {{"--sn-curve", "m=3,S=71,N=2e6,Ncut=1e6"},
         1,
         "tessivo-count: S-N curve: the cut-off Ncut = 1e+06 lies below the defining point N = 2e+06"},
        {{"--sn-curve", "preset:DNV-D", "--sn-measure", "amplitude"},
         1,
         "tessivo-count: --sn-measure amplitude: the curve DNV-D is defined on stress ranges; give --sn-measure "
         "range\n"},
        {{"--sn-curve", "m=5000,S=0.01,N=1"},
         2,
         "tessivo-count: The damage of the cycles of S = 6 is beyond the range of numbers: the S-N curve's "
         "exponent m = 5000 is too steep for this load\n"},
        {{"--sn-curve", "preset:EC3-71", "--thickness", "30"},
         1,
         "tessivo-count: The thickness t needs the reference thickness and the exponent: the curve EC3-71 gives "
         "none, give them\n"},
        {{"--del", "3", "--dff", "2"},
         1,
         "tessivo-count: The factors of a code check (gamma_Ff, gamma_Mf, DFF, thickness, size factor) need an S-N "
         "curve\n"},
        {{"--sn-curve", "m=3,logA=12", "--scf", "0"},
         1,
         "tessivo-count: The stress concentration factor must be a positive number, not 0\n"},
        {{"--sn-curve", "m=5000,S=0.01,N=1", "--format", "csv"}, 2, "tessivo-count: The damage of the cycles of S = 6"},
        {{"--sn-curve", "m=5000,S=0.01,N=1", "--format", "json"}, 2, "tessivo-count: The damage of the cycle in row 1"},
        {{"--matrix", "range-mean", "--matrix-edges", "0,5,2"},
         1,
         "tessivo-count: '--matrix-edges' (0,5,2) must ascend: 2 follows 5\n"},
        {{"--matrix", "range-mean", "--matrix-mean-edges", "3"},
         1,
         "tessivo-count: '--matrix-mean-edges' (3) must hold at least 2 edges, not 1\n"},
        {{"--matrix", "from-to", "--matrix-edges", "0,nan"}, 1, "tessivo-count: '--matrix-edges' needs a number"},
        {{"--matrix", "from-to", "--matrix-mean-edges", "0,1"},
         1,
         "tessivo-count: '--matrix-mean-edges' is for '--matrix range-mean'"},
        {{"--sn-curve", "m=3,logA=12", "--format", "cycles"},
         1,
         "tessivo-count: the fatigue options ('--sn-curve', '--del', '--matrix') do not go with '--format cycles'\n"},
    };
    for (const Case& c : cases) {
        TempDir box;
        std::vector<std::string> args = c.args;
        args.push_back(kWorked);
        const CliRun r = runIn(box, args);
        EXPECT_EQ(r.status, c.status) << c.errStart;
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart);
        if (c.status == 2) {
            EXPECT_EQ(r.out, "");
        }
    }
}
