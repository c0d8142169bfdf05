#include "engine/record/run_messages.h"

namespace tessivo {

std::string matrixAppliedNotice(std::int32_t binCount)
{
    const std::string n = std::to_string(binCount);
    return "Number of counted cycles exceeds maximum allowed number of load cycles.\nMarkov matrix (" + n + "x" + n +
           ") has been applied.";
}

} // namespace tessivo
