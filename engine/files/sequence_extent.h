#pragma once
// What a reader finds in a sequence before counting it: the number of its
// values and their extremes (of the values as given, before the work-precision
// rounding, as the sequence reader finds them in a file).

#include "engine/record/run_record.h"

#include <cstdint>

namespace tessivo {

struct SequenceExtent {
    std::int64_t points = 0;
    long double highest = NoPeak;
    long double lowest = NoTrough;
};

} // namespace tessivo
