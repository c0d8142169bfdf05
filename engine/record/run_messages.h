#pragma once
// The texts the run control hands to the user, in one place.

#include <cstdint>
#include <string>

namespace tessivo {

inline constexpr const char* kIncorrectSequenceFile = "Incorrect sequence file";
inline constexpr const char* kNegativeFilterMessage = "Filter size must be equal to or larger than zero";
inline constexpr const char* kNoActiveSequenceMessage = "At least one sequence must be active";
inline constexpr const char* kFilterTooLargeMessage =
    "Filter size must be smaller than the difference between the highest and the smallest cycle";
inline constexpr const char* kNegativeLoadsMessage = "All loads below zero, normalized spectrum not possible";

// The notice of a run that switched to the from-to matrix: two lines joined
// by one line feed, e.g. "...load cycles.\nMarkov matrix (32x32) has been applied."
std::string matrixAppliedNotice(std::int32_t binCount);

} // namespace tessivo
