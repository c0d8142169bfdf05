#include "cli_messages.h"

#include "engine/numbers/load_format.h"

namespace tessivo::cli {

std::string needsNumberProblem(const std::string& option, const std::string& text)
{
    return "'" + option + "' needs a number (with '.' as decimal point), not '" + text + "'";
}

std::string choiceProblem(const std::string& option, const std::string& choices, const std::string& text)
{
    return "'" + option + "' must be " + choices + ", not '" + text + "'";
}

std::string wholeNumberProblem(const std::string& option, const std::string& range, const std::string& text)
{
    return "'" + option + "' needs a whole number " + range + ", not '" + text + "'";
}

std::string takesNoValueProblem(const std::string& option) { return "'" + option + "' takes no value"; }

std::string needsValueProblem(const std::string& option) { return "'" + option + "' needs a value"; }

std::string unknownOptionProblem(const std::string& option) { return "unknown option '" + option + "'"; }

std::string needsFileAfterProblem(const std::string& option)
{
    return "'" + option + "' must be followed by the FILE it applies to";
}

std::string binEdgesProblemText(const std::string& problem) { return "'--bin-edges': " + problem; }

std::string constantChannelText(long double value)
{
    return "every value is " + formatLoad(value) + ": there are no cycles to count";
}

std::string tableEndText(std::int64_t rows, const std::string& ending)
{
    return std::to_string(rows) + (rows == 1 ? " row read; the table ends at " : " rows read; the table ends at ")
           + ending;
}

} // namespace tessivo::cli
