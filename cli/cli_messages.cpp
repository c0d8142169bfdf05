#include "cli_messages.h"

#include "engine/run/choices.h"

#include <map>

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

std::string takesNoValueProblem(const std::string& option)
{
    return "'" + option + "' takes no value";
}

std::string needsValueProblem(const std::string& option)
{
    return "'" + option + "' needs a value";
}

std::string unknownOptionProblem(const std::string& option)
{
    return "unknown option '" + option + "'";
}

std::string needsFileAfterProblem(const std::string& option)
{
    return "'" + option + "' must be followed by the FILE it applies to";
}

std::string binEdgesProblemText(const std::string& problem)
{
    return "'--bin-edges': " + problem;
}

namespace {

// The command line's option of each setting the engine names.
std::string optionOf(const std::string& setting, const FatigueOptions& given)
{
    static const std::map<std::string, std::string> options = {
        {"ultimate", "--ultimate"},        {"fatigueStrengthCoefficient", "--fatigue-strength-coefficient"},
        {"walkerGamma", "--walker-gamma"}, {"fkmM", "--fkm-m"},
        {"meanStress", "--mean-stress"},   {"measure", "--sn-measure"},
        {"duration", "--duration"},
    };
    if (setting == "equivalentCycles")
        return given.delFrequency ? "--del-frequency" : "--del-cycles";
    const auto found = options.find(setting);
    return found == options.end() ? setting : found->second;
}

// "'--mean-stress goodman' or '--mean-stress gerber'": the methods that read a material value.
std::string methodsReading(const std::string& setting)
{
    std::string text;
    std::vector<std::string> methods;
    for (const auto& choice : meanStressChoices()) {
        if (materialValueOf(choice.value) == setting)
            methods.push_back(std::string("'--mean-stress ") + choice.name + "'");
    }
    for (std::size_t i = 0; i < methods.size(); ++i)
        text += (i == 0 ? "" : i + 1 == methods.size() ? " or " : ", ") + methods[i];
    return text;
}

} // namespace

std::string outputConflictProblem(const OutputProblem& problem, const OutputRequest& output,
                                  const FatigueOptions& given)
{
    const std::string evaluation = output.fatigue.settings.curve ? "'--sn-curve'" : "'--del'";
    switch (problem.conflict) {
    case OutputConflict::FatigueWithListing:
        return kFatigueWithCycleListing;
    case OutputConflict::FatigueWithMatrix:
        return evaluation
               + " does not go with '--matrix': the matrix counts the cycles by class and shows no "
                 "damage; count once for each";
    case OutputConflict::FatigueOnNormalisedLoads:
        return evaluation
               + " does not go with '--normalize': damage needs the loads as counted, not divided by "
                 "the highest peak";
    case OutputConflict::MaterialWithoutMethod: {
        const std::string option = "'" + optionOf(problem.setting, given) + "'";
        const fatigue::MeanStressMethod method = output.fatigue.settings.meanStress;
        if (method == fatigue::MeanStressMethod::None)
            return option + " is a material value of a mean-stress correction: give " + methodsReading(problem.setting)
                   + " with it";
        const std::string own = materialValueOf(method);
        return option + " is not read by '--mean-stress " + fatigue::meanStressName(method) + "', which takes "
               + (own.empty() ? std::string("no material value") : "'" + optionOf(own, given) + "'");
    }
    case OutputConflict::SettingsWithoutEvaluation:
        if (problem.setting == "equivalentCycles")
            return "'" + optionOf(problem.setting, given) + "' needs '--del': N_eq is read by nothing else";
        return "'" + optionOf(problem.setting, given) + "' needs '--sn-curve' or '--del': nothing else reads it";
    case OutputConflict::DelNotShown:
        return "'--del' is shown in the report and in json, not in '--format csv'";
    }
    return "the fatigue options do not fit together";
}

std::string positiveNumberProblem(const std::string& option, const std::string& text)
{
    return "'" + option + "' needs a number above 0, not '" + text + "'";
}

std::string repetitionsProblem(const std::string& text)
{
    return "'--repetitions' needs a number from 1 to 2147483647 (whole, or with a fraction to weight the cycles), "
           "not '"
           + text + "'";
}

std::string needsOtherCountProblem(const std::string& option, const std::string& counts)
{
    return "'" + option + "' needs " + counts;
}

std::string notWithOtherCountProblem(const std::string& option, const std::string& count)
{
    const std::string head = "'" + option + "' does not go with '--count " + count + "': ";
    if (option == "--filter")
        return head + "it is the rainflow count's; the other counts take '--hysteresis'";
    if (option == "--show-layout")
        return "'--show-layout' counts nothing: give it without '--count'";
    if (option == "--format cycles")
        return head + "it lists rainflow cycles; the other counts write report, csv or json";
    for (const std::string& name : fatigueOptionNames()) {
        if (option == name)
            return head + "the fatigue options evaluate rainflow cycles; count once for each";
    }
    return head + "it is a setting of the rainflow count";
}

} // namespace tessivo::cli
