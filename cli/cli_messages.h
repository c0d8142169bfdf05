#pragma once
// Every text of tessivo-count's own that reaches the user, in one place; the
// engine's texts stay in engine/record/run_messages.h. A line on standard
// error is kErrorPrefix, then the file it is about and ": " where there is
// one, then the text. Usage problems start in lower case, the other texts as
// the engine's do; none ends in a full stop, as none of the engine's does.

#include "engine/run/outputs/output_request.h"
#include "fatigue_options.h"

#include <string>

namespace tessivo::cli {

inline constexpr const char* kErrorPrefix = "tessivo-count: ";

// Usage problems: the command line is refused before anything is read.
std::string needsNumberProblem(const std::string& option, const std::string& text);
std::string choiceProblem(const std::string& option, const std::string& choices, const std::string& text);
std::string wholeNumberProblem(const std::string& option, const std::string& range, const std::string& text);
std::string takesNoValueProblem(const std::string& option);
std::string needsValueProblem(const std::string& option);
std::string unknownOptionProblem(const std::string& option);
std::string needsFileAfterProblem(const std::string& option);
inline constexpr const char* kWorkDirNeedsFolder = "'--workdir' needs a folder";
inline constexpr const char* kSavePartialNeedsFile = "'--save-partial' needs a file";
inline constexpr const char* kTooManySequenceFiles = "at most 100 sequence files can be counted together";
inline constexpr const char* kPieceNeedsSavePartial = "'--piece' goes with '--save-partial'";
inline constexpr const char* kSavePartialWithWorkDir = "'--save-partial' writes no work files: leave out '--workdir'";
inline constexpr const char* kBinEdgesGoTogether =
    "'--bin-lowest' and '--bin-highest' go together, with '--save-partial' and '--load-bins'";
inline constexpr const char* kBinEdgesReversed = "'--bin-highest' must be above '--bin-lowest'";
inline constexpr const char* kBinEdgesWithBinLowest =
    "'--bin-edges' lays the classes itself: leave out '--bin-lowest' and '--bin-highest'";
std::string binEdgesProblemText(const std::string& problem);
inline constexpr const char* kMatrixEdgesNeedMatrix = "'--matrix-edges' and '--matrix-mean-edges' need '--matrix'";
inline constexpr const char* kMeanEdgesNeedRangeMean =
    "'--matrix-mean-edges' is for '--matrix range-mean'; a from-to matrix takes '--matrix-edges' for both axes";
inline constexpr const char* kNoSequenceFile = "no sequence FILE given";
inline constexpr const char* kFatigueWithCycleListing =
    "the fatigue options ('--sn-curve', '--del', '--matrix') do not go with '--format cycles'";
inline constexpr const char* kSavePartialWithColumns =
    "'--save-partial' does not work with '--column' or '--all-columns' yet";
inline constexpr const char* kMergeTakesOnlyOutput =
    "'merge' takes only the options of the output ('--format', '--normalize' and the fatigue options): the partial "
    "counts carry the rest";
inline constexpr const char* kMergeListsNoCycles =
    "'merge' cannot list every cycle ('--format cycles'): partial counts keep no positions";
inline constexpr const char* kNoPartialCountFile = "no partial count FILE given to merge";
inline constexpr const char* kTableOptionsNeedColumns = "'--delimiter', '--decimal-comma', '--decimal-point', "
                                                        "'--skip-empty' and '--keep-time' need '--column' or "
                                                        "'--all-columns'";
inline constexpr const char* kCommaDelimiterAndSeparator =
    "a comma cannot be both the delimiter and the decimal separator";
inline constexpr const char* kFatigueNeedsOutput = "the fatigue options need '--sn-curve', '--del' or '--matrix'";
inline constexpr const char* kDelCyclesOrFrequency = "give '--del-cycles' or '--del-frequency', not both";
inline constexpr const char* kDelFrequencyNeedsDuration = "'--del-frequency' needs '--duration'";
std::string positiveNumberProblem(const std::string& option, const std::string& text);
inline constexpr const char* kLifetimeNeedsFile = "'--lifetime' needs a weights table";
inline constexpr const char* kDesignLifeAndLifetime = "'--design-life' and '--lifetime' go together";
inline constexpr const char* kLifetimeTakesNoFile = "'--lifetime' counts the recordings its table names: give no FILE";
inline constexpr const char* kLifetimeFormats = "'--lifetime' writes the report, csv or json, not every cycle";
inline constexpr const char* kLifetimeNeedsEvaluation = "'--lifetime' needs '--sn-curve' or '--del'";
inline constexpr const char* kLifetimeOneColumn =
    "'--lifetime' counts one column of each table: choose it with one '--column'";
inline constexpr const char* kSummaryFormats = "'--summary' writes '--format csv' or '--format json'";
inline constexpr const char* kMatrixWithSummary = "'--matrix' does not go with '--summary' or '--lifetime'";
inline constexpr const char* kSavePartialWithSummary = "'--save-partial' does not go with '--summary' or '--lifetime'";
std::string repetitionsProblem(const std::string& text);
inline constexpr const char* kWeightedRepetitionsNotPartial =
    "a '--repetitions' with a fraction does not go with '--save-partial': a partial count keeps whole repetitions "
    "only";
inline constexpr const char* kWeightedRepetitionsAlone =
    "a '--repetitions' that is not a whole number weights the cycles of one FILE counted alone, with "
    "'--sn-curve' or '--del': count other FILEs separately";
// The engine's refusal of settings that contradict each other or go unseen, in
// the command line's words.
std::string outputConflictProblem(const OutputProblem& problem, const OutputRequest& output,
                                  const FatigueOptions& given);

// The counts beside rainflow (--count): an option that needs one of them
// ("'--levels' needs '--count level-crossing' or '--count time-at-level'"),
// an option of rainflow given with one of them.
std::string needsOtherCountProblem(const std::string& option, const std::string& counts);
std::string notWithOtherCountProblem(const std::string& option, const std::string& count);
inline constexpr const char* kLevelsOrLevelEdges = "give '--levels' or '--level-edges', not both";

// Failures while counting.
inline constexpr const char* kStandardOutput = "standard output"; // in place of a file name
inline constexpr const char* kOutOfMemory = "Out of memory";

} // namespace tessivo::cli
