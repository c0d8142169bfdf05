#include "engine/record/run_messages.h"

#include "engine/numbers/load_format.h"

namespace tessivo {

std::string matrixAppliedNotice(std::int32_t binCount)
{
    const std::string n = std::to_string(binCount);
    return "Number of counted cycles exceeds maximum allowed number of load cycles.\nMarkov matrix (" + n + "x" + n
           + ") has been applied.";
}

std::string sequenceFileTooLongMessage(const std::string& fileName)
{
    return "The sequence file " + fileName + " holds more than 2147483647 values";
}

std::string scaledLoadTooLargeMessage(const std::string& path)
{
    return "A load of " + path + " times its scale is too large";
}

std::string otherIoErrorMessage(int code)
{
    return "I/O error " + std::to_string(code);
}

std::string workFolderInUseMessage(const std::string& dir)
{
    return "The work folder " + dir + " is in use by another running copy of Tessivo.";
}

std::string missingSlotMessage(std::int32_t index)
{
    return "Sequence slot " + std::to_string(index) + " does not exist";
}

std::string firstPieceMissingMessage(std::uint64_t firstPiece)
{
    return "The first piece of the sequence is missing: the counts start at piece " + std::to_string(firstPiece);
}

std::string constantChannelText(long double value)
{
    return "every value is " + formatLoad(value) + ": there are no cycles to count";
}

std::string tableEndText(std::int64_t rows, const std::string& ending)
{
    return std::to_string(rows) + (rows == 1 ? " row read; the table ends at " : " rows read; the table ends at ")
           + ending;
}

} // namespace tessivo
