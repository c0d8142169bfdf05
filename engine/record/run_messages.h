#pragma once
// Every text the engine hands to the user, in one place. The callers show
// them as they stand; the desktop's general error box appends a full stop
// where a text lacks one, so most texts carry none. Tests pin each text.

#include <cstdint>
#include <string>

namespace tessivo {

// Rejected input and failed parameter checks.
inline constexpr const char* kIncorrectSequenceFile = "Incorrect sequence file";
inline constexpr const char* kNegativeFilterMessage = "Filter size must be equal to or larger than zero";
inline constexpr const char* kNoActiveSequenceMessage = "At least one sequence must be active";
inline constexpr const char* kFilterTooLargeMessage =
    "Filter size must be smaller than the difference between the highest and the smallest cycle";
inline constexpr const char* kNegativeLoadsMessage = "All loads below zero, normalized spectrum not possible";

// The notice of a run that switched to the from-to matrix: two lines joined
// by one line feed, e.g. "...load cycles.\nMarkov matrix (32x32) has been applied."
std::string matrixAppliedNotice(std::int32_t binCount);

// Input beyond what a count can hold (InputTooLarge).
std::string sequenceFileTooLongMessage(const std::string& fileName);
inline constexpr const char* kCombinedSequenceTooLongMessage =
    "The combined sequence would hold more than 2147483647 values";
inline constexpr const char* kSequenceTooLongMessage = "The sequence has more than 2147483647 values";
std::string scaledLoadTooLargeMessage(const std::string& path);
inline constexpr const char* kTooManyCyclesMessage = "More distinct cycles than a table counts";

// Failures of the environment (IoError and its kinds).
inline constexpr const char* kFileNotFoundMessage = "File not found";
inline constexpr const char* kFileAccessDeniedMessage = "File access denied";
inline constexpr const char* kDiskFullMessage = "Disk full";
std::string otherIoErrorMessage(int code); // "I/O error <code>"
inline constexpr const char* kFileShortenedMessage = "File holds fewer values than when it was loaded";
std::string workFolderInUseMessage(const std::string& dir);

// Runs stopped on request, and callers' mistakes.
inline constexpr const char* kCountCancelledMessage = "The count was cancelled";
inline constexpr const char* kBinCountOutOfRangeMessage = "The number of load classes must be between 1 and 256";
inline constexpr const char* kSpanReversedMessage = "Load classes need a highest load above the lowest";
inline constexpr const char* kSpanWithOwnEdgesMessage =
    "Own class edges lay the classes themselves: the extremes of the whole sequence do not go with them";
inline constexpr const char* kTableLimitOutOfRangeMessage = "The cycle table holds from 1 to 20000 entries";
inline constexpr const char* kPieceNumberZeroMessage = "Pieces are numbered from 1";
inline constexpr const char* kSpanOfWholeCountMessage =
    "The extremes of the whole sequence are given to partial counts, not to a count of the whole";
inline constexpr const char* kPositionsOfPiecesMessage =
    "Partial counts keep no positions: every cycle can be listed only from the values themselves";

std::string firstPieceMissingMessage(std::uint64_t firstPiece);

// Columns of tables counted as sequences.
inline constexpr const char* kColumnChosenTwice = "two of the columns chosen are one column here";
inline constexpr const char* kNoNumbersInColumn = "no numbers in this column";
inline constexpr const char* kNoColumnOfLoads =
    "no column of loads to count: every column of numbers is time or holds one value throughout";
inline constexpr const char* kPassedOver = "; passed over";
inline constexpr const char* kNoDamageHere = "; no damage from this recording";
// "every value is 0.5: there are no cycles to count".
std::string constantChannelText(long double value);
// "1200 rows read; the table ends at a footer from line 1203".
std::string tableEndText(std::int64_t rows, const std::string& ending);
std::string missingSlotMessage(std::int32_t index);

} // namespace tessivo
