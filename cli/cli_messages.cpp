#include "cli_messages.h"

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

} // namespace tessivo::cli
